#include "bench/bench_support.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <utility>

#include "model/fields.h"

namespace brx::bench {

StructureSet MakeDocument(std::size_t structures, std::size_t tiles_each) {
  StructureSet set;
  set.Reserve(structures);
  for (std::size_t i = 0; i < structures; ++i) {
    StructureEntry entry;
    fields::kArmour.Put(entry.header, static_cast<std::uint8_t>(i));
    entry.header.SetFlags(static_cast<std::uint32_t>(i * 2654435761u));
    entry.tiles.resize(tiles_each);
    for (std::size_t j = 0; j < tiles_each; ++j)
      entry.tiles[j].SetShapeByte(j % TileRecord::kShapeCells, static_cast<std::uint8_t>(i + j));
    set.AppendStructure(std::move(entry));
  }
  return set;
}

double Ms(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  const auto stop = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::milli>(stop - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double MedianMs(int rounds, const std::function<void()>& run) {
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) times.push_back(Ms(run));
  return Median(std::move(times));
}

}  // namespace brx::bench

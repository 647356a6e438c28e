#include "tests/support/documents.h"

#include <stdexcept>
#include <string>

#include "model/structure_data.h"

namespace brx::testing {

StructureHeader PatternHeader(std::uint8_t seed) {
  StructureHeader header;
  for (std::size_t k = 0; k < header.bytes.size(); ++k)
    header.bytes[k] = static_cast<std::uint8_t>(seed * 31 + k * 7 + 1);
  return header;
}

TileRecord PatternTile(std::uint8_t seed) {
  TileRecord tile;
  for (std::size_t k = 0; k < tile.bytes.size(); ++k)
    tile.bytes[k] = static_cast<std::uint8_t>(seed * 17 + k * 5 + 3);
  return tile;
}

std::vector<std::uint8_t> Serialized(const StructureSet& set) {
  std::vector<std::uint8_t> bytes;
  std::string reason;
  if (!SerializeStructureData(set, bytes, reason)) throw std::runtime_error(reason);
  return bytes;
}

StructureSet PatternDocument(const std::vector<std::size_t>& tile_counts) {
  StructureSet set;
  std::uint8_t seed = 0;
  for (const std::size_t count : tile_counts) {
    StructureEntry entry;
    entry.header = PatternHeader(seed++);
    for (std::size_t j = 0; j < count; ++j) entry.tiles.push_back(PatternTile(seed++));
    set.AppendStructure(entry);
  }
  return set;
}

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> bytes;
  for (const int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}

}  // namespace brx::testing

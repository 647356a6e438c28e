// Load and save of a large document against the floor of moving the same
// bytes in one block, timed in the same run. Prints the ratios.
//
// The floors: for loading, one read of the whole file into memory; for
// saving, two. The plain one creates a file, writes all its bytes in one
// go, flushes them to the disk and closes it (a save that is not flushed is
// not durable, so the floor pays for that too). The atomic one does the same
// with a temporary file and then renames it over the target and flushes the
// folder: the least a save can do that never leaves a half-written file,
// and so the floor a save is held to.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "model/structure_data.h"
#include "model/structure_files.h"
#include "model/structure_set.h"
#include "os/system_file_system.h"

namespace {

constexpr std::size_t kStructures = 20000;
constexpr std::size_t kTiles = 200000;
constexpr int kRounds = 15;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "model_io_bench: %s\n", what.c_str());
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const std::string path = folder + "/bench-document.brx";
  const std::string floor_path = folder + "/bench-floor.bin";
  const brx::StructureSet document = brx::bench::MakeDocument(kStructures, kTiles / kStructures);
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!brx::SerializeStructureData(document, bytes, error)) Fail(error);
  brx::FileSystem& files = brx::SystemFileSystem();
  std::string reason;
  if (!brx::SaveToFile(document, path.c_str(), files, reason)) Fail(reason);

  // What a round loads stays alive until all rounds are done, so that neither
  // side's time includes giving memory back.
  std::vector<brx::StructureSet> loaded(kRounds);
  std::size_t round = 0;
  const double load = brx::bench::MedianMs(kRounds, [&] {
    if (!brx::LoadFromFile(loaded[round++], path.c_str(), files, reason)) Fail(reason);
  });
  std::vector<std::vector<std::uint8_t>> blocks(kRounds);
  round = 0;
  const double read_floor = brx::bench::MedianMs(kRounds, [&] {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) Fail("cannot open " + path);
    auto& block = blocks[round++];
    block.resize(bytes.size());
    if (std::fread(block.data(), 1, block.size(), file) != block.size()) Fail("short read");
    std::fclose(file);
  });
  loaded.clear();
  blocks.clear();
  const double save = brx::bench::MedianMs(kRounds, [&] {
    if (!brx::SaveToFile(document, path.c_str(), files, reason)) Fail(reason);
  });
  // Creates `name`, writes all the bytes in one go, flushes and closes it.
  const auto write_block = [&](const std::string& name) {
    bool exists = false;
    std::string error;
    auto file = files.CreateNew(name, std::string(), exists, error);
    std::size_t written = 0;
    if (!file || !file->Write(bytes.data(), bytes.size(), written, error) ||
        written != bytes.size() || !file->Flush(error) || !file->Close(error))
      Fail(error);
  };
  const double write_floor = brx::bench::MedianMs(kRounds, [&] {
    files.Remove(floor_path);
    write_block(floor_path);
  });
  const std::string temporary_path = floor_path + ".tmp";
  const double atomic_floor = brx::bench::MedianMs(kRounds, [&] {
    write_block(temporary_path);
    std::string error;
    if (!files.Replace(temporary_path, floor_path, error)) Fail(error);
  });
  files.Remove(floor_path);
  files.Remove(path);

  std::printf("document: %zu structures, %zu tiles, %zu bytes; median of %d rounds\n", kStructures,
              kTiles, bytes.size(), kRounds);
  std::printf("load %8.2f ms   floor (one read)            %8.2f ms   ratio %.2f\n", load,
              read_floor, load / read_floor);
  std::printf("save %8.2f ms   floor (one write and flush) %8.2f ms   ratio %.2f\n", save,
              write_floor, save / write_floor);
  std::printf("save %8.2f ms   floor (atomic replace)      %8.2f ms   ratio %.2f\n", save,
              atomic_floor, save / atomic_floor);
  return 0;
}

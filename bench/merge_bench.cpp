// brxtool merge of three files of 65,535 structures (the most a file holds),
// each with 10 tiles, against loading the same three files, timed in the same
// run; and the peak memory of the real program doing it, against the size of
// the files it reads and writes. Prints the ratios.
//
// Ours changes every third structure and theirs every second, so that every
// sixth is changed on both sides and merges field by field, the others whole;
// the merge is clean.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "model/fields.h"
#include "model/structure_data.h"
#include "model/structure_files.h"
#include "model/structure_set.h"
#include "os/system_file_system.h"
#include "tools/brxtool/cli.h"

namespace {

constexpr std::size_t kStructures = 65535;
constexpr std::size_t kTilesEach = 10;
constexpr int kRounds = 7;

// Every `step`-th structure from `first` on gets `change`.
brx::StructureSet Changed(const brx::StructureSet& base, std::size_t first, std::size_t step,
                          const std::function<void(brx::StructureEntry&)>& change) {
  brx::StructureSet set;
  set.Reserve(base.StructureCount());
  for (std::size_t i = 0; i < base.StructureCount(); ++i) {
    brx::StructureEntry entry = base.Entry(i);
    if (i % step == first) change(entry);
    set.AppendStructure(std::move(entry));
  }
  return set;
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "merge_bench: %s\n", what.c_str());
  std::exit(1);
}

// The time `work` takes in a child process, from its start to its end, in
// milliseconds.
double ChildMs(const std::function<bool()>& work) {
  return brx::bench::Ms([&] {
    const pid_t child = fork();
    if (child == 0) _exit(work() ? 0 : 1);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || status != 0) Fail("a round failed");
  });
}

// Writes the three files from a child process, so that this one stays
// small: a child started later would count this one's memory as its own.
void MakeFiles(const std::string (&names)[3]) {
  const pid_t maker = fork();
  if (maker == 0) {
    const brx::StructureSet base = brx::bench::MakeDocument(kStructures, kTilesEach);
    const brx::StructureSet ours = Changed(base, 0, 3, [](brx::StructureEntry& entry) {
      brx::fields::kHitPoints.Put(entry.header, 7);
      entry.tiles[3].SetShapeByte(12, 9);
    });
    const brx::StructureSet theirs = Changed(base, 0, 2, [](brx::StructureEntry& entry) {
      brx::fields::kDensity.Put(entry.header, 5);
      brx::fields::kTileFlags.Put(entry.tiles[4], 0x02);
    });
    const brx::StructureSet* sets[3] = {&base, &ours, &theirs};
    for (int k = 0; k < 3; ++k) {
      std::string error;
      if (!brx::SaveToFile(*sets[k], names[k].c_str(), brx::SystemFileSystem(), error)) _exit(1);
    }
    _exit(0);
  }
  int status = 0;
  if (maker < 0 || waitpid(maker, &status, 0) != maker || status != 0)
    Fail("cannot make the files");
}

// The peak memory of the real program merging the files, in bytes.
double ProgramPeakBytes(const std::string (&names)[3], const std::string& out) {
  const pid_t child = fork();
  if (child == 0) {
    execl(BRX_TOOL_PROGRAM, BRX_TOOL_PROGRAM, "merge", "--output", out.c_str(), names[0].c_str(),
          names[1].c_str(), names[2].c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || status != 0)
    Fail("the program failed");
  return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const std::string names[3] = {folder + "/bench-base.brx", folder + "/bench-ours.brx",
                                folder + "/bench-theirs.brx"};
  const std::string out = folder + "/bench-merged.brx";
  MakeFiles(names);
  const double peak = ProgramPeakBytes(names, out);

  // Each round loads, and merges, in a fresh child process, as a user's run
  // of the program would: both take fresh memory from the system, and
  // neither finds memory the other gave back. The rounds alternate, so that
  // a change in the machine's load falls on both.
  std::vector<double> loads;
  std::vector<double> merges;
  for (int round = 0; round < kRounds; ++round) {
    loads.push_back(ChildMs([&] {
      brx::StructureSet sets[3];
      for (std::size_t k = 0; k < 3; ++k) {
        std::string error;
        if (!brx::LoadFromFile(sets[k], names[k].c_str(), brx::SystemFileSystem(), error))
          return false;
      }
      return true;
    }));
    merges.push_back(ChildMs([&] {
      std::istringstream in;
      std::ostringstream output;
      std::ostringstream errors;
      brx::tool::Console console{in, output, errors, brx::SystemFileSystem()};
      return brx::tool::RunBrxTool({"merge", "--output", out, names[0], names[1], names[2]},
                                   console) == 0;
    }));
  }
  const double load = brx::bench::Median(loads);
  const double merge = brx::bench::Median(merges);
  for (const std::string& name : names) std::remove(name.c_str());
  std::remove(out.c_str());

  constexpr std::size_t kFileSize =
      brx::FileHeader::kSize +
      kStructures * (brx::StructureHeader::kSize + kTilesEach * brx::TileRecord::kSize);
  constexpr double kMB = 1024.0 * 1024.0;
  std::printf("3 files of %zu structures x %zu tiles, %zu bytes each; median of %d rounds\n",
              kStructures, kTilesEach, kFileSize, kRounds);
  std::printf("merge %8.2f ms   floor (load the three files) %8.2f ms   ratio %.2f\n", merge, load,
              merge / load);
  std::printf("peak memory of brxtool merge %.1f MB; files read and written %.1f MB; ratio %.2f\n",
              peak / kMB, 4 * kFileSize / kMB, peak / (4 * kFileSize));
  return 0;
}

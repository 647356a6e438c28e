// A small program for the tests that must save from a separate process: one
// that is killed in the middle of saving, or that runs out of disk space.
//   save_tool loop PATH    saves two different documents over PATH, in turn, for ever
//   save_tool large PATH   saves one large document over PATH once
//   save_tool small PATH   saves one small document over PATH once
// Exit code 0 when the save succeeded, 1 with the reason on standard error.
#include <cstdio>
#include <cstring>
#include <string>

#include "model/structure_files.h"
#include "os/system_file_system.h"
#include "tests/support/documents.h"

namespace {

int Save(const brx::StructureSet& document, const char* path) {
  std::string reason;
  if (brx::SaveToFile(document, path, brx::SystemFileSystem(), reason)) return 0;
  std::fprintf(stderr, "%s\n", reason.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: save_tool loop|large|small PATH\n");
    return 2;
  }
  const std::string mode = argv[1];
  const char* path = argv[2];
  const brx::StructureSet small = brx::testing::PatternDocument({1, 0, 2});
  if (mode == "small") return Save(small, path);
  const brx::StructureSet large = brx::testing::PatternDocument(std::vector<std::size_t>(400, 255));
  if (mode == "large") return Save(large, path);
  if (mode != "loop") return 2;
  for (;;) {
    if (Save(small, path) || Save(large, path)) return 1;
  }
}

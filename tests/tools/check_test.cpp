// The warnings of `brxtool check`: each oddity the editor tolerates, alone
// and together, in file order.
#include "tools/documents/check.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "model/structure_data.h"
#include "tests/support/documents.h"
#include "tests/support/memory_file_system.h"
#include "tests/tools/tool_test_support.h"

namespace brx::tool {
namespace {

using testing::PatternDocument;
using testing::Serialized;
using Strings = std::vector<std::string>;

// The file loaded as the commands load it; `complete` false stands for a
// file that goes on past what is counted.
LoadedFile Loaded(const std::vector<std::uint8_t>& bytes, bool complete = true) {
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  LoadedFile file;
  std::string reason;
  testing::MemoryFileSystem no_files;
  EXPECT_TRUE(LoadStructureFile("-", InputSources{in, no_files}, file, reason)) << reason;
  file.complete = complete;
  return file;
}

// Puts a StructureNumber into the header of structure i of a file image
// whose structures have no tiles.
void SetStructureNumber(std::vector<std::uint8_t>& bytes, std::size_t i, std::uint16_t number) {
  const std::size_t at = FileHeader::kSize + i * StructureHeader::kSize + 8;
  bytes[at] = static_cast<std::uint8_t>(number);
  bytes[at + 1] = static_cast<std::uint8_t>(number >> 8);
}

TEST(Check, AFileInTheWritersFormHasNoWarnings) {
  for (const auto& counts : std::vector<std::vector<std::size_t>>{{}, {0}, {3, 0, 1}, {255}})
    EXPECT_EQ(CheckWarnings(Loaded(Serialized(PatternDocument(counts)))), Strings{});
}

TEST(Check, EachOddityGivesOneLine) {
  struct Case {
    std::function<void(std::vector<std::uint8_t>&)> spoil;
    Strings warnings;
  };
  // One structure with one tile: 64 bytes.
  const Case cases[] = {
      {[](auto& b) {
         b.insert(b.end(), {1, 2, 3});
       },
       {"3 bytes after the last record (from offset 64), which the editor ignores"}},
      {[](auto& b) { b.push_back(0); },
       {"1 byte after the last record (from offset 64), which the editor ignores"}},
      {[](auto& b) { b[6] = 5; },
       {"the file header's NumberOfStructuresCopy is 5; the editor writes 1"}},
      {[](auto& b) { b[7] = 1; },
       {"the file header's NumberOfStructuresCopy is 257; the editor writes 1"}},
      {[](auto& b) { b[8] = 0; }, {"the file header's DataSize is 0; the editor writes 48"}},
      {[](auto& b) { b[10] = 1; }, {"the file header's FormatByte is 1; the editor writes 2"}},
      {[](auto& b) { b[15] = 1; },
       {"the file header's Reserved bytes (offsets 11 to 15) are not all 0"}},
      {[](auto& b) { b[16 + 8] = 9; },
       {"structure 0 has StructureNumber 9; the editor writes its position"}},
      {[](auto& b) {
         b[6] = 0;
         b[10] = 0;
         b[16 + 9] = 1;
         b.push_back(0xAA);
       },
       {"1 byte after the last record (from offset 64), which the editor ignores",
        "the file header's NumberOfStructuresCopy is 0; the editor writes 1",
        "the file header's FormatByte is 0; the editor writes 2",
        "structure 0 has StructureNumber 256; the editor writes its position"}},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes = Serialized(PatternDocument({1}));
    c.spoil(bytes);
    EXPECT_EQ(CheckWarnings(Loaded(bytes)), c.warnings);
  }
}

TEST(Check, DataSizeIsComparedModulo65536) {
  // 300 structures holding 2100 tiles: 72000 bytes of records, written as 6464.
  std::vector<std::size_t> counts(300, 7);
  EXPECT_EQ(CheckWarnings(Loaded(Serialized(PatternDocument(counts)))), Strings{});
}

TEST(Check, AFileLongerThanWhatWasReadSaysAtLeast) {
  std::vector<std::uint8_t> bytes = Serialized(PatternDocument({0}));
  bytes.insert(bytes.end(), 4, 0);
  EXPECT_EQ(CheckWarnings(Loaded(bytes, false)),
            Strings{"at least 4 bytes after the last record (from offset 32), which the editor "
                    "ignores"});
}

TEST(Check, StructureNumberMismatchesAreNamedThenCounted) {
  struct Case {
    std::size_t mismatches;
    std::string last;
  };
  const Case cases[] = {
      {1, "structure 1 has StructureNumber 101; the editor writes its position"},
      {5, "structure 5 has StructureNumber 105; the editor writes its position"},
      {6, "1 more structure has a StructureNumber other than its position (6 in all)"},
      {9, "4 more structures have StructureNumbers other than their positions (9 in all)"},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes = Serialized(PatternDocument(std::vector<std::size_t>(12, 0)));
    for (std::size_t i = 1; i <= c.mismatches; ++i)
      SetStructureNumber(bytes, i, static_cast<std::uint16_t>(100 + i));
    const Strings warnings = CheckWarnings(Loaded(bytes));
    ASSERT_EQ(warnings.size(), std::min<std::size_t>(c.mismatches, 6)) << c.mismatches;
    EXPECT_EQ(warnings.front(),
              "structure 1 has StructureNumber 101; the editor writes its position");
    EXPECT_EQ(warnings.back(), c.last);
  }
}

}  // namespace
}  // namespace brx::tool

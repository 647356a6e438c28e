// Loading and saving through the operating system's files: what the file
// seam held in memory cannot show (a folder that is not a file, a missing
// folder, leftovers on a real disk, reading in chunks).
#include <gtest/gtest.h>

#include <filesystem>

#include "model/structure_data.h"
#include "model/structure_files.h"
#include "os/system_file_system.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"

namespace brx {
namespace {

using testing::PatternDocument;
using testing::ReadBytes;
using testing::Serialized;
using testing::TempFolder;
using testing::WriteBytes;

TEST(Files, SaveThenLoadGivesTheSameDocumentAndNoLeftovers) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  const StructureSet document = PatternDocument({3, 0, 1});
  std::string reason;
  ASSERT_TRUE(SaveToFile(document, path.c_str(), SystemFileSystem(), reason)) << reason;
  EXPECT_EQ(ReadBytes(path), Serialized(document));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.brx"});

  StructureSet loaded = PatternDocument({1});
  ASSERT_TRUE(LoadFromFile(loaded, path.c_str(), SystemFileSystem(), reason)) << reason;
  EXPECT_EQ(Serialized(loaded), ReadBytes(path));
}

TEST(Files, SavingOverALongerFileLeavesExactlyTheNewBytes) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  WriteBytes(path, std::vector<std::uint8_t>(5000, 0x77));
  const StructureSet document = PatternDocument({1});
  std::string reason;
  ASSERT_TRUE(SaveToFile(document, path.c_str(), SystemFileSystem(), reason)) << reason;
  EXPECT_EQ(ReadBytes(path).size(), 16u + 16 + 32);
}

TEST(Files, LoadFailuresEmptyTheDocumentAndSayWhy) {
  TempFolder folder;
  const std::string cases[] = {folder.File("missing.brx"), folder.path().string()};
  for (const auto& name : cases) {
    StructureSet set = PatternDocument({2});
    std::string reason;
    EXPECT_FALSE(LoadFromFile(set, name.c_str(), SystemFileSystem(), reason)) << name;
    EXPECT_EQ(set.StructureCount(), 0u) << name;
    EXPECT_EQ(reason.rfind("cannot open the file: ", 0), 0u) << name << ": " << reason;
  }
}

TEST(Files, SaveIntoAMissingFolderFailsAndTouchesNothing) {
  TempFolder folder;
  const std::string path = folder.File("no-such-folder/a.brx");
  std::string reason;
  EXPECT_FALSE(SaveToFile(PatternDocument({1}), path.c_str(), SystemFileSystem(), reason));
  EXPECT_EQ(
      reason.rfind("cannot create a temporary file in " + folder.File("no-such-folder") + ": ", 0),
      0u)
      << reason;
  EXPECT_TRUE(folder.Names().empty());
}

std::vector<std::uint8_t> Counting(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  return bytes;
}

TEST(ReadFile, StopsAtTheLimitEvenPastSeveralChunks) {
  TempFolder folder;
  const std::string path = folder.File("big");
  const auto bytes = Counting(200000);
  WriteBytes(path, bytes);
  for (const std::size_t limit : {std::size_t{0}, std::size_t{10}, std::size_t{150001}}) {
    std::vector<std::uint8_t> read{1, 2, 3};
    std::string error;
    ASSERT_TRUE(SystemFileSystem().ReadFile(path, limit, read, error)) << error;
    EXPECT_EQ(read, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + limit)) << limit;
  }
}

TEST(ReadFile, AShorterFileIsReadWhole) {
  TempFolder folder;
  const std::string path = folder.File("small");
  const auto bytes = Counting(70000);
  WriteBytes(path, bytes);
  std::vector<std::uint8_t> read;
  std::string error;
  ASSERT_TRUE(SystemFileSystem().ReadFile(path, 1 << 20, read, error)) << error;
  EXPECT_EQ(read, bytes);
}

TEST(ReadFile, AMissingFileSaysWhy) {
  TempFolder folder;
  std::vector<std::uint8_t> read{1};
  std::string error;
  EXPECT_FALSE(SystemFileSystem().ReadFile(folder.File("missing"), 10, read, error));
  EXPECT_TRUE(read.empty());
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace brx

// Saving against the real POSIX file system: where permissions forbid it
// (root may write anyway, so those run as an unprivileged user; the build adds
// such a run when it can), onto a folder, by a name without a folder, and
// from a file that cannot be read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "model/structure_data.h"
#include "model/structure_set.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"

namespace brx {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class Unprivileged : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() == 0) GTEST_SKIP() << "root writes anyway; this runs as an unprivileged user";
  }
};

TEST_F(Unprivileged, ReadOnlyFolderKeepsTheTargetAndLeavesNothing) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  WriteBytes(path, {'o', 'l', 'd'});
  ASSERT_EQ(chmod(folder.path().c_str(), 0555), 0);
  std::string reason;
  const bool saved = testing::PatternDocument({1}).SaveToFile(path.c_str(), &reason);
  chmod(folder.path().c_str(), 0755);
  EXPECT_FALSE(saved);
  EXPECT_EQ(reason, "cannot write the file: Permission denied");
  EXPECT_EQ(ReadBytes(path), testing::Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.brx"});
}

TEST_F(Unprivileged, UnreadableFileSaysWhy) {
  TempFolder folder;
  const std::string path = folder.File("secret.brx");
  ASSERT_TRUE(testing::PatternDocument({1}).SaveToFile(path.c_str()));
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  StructureSet set;
  std::string reason;
  EXPECT_FALSE(set.LoadFromFile(path.c_str(), &reason));
  EXPECT_EQ(reason, "cannot open the file: Permission denied");
}

TEST(PosixFiles, SavingOntoAFolderFailsAtTheRenameAndLeavesNothing) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  std::filesystem::create_directory(path);
  WriteBytes(path + "/inside", {1});
  std::string reason;
  EXPECT_FALSE(testing::PatternDocument({1}).SaveToFile(path.c_str(), &reason));
  EXPECT_EQ(reason, "cannot write the file: Is a directory");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.brx"});
  EXPECT_EQ(ReadBytes(path + "/inside"), testing::Bytes({1}));
}

TEST(PosixFiles, ANameWithoutAFolderIsInTheCurrentFolder) {
  TempFolder folder;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  const StructureSet document = testing::PatternDocument({2, 0});
  std::string reason;
  const bool saved = document.SaveToFile("a.brx", &reason);
  StructureSet loaded;
  const bool loaded_ok = loaded.LoadFromFile("a.brx", &reason);
  std::filesystem::current_path(before);
  EXPECT_TRUE(saved) << reason;
  EXPECT_TRUE(loaded_ok) << reason;
  std::vector<std::uint8_t> expected;
  SerializeStructureData(document, expected);
  EXPECT_EQ(ReadBytes(folder.File("a.brx")), expected);
  EXPECT_EQ(loaded.StructureCount(), 2u);
  EXPECT_EQ(loaded.TileCount(0), 2u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.brx"});
}

TEST(PosixFiles, AFileThatOpensButCannotBeReadSaysWhy) {
  // A process's own memory opens as a file, and reading it from address 0,
  // which nothing maps, fails with an I/O error as a failing disk would.
  StructureSet set = testing::PatternDocument({1});
  std::string reason;
  EXPECT_FALSE(set.LoadFromFile("/proc/self/mem", &reason));
  EXPECT_EQ(reason, "cannot read the file: Input/output error");
  EXPECT_EQ(set.StructureCount(), 0u);
}

}  // namespace
}  // namespace brx

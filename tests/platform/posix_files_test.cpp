// Saving where POSIX permissions forbid it. Root may write anyway, so these
// run as an unprivileged user (the build adds such a run when it can).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace
}  // namespace brx

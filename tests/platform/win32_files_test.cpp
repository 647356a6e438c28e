// Saving against files that Windows holds locked.
#include <gtest/gtest.h>
#include <windows.h>

#include "model/structure_set.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"

namespace brx {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(Win32Files, SaveOntoATargetHeldOpenWithoutSharingKeepsIt) {
  TempFolder folder;
  const std::string path = folder.File("held.brx");
  WriteBytes(path, {'o', 'l', 'd'});
  const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  std::string reason;
  EXPECT_FALSE(testing::PatternDocument({2}).SaveToFile(path.c_str(), &reason));
  EXPECT_EQ(reason.rfind("cannot write the file: ", 0), 0u) << reason;
  CloseHandle(held);

  EXPECT_EQ(ReadBytes(path), testing::Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"held.brx"});
}

TEST(Win32Files, LoadOfAFileHeldOpenForWritingSaysWhy) {
  TempFolder folder;
  const std::string path = folder.File("busy.brx");
  ASSERT_TRUE(testing::PatternDocument({1}).SaveToFile(path.c_str()));
  const HANDLE held = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  StructureSet set = testing::PatternDocument({3});
  std::string reason;
  EXPECT_FALSE(set.LoadFromFile(path.c_str(), &reason));
  CloseHandle(held);
  EXPECT_EQ(set.StructureCount(), 0u);
  EXPECT_EQ(reason.rfind("cannot open the file: ", 0), 0u) << reason;
}

}  // namespace
}  // namespace brx

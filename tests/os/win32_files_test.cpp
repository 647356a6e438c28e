// Saving against files that Windows holds locked or marks read-only, and
// what a save keeps of the file it replaces.
#include <gtest/gtest.h>
#include <windows.h>

#include "model/structure_files.h"
#include "model/structure_set.h"
#include "os/system_file_system.h"
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
  EXPECT_FALSE(SaveToFile(testing::PatternDocument({2}), path.c_str(), SystemFileSystem(), reason));
  EXPECT_EQ(reason.rfind("cannot write the file: ", 0), 0u) << reason;
  CloseHandle(held);

  EXPECT_EQ(ReadBytes(path), testing::Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"held.brx"});
}

TEST(Win32Files, AReadOnlyFileOrAFolderIsRefusedAndKeptAsItWas) {
  TempFolder folder;
  const std::string read_only = folder.File("read-only.brx");
  WriteBytes(read_only, {'o', 'l', 'd'});
  ASSERT_TRUE(SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string inner = folder.File("folder.brx");
  ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr));
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {
      {read_only, "cannot write the file: the file is read-only"},
      {inner, "cannot write the file: it is a folder, not a file"},
  };
  for (const auto& c : cases) {
    std::string reason;
    EXPECT_FALSE(
        SaveToFile(testing::PatternDocument({1}), c.path.c_str(), SystemFileSystem(), reason));
    EXPECT_EQ(reason, c.reason);
  }
  EXPECT_TRUE(GetFileAttributesA(read_only.c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ReadBytes(read_only), testing::Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"folder.brx", "read-only.brx"}));
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32Files, AHiddenFileStaysHidden) {
  TempFolder folder;
  const std::string path = folder.File("hidden.brx");
  WriteBytes(path, {1});
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
  std::string reason;
  ASSERT_TRUE(SaveToFile(testing::PatternDocument({1}), path.c_str(), SystemFileSystem(), reason))
      << reason;
  EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, DWORD{FILE_ATTRIBUTE_HIDDEN});
}

TEST(Win32Files, SameFileTellsFilesApart) {
  TempFolder folder;
  const std::string a = folder.File("a.json");
  WriteBytes(a, {1});
  WriteBytes(folder.File("b.json"), {1});
  EXPECT_TRUE(SystemFileSystem().SameFile(a, a));
  EXPECT_TRUE(SystemFileSystem().SameFile(a, folder.path().string() + "\\.\\A.JSON"));
  EXPECT_FALSE(SystemFileSystem().SameFile(a, folder.File("b.json")));
  EXPECT_FALSE(SystemFileSystem().SameFile(a, folder.File("missing")));
}

TEST(Win32Files, LoadOfAFileHeldOpenForWritingSaysWhy) {
  TempFolder folder;
  const std::string path = folder.File("busy.brx");
  std::string reason;
  ASSERT_TRUE(SaveToFile(testing::PatternDocument({1}), path.c_str(), SystemFileSystem(), reason))
      << reason;
  const HANDLE held = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  StructureSet set = testing::PatternDocument({3});
  EXPECT_FALSE(LoadFromFile(set, path.c_str(), SystemFileSystem(), reason));
  CloseHandle(held);
  EXPECT_EQ(set.StructureCount(), 0u);
  EXPECT_EQ(reason.rfind("cannot open the file: ", 0), 0u) << reason;
}

}  // namespace
}  // namespace brx

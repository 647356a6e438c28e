// Loading and saving real files, and saving through a file seam that fails.
#include <gtest/gtest.h>

#include <filesystem>

#include "model/file_system.h"
#include "model/structure_data.h"
#include "model/structure_set.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"

namespace brx {
namespace {

using testing::PatternDocument;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

std::vector<std::uint8_t> Serialized(const StructureSet& set) {
  std::vector<std::uint8_t> bytes;
  SerializeStructureData(set, bytes);
  return bytes;
}

TEST(Files, SaveThenLoadGivesTheSameDocumentAndNoLeftovers) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  const StructureSet document = PatternDocument({3, 0, 1});
  std::string reason;
  ASSERT_TRUE(document.SaveToFile(path.c_str(), &reason)) << reason;
  EXPECT_EQ(ReadBytes(path), Serialized(document));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.brx"});

  StructureSet loaded = PatternDocument({1});
  ASSERT_TRUE(loaded.LoadFromFile(path.c_str(), &reason)) << reason;
  EXPECT_EQ(Serialized(loaded), ReadBytes(path));
}

TEST(Files, SavingOverALongerFileLeavesExactlyTheNewBytes) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  WriteBytes(path, std::vector<std::uint8_t>(5000, 0x77));
  const StructureSet document = PatternDocument({1});
  ASSERT_TRUE(document.SaveToFile(path.c_str()));
  EXPECT_EQ(ReadBytes(path).size(), 16u + 16 + 32);
}

TEST(Files, LoadFailuresEmptyTheDocumentAndSayWhy) {
  TempFolder folder;
  WriteBytes(folder.File("short.brx"), {'B', 'R', 'X'});
  WriteBytes(folder.File("magic.brx"), std::vector<std::uint8_t>(16, 'x'));
  struct Case {
    std::string name;
    std::string reason_start;
  };
  const Case cases[] = {
      {"", "no file name was given"},
      {folder.File("missing.brx"), "cannot open the file: "},
      {folder.path().string(), "cannot open the file: "},
      {folder.File("short.brx"), "the file is shorter than its 16-byte header (3 bytes)"},
      {folder.File("magic.brx"), "not a structure data file"},
  };
  for (const auto& c : cases) {
    StructureSet set = PatternDocument({2});
    std::string reason;
    EXPECT_FALSE(set.LoadFromFile(c.name.c_str(), &reason)) << c.name;
    EXPECT_EQ(set.StructureCount(), 0u) << c.name;
    EXPECT_EQ(reason.rfind(c.reason_start, 0), 0u) << c.name << ": " << reason;
  }
  StructureSet set = PatternDocument({2});
  EXPECT_FALSE(set.LoadFromFile(nullptr));
  EXPECT_EQ(set.StructureCount(), 0u);
}

TEST(Files, SaveIntoAMissingFolderFailsAndTouchesNothing) {
  TempFolder folder;
  const std::string path = folder.File("no-such-folder/a.brx");
  std::string reason;
  EXPECT_FALSE(PatternDocument({1}).SaveToFile(path.c_str(), &reason));
  EXPECT_EQ(
      reason.rfind("cannot create a temporary file in " + folder.File("no-such-folder") + ": ", 0),
      0u)
      << reason;
  EXPECT_TRUE(folder.Names().empty());
}

TEST(Files, SaveWithoutANameFails) {
  std::string reason;
  EXPECT_FALSE(StructureSet{}.SaveToFile(nullptr, &reason));
  EXPECT_EQ(reason, "no file name was given");
  EXPECT_FALSE(StructureSet{}.SaveToFile("", &reason));
}

TEST(Files, ADocumentTheFormatCannotHoldIsNotWritten) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  WriteBytes(path, {1, 2, 3});
  StructureSet set = PatternDocument({255});
  set.AppendTile(0, TileRecord{});
  std::string reason;
  EXPECT_FALSE(set.SaveToFile(path.c_str(), &reason));
  EXPECT_EQ(reason, "structure 0 has 256 tiles; a file holds at most 255 per structure");
  EXPECT_EQ(ReadBytes(path), testing::Bytes({1, 2, 3}));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.brx"});
}

TEST(Files, SaveGivesUpWhenEveryTemporaryNameIsTaken) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  WriteBytes(path, {1, 2, 3});
  for (int n = 0; n < 100; ++n) WriteBytes(path + "." + std::to_string(n) + ".tmp", {9});
  std::string reason;
  EXPECT_FALSE(PatternDocument({0}).SaveToFile(path.c_str(), &reason));
  EXPECT_EQ(reason.rfind("cannot create a temporary file in " + folder.path().string(), 0), 0u)
      << reason;
  EXPECT_EQ(ReadBytes(path), testing::Bytes({1, 2, 3}));
  EXPECT_EQ(folder.Names().size(), 101u);
  EXPECT_EQ(ReadBytes(path + ".99.tmp"), testing::Bytes({9}));
}

TEST(Files, ALeftoverTemporaryNameIsSkipped) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  WriteBytes(path + ".0.tmp", {9});
  ASSERT_TRUE(PatternDocument({0}).SaveToFile(path.c_str()));
  EXPECT_EQ(ReadBytes(path).size(), 32u);
  EXPECT_EQ(ReadBytes(path + ".0.tmp"), testing::Bytes({9}));
}

// A file seam over the real one that fails its k-th operation, or cuts one
// write short, to prove that no failure at any step costs the old file.
class FailingFileSystem : public FileSystem {
 public:
  enum class Fault { Fail, ShortWrite, StalledWrite };
  FailingFileSystem(int fail_at, Fault fault) : fail_at_(fail_at), fault_(fault) {}

  int operations() const { return count_; }

  std::unique_ptr<InputFile> OpenForReading(const std::string& path, std::string& error) override {
    return real_.OpenForReading(path, error);
  }
  bool ResolveSaveTarget(const std::string& path, std::string& target,
                         std::string& error) override {
    return !Failing("resolve", error) && real_.ResolveSaveTarget(path, target, error);
  }
  std::unique_ptr<OutputFile> CreateNew(const std::string& path, const std::string& replaces,
                                        bool& already_exists, std::string& error) override {
    if (Failing("create", error)) {
      already_exists = false;
      return nullptr;
    }
    auto file = real_.CreateNew(path, replaces, already_exists, error);
    return file ? std::make_unique<File>(std::move(file), *this) : nullptr;
  }
  bool Replace(const std::string& from, const std::string& to, std::string& error) override {
    return !Failing("rename", error) && real_.Replace(from, to, error);
  }
  bool Remove(const std::string& path) override { return real_.Remove(path); }

 private:
  class File : public OutputFile {
   public:
    File(std::unique_ptr<OutputFile> real, FailingFileSystem& owner)
        : real_(std::move(real)), owner_(owner) {}
    bool Write(const std::uint8_t* data, std::size_t size, std::size_t& written,
               std::string& error) override {
      if (owner_.Failing("write", error)) {
        if (owner_.fault_ == Fault::Fail) return false;
        // Writes that report success for part of the bytes, or for none, as
        // a full disk can.
        if (owner_.fault_ == Fault::StalledWrite) {
          written = 0;
          return true;
        }
        return real_->Write(data, size / 2, written, error);
      }
      return real_->Write(data, size, written, error);
    }
    bool Flush(std::string& error) override {
      return !owner_.Failing("flush", error) && real_->Flush(error);
    }
    bool Close(std::string& error) override {
      std::string ignored;
      const bool closed = real_->Close(ignored);
      return !owner_.Failing("close", error) && closed;
    }

   private:
    std::unique_ptr<OutputFile> real_;
    FailingFileSystem& owner_;
  };

  bool Failing(const char* operation, std::string& error) {
    if (++count_ != fail_at_) return false;
    error = std::string("injected ") + operation + " failure";
    if (fault_ != Fault::Fail && std::string(operation) == "write") return true;
    return fault_ == Fault::Fail;
  }

  FileSystem& real_ = SystemFileSystem();
  int fail_at_;
  Fault fault_;
  int count_ = 0;
};

TEST(Files, AFailureAtAnyStepKeepsTheOldFile) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  const auto old_bytes = Serialized(PatternDocument({1, 1}));
  // A large document so that a short write leaves bytes to write.
  const StructureSet document = PatternDocument({255, 255, 3});

  FailingFileSystem count_only(0, FailingFileSystem::Fault::Fail);
  ASSERT_TRUE(document.SaveToFile(path.c_str(), count_only));
  const int operations = count_only.operations();
  ASSERT_GE(operations, 6);  // resolve, create, write, flush, close, rename

  for (const auto fault : {FailingFileSystem::Fault::Fail, FailingFileSystem::Fault::ShortWrite}) {
    for (int k = 1; k <= operations; ++k) {
      WriteBytes(path, old_bytes);
      FailingFileSystem files(k, fault);
      std::string reason;
      const bool saved = document.SaveToFile(path.c_str(), files, &reason);
      SCOPED_TRACE("operation " + std::to_string(k));
      EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.brx"});
      if (saved) {
        // Only a short write can be survived: the rest is written after it.
        EXPECT_EQ(fault, FailingFileSystem::Fault::ShortWrite);
        EXPECT_EQ(ReadBytes(path), Serialized(document));
      } else {
        EXPECT_EQ(ReadBytes(path), old_bytes);
        EXPECT_NE(reason.find("injected"), std::string::npos) << reason;
      }
    }
  }
}

// The temporary file's folder is named as the user gave it, so that a
// refused folder is told apart from a refused file.
TEST(Files, ATemporaryFileThatCannotBeCreatedNamesItsFolder) {
  TempFolder folder;
  const bool windows = std::filesystem::path::preferred_separator == '\\';
  const std::string windows_folder = windows ? "C:\\mods\\data" : "the current folder";
  const struct {
    std::string name;
    std::string folder;
  } cases[] = {
      {"walls.brx", "the current folder"},
      {"/walls.brx", "/"},
      {"mods/data/walls.brx", "mods/data"},
      {folder.File("walls.brx"), folder.path().string()},
      {"C:\\mods\\data\\walls.brx", windows_folder},
      {"\\\\?\\C:\\mods\\data\\walls.brx", windows ? windows_folder : "the current folder"},
  };
  for (const auto& c : cases) {
    // Operation 1 finds the target, 2 creates the temporary file.
    FailingFileSystem files(2, FailingFileSystem::Fault::Fail);
    std::string reason;
    EXPECT_FALSE(PatternDocument({1}).SaveToFile(c.name.c_str(), files, &reason));
    EXPECT_EQ(
        reason.rfind("cannot create a temporary file in " + c.folder + ": injected create", 0), 0u)
        << reason;
  }
  EXPECT_TRUE(folder.Names().empty());
}

TEST(Files, AWriteThatWritesNothingIsAFullDisk) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  WriteBytes(path, {1, 2, 3});
  // Operation 1 finds the target, 2 creates the temporary file, 3 is the first write.
  FailingFileSystem files(3, FailingFileSystem::Fault::StalledWrite);
  std::string reason;
  EXPECT_FALSE(PatternDocument({2}).SaveToFile(path.c_str(), files, &reason));
  EXPECT_EQ(reason, "cannot write the file: the disk is full: not every byte could be written");
  EXPECT_EQ(ReadBytes(path), testing::Bytes({1, 2, 3}));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.brx"});
}

}  // namespace
}  // namespace brx

// Loading and saving through files held in memory, and through a file seam
// that fails.
#include "model/structure_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "model/structure_data.h"
#include "tests/support/documents.h"
#include "tests/support/memory_file_system.h"

namespace brx {
namespace {

using testing::MemoryFileSystem;
using testing::PatternDocument;
using testing::Serialized;

TEST(Files, SaveThenLoadGivesTheSameDocumentAndNoLeftovers) {
  MemoryFileSystem files;
  const StructureSet document = PatternDocument({3, 0, 1});
  std::string reason;
  ASSERT_TRUE(SaveToFile(document, "a.brx", files, reason)) << reason;
  EXPECT_EQ(files.Bytes("a.brx"), Serialized(document));
  EXPECT_EQ(files.Names(), std::vector<std::string>{"a.brx"});

  StructureSet loaded = PatternDocument({1});
  ASSERT_TRUE(LoadFromFile(loaded, "a.brx", files, reason)) << reason;
  EXPECT_EQ(Serialized(loaded), files.Bytes("a.brx"));
}

TEST(Files, LoadFailuresEmptyTheDocumentAndSayWhy) {
  MemoryFileSystem files;
  files.Put("short.brx", {'B', 'R', 'X'});
  files.Put("magic.brx", std::vector<std::uint8_t>(16, 'x'));
  struct Case {
    std::string name;
    std::string reason_start;
  };
  const Case cases[] = {
      {"", "no file name was given"},
      {"missing.brx", "cannot open the file: "},
      {"short.brx", "the file is shorter than its 16-byte header (3 bytes)"},
      {"magic.brx", "not a structure data file"},
  };
  for (const auto& c : cases) {
    StructureSet set = PatternDocument({2});
    std::string reason;
    EXPECT_FALSE(LoadFromFile(set, c.name.c_str(), files, reason)) << c.name;
    EXPECT_EQ(set.StructureCount(), 0u) << c.name;
    EXPECT_EQ(reason.rfind(c.reason_start, 0), 0u) << c.name << ": " << reason;
  }
  StructureSet set = PatternDocument({2});
  std::string reason;
  EXPECT_FALSE(LoadFromFile(set, nullptr, files, reason));
  EXPECT_EQ(set.StructureCount(), 0u);
}

TEST(Files, SaveWithoutANameFails) {
  MemoryFileSystem files;
  std::string reason;
  EXPECT_FALSE(SaveToFile(StructureSet{}, nullptr, files, reason));
  EXPECT_EQ(reason, "no file name was given");
  EXPECT_FALSE(SaveToFile(StructureSet{}, "", files, reason));
}

TEST(Files, ADocumentTheFormatCannotHoldIsNotWritten) {
  MemoryFileSystem files;
  files.Put("a.brx", {1, 2, 3});
  StructureSet set = PatternDocument({255});
  set.AppendTile(0, TileRecord{});
  std::string reason;
  EXPECT_FALSE(SaveToFile(set, "a.brx", files, reason));
  EXPECT_EQ(reason, "structure 0 has 256 tiles; a file holds at most 255 per structure");
  EXPECT_EQ(files.Bytes("a.brx"), testing::Bytes({1, 2, 3}));
  EXPECT_EQ(files.Names(), std::vector<std::string>{"a.brx"});
}

TEST(Files, SaveGivesUpWhenEveryTemporaryNameIsTaken) {
  MemoryFileSystem files;
  const std::string path = "a.brx";
  files.Put(path, {1, 2, 3});
  for (int n = 0; n < 100; ++n) files.Put(path + "." + std::to_string(n) + ".tmp", {9});
  std::string reason;
  EXPECT_FALSE(SaveToFile(PatternDocument({0}), path.c_str(), files, reason));
  EXPECT_EQ(reason.rfind("cannot create a temporary file in the current folder", 0), 0u) << reason;
  EXPECT_EQ(files.Bytes(path), testing::Bytes({1, 2, 3}));
  EXPECT_EQ(files.Names().size(), 101u);
  EXPECT_EQ(files.Bytes(path + ".99.tmp"), testing::Bytes({9}));
}

TEST(Files, ALeftoverTemporaryNameIsSkipped) {
  MemoryFileSystem files;
  const std::string path = "a.brx";
  files.Put(path + ".0.tmp", {9});
  std::string reason;
  ASSERT_TRUE(SaveToFile(PatternDocument({0}), path.c_str(), files, reason)) << reason;
  EXPECT_EQ(files.Bytes(path).size(), 32u);
  EXPECT_EQ(files.Bytes(path + ".0.tmp"), testing::Bytes({9}));
}

// A file seam over another that fails its k-th operation, or cuts one
// write short, to prove that no failure at any step costs the old file.
class FailingFileSystem : public FileSystem {
 public:
  enum class Fault { Fail, ShortWrite, StalledWrite };
  FailingFileSystem(FileSystem& real, int fail_at, Fault fault)
      : real_(real), fail_at_(fail_at), fault_(fault) {}

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
  bool SameFile(const std::string& a, const std::string& b) override {
    return real_.SameFile(a, b);
  }

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

  FileSystem& real_;
  int fail_at_;
  Fault fault_;
  int count_ = 0;
};

TEST(Files, AFailureAtAnyStepKeepsTheOldFile) {
  MemoryFileSystem disk;
  const std::string path = "a.brx";
  const auto old_bytes = Serialized(PatternDocument({1, 1}));
  // A large document so that a short write leaves bytes to write.
  const StructureSet document = PatternDocument({255, 255, 3});

  FailingFileSystem count_only(disk, 0, FailingFileSystem::Fault::Fail);
  std::string reason;
  ASSERT_TRUE(SaveToFile(document, path.c_str(), count_only, reason)) << reason;
  const int operations = count_only.operations();
  ASSERT_GE(operations, 6);  // resolve, create, write, flush, close, rename

  for (const auto fault : {FailingFileSystem::Fault::Fail, FailingFileSystem::Fault::ShortWrite}) {
    for (int k = 1; k <= operations; ++k) {
      disk.Put(path, old_bytes);
      FailingFileSystem files(disk, k, fault);
      std::string reason;
      const bool saved = SaveToFile(document, path.c_str(), files, reason);
      SCOPED_TRACE("operation " + std::to_string(k));
      EXPECT_EQ(disk.Names(), std::vector<std::string>{"a.brx"});
      if (saved) {
        // Only a short write can be survived: the rest is written after it.
        EXPECT_EQ(fault, FailingFileSystem::Fault::ShortWrite);
        EXPECT_EQ(disk.Bytes(path), Serialized(document));
      } else {
        EXPECT_EQ(disk.Bytes(path), old_bytes);
        EXPECT_NE(reason.find("injected"), std::string::npos) << reason;
      }
    }
  }
}

// The temporary file's folder is named as the user gave it, so that a
// refused folder is told apart from a refused file.
TEST(Files, ATemporaryFileThatCannotBeCreatedNamesItsFolder) {
  MemoryFileSystem disk;
  const bool windows = std::filesystem::path::preferred_separator == '\\';
  const std::string windows_folder = windows ? "C:\\mods\\data" : "the current folder";
  const struct {
    std::string name;
    std::string folder;
  } cases[] = {
      {"walls.brx", "the current folder"},
      {"/walls.brx", "/"},
      {"mods/data/walls.brx", "mods/data"},
      {"/home/modder/walls.brx", "/home/modder"},
      {"C:\\mods\\data\\walls.brx", windows_folder},
      {"\\\\?\\C:\\mods\\data\\walls.brx", windows ? windows_folder : "the current folder"},
  };
  for (const auto& c : cases) {
    // Operation 1 finds the target, 2 creates the temporary file.
    FailingFileSystem files(disk, 2, FailingFileSystem::Fault::Fail);
    std::string reason;
    EXPECT_FALSE(SaveToFile(PatternDocument({1}), c.name.c_str(), files, reason));
    EXPECT_EQ(
        reason.rfind("cannot create a temporary file in " + c.folder + ": injected create", 0), 0u)
        << reason;
  }
  EXPECT_TRUE(disk.Names().empty());
}

TEST(Files, AWriteThatWritesNothingIsAFullDisk) {
  MemoryFileSystem disk;
  const std::string path = "a.brx";
  disk.Put(path, {1, 2, 3});
  // Operation 1 finds the target, 2 creates the temporary file, 3 is the first write.
  FailingFileSystem files(disk, 3, FailingFileSystem::Fault::StalledWrite);
  std::string reason;
  EXPECT_FALSE(SaveToFile(PatternDocument({2}), path.c_str(), files, reason));
  EXPECT_EQ(reason, "cannot write the file: the disk is full: not every byte could be written");
  EXPECT_EQ(disk.Bytes(path), testing::Bytes({1, 2, 3}));
  EXPECT_EQ(disk.Names(), std::vector<std::string>{"a.brx"});
}

}  // namespace
}  // namespace brx

// Reading a whole file through the file seam: a read error part-way through.
#include "model/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace brx {
namespace {

// Files whose reads fail after a given number of bytes.
class BrokenFileSystem : public FileSystem {
 public:
  explicit BrokenFileSystem(std::size_t good_bytes) : good_bytes_(good_bytes) {}

  std::unique_ptr<InputFile> OpenForReading(const std::string&, std::string&) override {
    return std::make_unique<BrokenFile>(good_bytes_);
  }
  bool ResolveSaveTarget(const std::string& path, std::string& target, std::string&) override {
    target = path;
    return true;
  }
  std::unique_ptr<OutputFile> CreateNew(const std::string&, const std::string&,
                                        bool& already_exists, std::string& error) override {
    already_exists = false;
    error = "read-only";
    return nullptr;
  }
  bool Replace(const std::string&, const std::string&, std::string&) override { return false; }
  bool Remove(const std::string&) override { return false; }
  bool SameFile(const std::string&, const std::string&) override { return false; }

 private:
  class BrokenFile : public InputFile {
   public:
    explicit BrokenFile(std::size_t good_bytes) : left_(good_bytes) {}
    bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) override {
      if (left_ == 0) {
        error = "the device is gone";
        return false;
      }
      got = std::min(size, left_);
      std::fill_n(data, got, std::uint8_t{0xAB});
      left_ -= got;
      return true;
    }

   private:
    std::size_t left_;
  };

  std::size_t good_bytes_;
};

TEST(ReadFile, AReadErrorLeavesNoBytesAndSaysWhy) {
  for (const std::size_t good_bytes : {std::size_t{0}, std::size_t{100}, std::size_t{70000}}) {
    BrokenFileSystem files(good_bytes);
    std::vector<std::uint8_t> read{1, 2, 3};
    std::string error;
    EXPECT_FALSE(files.ReadFile("any", 1 << 20, read, error)) << good_bytes;
    EXPECT_TRUE(read.empty()) << good_bytes;
    EXPECT_EQ(error, "the device is gone");
  }
}

}  // namespace
}  // namespace brx

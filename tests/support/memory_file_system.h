// Files held in memory behind the model's file seam, so that the model's
// tests need no operating system: a flat set of names, each with its bytes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/file_system.h"

namespace brx::testing {

class MemoryFileSystem : public FileSystem {
 public:
  std::unique_ptr<InputFile> OpenForReading(const std::string& path, std::string& error) override;
  bool ResolveSaveTarget(const std::string& path, std::string& target, std::string& error) override;
  std::unique_ptr<OutputFile> CreateNew(const std::string& path, const std::string& replaces,
                                        bool& already_exists, std::string& error) override;
  bool Replace(const std::string& from, const std::string& to, std::string& error) override;
  bool Remove(const std::string& path) override;
  // A flat set of names has no links: one name, one file.
  bool SameFile(const std::string& a, const std::string& b) override {
    return a == b && files_.count(a);
  }

  void Put(const std::string& path, std::vector<std::uint8_t> bytes) {
    files_[path] = std::move(bytes);
  }
  // A file's bytes; empty when there is no such file.
  std::vector<std::uint8_t> Bytes(const std::string& path) const;
  // The names of the files, sorted.
  std::vector<std::string> Names() const;

 private:
  std::map<std::string, std::vector<std::uint8_t>> files_;
};

}  // namespace brx::testing

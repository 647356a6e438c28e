#include "tests/support/memory_file_system.h"

namespace brx::testing {
namespace {

// A copy of a file's bytes, read front to back.
class CopyInputFile : public InputFile {
 public:
  explicit CopyInputFile(std::vector<std::uint8_t> bytes)
      : bytes_(std::move(bytes)), reader_(bytes_.data(), bytes_.size()) {}
  bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) override {
    return reader_.Read(data, size, got, error);
  }

 private:
  std::vector<std::uint8_t> bytes_;
  MemoryInputFile reader_;
};

// Appends to a file's bytes as they are written.
class AppendingOutputFile : public OutputFile {
 public:
  explicit AppendingOutputFile(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  bool Write(const std::uint8_t* data, std::size_t size, std::size_t& written,
             std::string&) override {
    bytes_.insert(bytes_.end(), data, data + size);
    written = size;
    return true;
  }
  bool Flush(std::string&) override { return true; }
  bool Close(std::string&) override { return true; }

 private:
  std::vector<std::uint8_t>& bytes_;
};

}  // namespace

std::unique_ptr<InputFile> MemoryFileSystem::OpenForReading(const std::string& path,
                                                            std::string& error) {
  const auto file = files_.find(path);
  if (file == files_.end()) {
    error = "no such file";
    return nullptr;
  }
  return std::make_unique<CopyInputFile>(file->second);
}

bool MemoryFileSystem::ResolveSaveTarget(const std::string& path, std::string& target,
                                         std::string&) {
  target = path;
  return true;
}

std::unique_ptr<OutputFile> MemoryFileSystem::CreateNew(const std::string& path, const std::string&,
                                                        bool& already_exists, std::string& error) {
  already_exists = files_.count(path) != 0;
  if (already_exists) {
    error = "the file exists";
    return nullptr;
  }
  return std::make_unique<AppendingOutputFile>(files_[path]);
}

bool MemoryFileSystem::Replace(const std::string& from, const std::string& to, std::string& error) {
  const auto file = files_.find(from);
  if (file == files_.end()) {
    error = "no such file";
    return false;
  }
  auto bytes = std::move(file->second);
  files_.erase(file);
  files_[to] = std::move(bytes);
  return true;
}

bool MemoryFileSystem::Remove(const std::string& path) {
  return files_.erase(path) != 0;
}

std::vector<std::uint8_t> MemoryFileSystem::Bytes(const std::string& path) const {
  const auto file = files_.find(path);
  return file == files_.end() ? std::vector<std::uint8_t>{} : file->second;
}

std::vector<std::string> MemoryFileSystem::Names() const {
  std::vector<std::string> names;
  for (const auto& file : files_) names.push_back(file.first);
  return names;
}

}  // namespace brx::testing

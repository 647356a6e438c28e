#include "model/file_system.h"

#include <algorithm>
#include <cstring>

namespace brx {

bool MemoryInputFile::Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string&) {
  got = std::min(size, left_);
  if (got) std::memcpy(data, data_, got);
  data_ += got;
  left_ -= got;
  return true;
}

bool FileSystem::ReadFile(const std::string& path, std::size_t limit,
                          std::vector<std::uint8_t>& bytes, std::string& error) {
  bytes.clear();
  auto file = OpenForReading(path, error);
  if (!file) return false;
  constexpr std::size_t kChunk = 1 << 16;
  std::size_t filled = 0;
  while (filled < limit) {
    if (filled == bytes.size()) bytes.resize(std::min(std::max(kChunk, bytes.size() * 2), limit));
    std::size_t got = 0;
    if (!file->Read(bytes.data() + filled, bytes.size() - filled, got, error)) {
      bytes.clear();
      return false;
    }
    if (got == 0) break;
    filled += got;
  }
  bytes.resize(filled);
  return true;
}

}  // namespace brx

#include "tools/documents/loaded_file.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "model/structure_data.h"
#include "tools/documents/input.h"

namespace brx::tool {
namespace {

// The parser reads ahead of the records it takes by less than this, so the
// first bytes after the last record are still here when it is done.
constexpr std::size_t kRecentSize = 1 << 18;
// Bytes counted past the longest file the format can give meaning to.
constexpr std::size_t kCountedSize = kMaxMeaningfulFileSize + 1;

// FNV-1a, 64 bits.
constexpr std::uint64_t kHashStart = 14695981039346656037ull;
void Hash(const std::uint8_t* data, std::size_t size, std::uint64_t& hash) {
  for (std::size_t k = 0; k < size; ++k) hash = (hash ^ data[k]) * 1099511628211ull;
}

// Passes the file's bytes to the parser, keeping the file header and the
// latest bytes read on the way.
class WatchedInput : public InputFile {
 public:
  WatchedInput(InputFile& source, LoadedFile& file)
      : source_(source), file_(file), recent_(kRecentSize) {}

  bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) override {
    if (!source_.Read(data, size, got, error)) {
      read_error_ = error;
      return false;
    }
    for (std::size_t k = 0; k < got && total_ + k < FileHeader::kSize; ++k)
      file_.header.bytes[total_ + k] = data[k];
    for (std::size_t k = 0; k < got;) {
      const std::size_t at = (total_ + k) % kRecentSize;
      const std::size_t run = std::min(got - k, kRecentSize - at);
      std::memcpy(&recent_[at], data + k, run);
      k += run;
    }
    total_ += got;
    file_.header_bytes = std::min(total_, FileHeader::kSize);
    return true;
  }

  // Counts, keeps the start of and hashes what follows offset `end`: what is
  // still here of it, then the rest of the input.
  bool Trailing(std::size_t end, std::string& error) {
    TrailingBytes& trailing = file_.trailing;
    trailing.hash = kHashStart;
    const auto take = [&](const std::uint8_t* data, std::size_t size) {
      for (std::size_t k = 0; k < size && trailing.count + k < TrailingBytes::kKept; ++k)
        trailing.first[trailing.count + k] = data[k];
      Hash(data, size, trailing.hash);
      trailing.count += size;
    };
    for (std::size_t at = end; at < std::min(total_, kCountedSize); ++at)
      take(&recent_[at % kRecentSize], 1);
    std::vector<std::uint8_t> piece(1 << 16);
    while (total_ < kCountedSize) {
      std::size_t got = 0;
      const std::size_t before = total_;
      if (!Read(piece.data(), std::min(piece.size(), kCountedSize - total_), got, error))
        return false;
      if (got == 0) break;
      take(piece.data(), total_ - before);
    }
    file_.complete = total_ < kCountedSize;
    return true;
  }

  const std::string& read_error() const { return read_error_; }

 private:
  InputFile& source_;
  LoadedFile& file_;
  std::vector<std::uint8_t> recent_;
  std::size_t total_ = 0;
  std::string read_error_;
};

}  // namespace

bool LoadedFile::HasHeader() const {
  return header_bytes == FileHeader::kSize && header.HasMagic();
}

std::size_t LoadedFile::TileCount() const {
  std::size_t tiles = 0;
  for (std::size_t i = 0; i < set.StructureCount(); ++i) tiles += set.TileCount(i);
  return tiles;
}

std::size_t LoadedFile::RecordsEnd() const {
  return FileHeader::kSize + set.StructureCount() * StructureHeader::kSize +
         TileCount() * TileRecord::kSize;
}

bool LoadStructureFileUpToDamage(const std::string& operand, const InputSources& inputs,
                                 LoadedFile& file, std::string& error) {
  const std::unique_ptr<InputFile> source = OpenInput(operand, inputs, error);
  if (!source) return false;
  file = LoadedFile();
  WatchedInput watched(*source, file);
  ParseStructureDataUpToDamage(watched, file.set, file.damage);
  std::string read_error = watched.read_error();
  if (read_error.empty() && file.damage.empty()) watched.Trailing(file.RecordsEnd(), read_error);
  if (read_error.empty()) return true;
  error = operand == kStandardStream ? read_error : "cannot read the file: " + read_error;
  return false;
}

bool LoadStructureFile(const std::string& operand, const InputSources& inputs, LoadedFile& file,
                       std::string& error) {
  if (!LoadStructureFileUpToDamage(operand, inputs, file, error)) return false;
  if (file.damage.empty()) return true;
  error = file.damage;
  file.set.Clear();
  return false;
}

}  // namespace brx::tool

#include "tools/brxtool/loaded_file.h"

#include <algorithm>

#include "model/file_system.h"
#include "model/structure_data.h"

namespace brx::tool {

FileHeader LoadedFile::Header() const {
  FileHeader header;
  std::copy_n(bytes.begin(), std::min(bytes.size(), FileHeader::kSize), header.bytes.begin());
  return header;
}

std::size_t LoadedFile::TileCount() const {
  std::size_t tiles = 0;
  for (std::size_t i = 0; i < set.StructureCount(); ++i) tiles += set.TileCount(i);
  return tiles;
}

bool LoadStructureFile(const std::string& path, LoadedFile& file, std::string& reason) {
  std::string error;
  if (!SystemFileSystem().ReadFile(path, kMaxMeaningfulFileSize + 1, file.bytes, error)) {
    reason = "cannot open the file: " + error;
    return false;
  }
  file.complete = file.bytes.size() <= kMaxMeaningfulFileSize;
  return ParseStructureData(file.bytes.data(), file.bytes.size(), file.set, &reason);
}

}  // namespace brx::tool

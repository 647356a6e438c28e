#include "tools/brxtool/loaded_file.h"

#include <algorithm>

#include "model/structure_data.h"
#include "tools/brxtool/input.h"

namespace brx::tool {

FileHeader LoadedFile::Header() const {
  FileHeader header;
  std::copy_n(bytes.begin(), std::min(bytes.size(), FileHeader::kSize), header.bytes.begin());
  return header;
}

bool LoadedFile::HasHeader() const {
  return bytes.size() >= FileHeader::kSize && Header().HasMagic();
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

bool LoadStructureFileUpToDamage(const std::string& operand, std::istream& in, LoadedFile& file,
                                 std::string& reason) {
  if (!ReadInput(operand, in, kMaxMeaningfulFileSize + 1, file.bytes, reason)) return false;
  file.complete = file.bytes.size() <= kMaxMeaningfulFileSize;
  MemoryInputFile source(file.bytes.data(), file.bytes.size());
  file.damage.clear();
  ParseStructureDataUpToDamage(source, file.set, &file.damage);
  return true;
}

bool LoadStructureFile(const std::string& operand, std::istream& in, LoadedFile& file,
                       std::string& reason) {
  if (!LoadStructureFileUpToDamage(operand, in, file, reason)) return false;
  if (file.damage.empty()) return true;
  reason = file.damage;
  file.set.Clear();
  return false;
}

}  // namespace brx::tool

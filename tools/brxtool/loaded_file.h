// A structure data file read the way the editor reads it, keeping the raw
// bytes as well, for what the editor ignores: the copies in the file header
// and bytes after the last record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/records.h"
#include "model/structure_set.h"

namespace brx::tool {

struct LoadedFile {
  // The file's bytes, read up to one byte past the longest file the format
  // can give meaning to.
  std::vector<std::uint8_t> bytes;
  // False when the file goes on past what was read.
  bool complete = true;
  StructureSet set;

  // The file header as it stands in the file (valid once loaded).
  FileHeader Header() const;
  // The number of tiles of all structures together.
  std::size_t TileCount() const;
};

// Reads and parses the file. On failure `reason` is the model's words.
bool LoadStructureFile(const std::string& path, LoadedFile& file, std::string& reason);

}  // namespace brx::tool

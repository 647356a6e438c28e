// A structure data file read the way the editor reads it, keeping the raw
// bytes as well, for what the editor ignores: the copies in the file header
// and bytes after the last record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
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
  // Empty for a file that loads; else what is wrong with it.
  std::string damage;

  // The file header as it stands in the file (valid once loaded).
  FileHeader Header() const;
  // True when the file starts with a whole file header of a structure data file.
  bool HasHeader() const;
  // The number of tiles of all structures together.
  std::size_t TileCount() const;
  // Where the last record ends: the offset of the bytes the editor ignores.
  std::size_t RecordsEnd() const;
};

// Reads the file ("-": standard input) and parses it. On failure `reason`
// says why, in the model's words where the data is at fault.
bool LoadStructureFile(const std::string& operand, std::istream& in, LoadedFile& file,
                       std::string& reason);

// The same, but a damaged file is read as far as it goes: `file.set` holds
// what was read before the damage and `file.damage` what the damage is. Fails
// only when the file cannot be read at all.
bool LoadStructureFileUpToDamage(const std::string& operand, std::istream& in, LoadedFile& file,
                                 std::string& reason);

}  // namespace brx::tool

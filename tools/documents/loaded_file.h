// A structure data file read the way the editor reads it, keeping besides
// the document only what the editor ignores and brxtool reports: the file
// header as it stands, and what follows the last record (its length, its
// first bytes and a hash of all of it). The file itself is not kept.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>

#include "model/records.h"
#include "model/structure_set.h"
#include "tools/documents/input.h"

namespace brx::tool {

// The bytes after the last record. Two files have the same when their
// lengths, first bytes and hashes agree.
struct TrailingBytes {
  static constexpr std::size_t kKept = 16;

  std::size_t count = 0;
  std::array<std::uint8_t, kKept> first{};
  std::uint64_t hash = 0;

  friend bool operator==(const TrailingBytes& a, const TrailingBytes& b) {
    return a.count == b.count && a.first == b.first && a.hash == b.hash;
  }
};

struct LoadedFile {
  // The file's first bytes, as many as it has up to a whole file header.
  FileHeader header;
  std::size_t header_bytes = 0;
  StructureSet set;
  // Empty for a file that loads; else what is wrong with it.
  std::string damage;
  // Of a file that loads, counted up to one byte past the longest file the
  // format can give meaning to.
  TrailingBytes trailing;
  // False when the file goes on past what was counted.
  bool complete = true;

  // The file header as it stands in the file (valid once loaded).
  const FileHeader& Header() const { return header; }
  // True when the file starts with a whole file header of a structure data file.
  bool HasHeader() const;
  // The number of tiles of all structures together.
  std::size_t TileCount() const;
  // Where the last record ends: the offset of the bytes the editor ignores.
  std::size_t RecordsEnd() const;
};

// Reads the file ("-": standard input) and parses it. On failure `error`
// says why, in the model's words where the data is at fault.
bool LoadStructureFile(const std::string& operand, const InputSources& inputs, LoadedFile& file,
                       std::string& error);

// The same, but a damaged file is read as far as it goes: `file.set` holds
// what was read before the damage and `file.damage` what the damage is. Fails
// only when the file cannot be read at all.
bool LoadStructureFileUpToDamage(const std::string& operand, const InputSources& inputs,
                                 LoadedFile& file, std::string& error);

}  // namespace brx::tool

// The document: an ordered list of structures, each owning its header and
// its ordered list of tiles. Indices are the only identity of a structure or
// a tile; they are dense, and only Clear invalidates them.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "model/records.h"

namespace brx {

class FileSystem;

// An index at or beyond the current count: a caller's mistake, raised before
// anything changes.
class IndexOutOfRange : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

// One structure, a value: copying it copies its whole tile list.
struct StructureEntry {
  std::vector<TileRecord> tiles;
  StructureHeader header;
};

class StructureSet {
 public:
  void Clear() { entries_.clear(); }
  std::size_t AppendStructure(const StructureEntry& entry);
  std::size_t AppendStructure(StructureEntry&& entry);
  std::size_t StructureCount() const { return entries_.size(); }
  StructureHeader Header(std::size_t i) const { return At(i).header; }
  void SetHeader(std::size_t i, const StructureHeader& header) { At(i).header = header; }
  std::size_t TileCount(std::size_t i) const { return At(i).tiles.size(); }
  std::size_t AppendTile(std::size_t i, const TileRecord& tile);
  TileRecord Tile(std::size_t i, std::size_t j) const { return TileAt(i, j); }
  void SetTile(std::size_t i, std::size_t j, const TileRecord& tile) { TileAt(i, j) = tile; }

  // Read-only view of a whole structure, for walking the document.
  const StructureEntry& Entry(std::size_t i) const { return At(i); }

  // Replaces the document by the file's content. The document is cleared
  // first, whatever follows; on failure it stays empty and `reason` (when
  // given) says why in words fit for a user.
  bool LoadFromFile(const char* name, std::string* reason = nullptr);
  bool LoadFromFile(const char* name, FileSystem& files, std::string* reason = nullptr);

  // Writes the document to the file, atomically: the file holds either its
  // old content or the whole new one, never a mixture. Only the bytes change:
  // a symbolic link is written through and stays, and the file keeps its
  // permissions (and owner and group where the process may set them). A
  // file the user could not write in place, or that is no regular file, is
  // refused. The document itself is not changed. On failure nothing on disk
  // changes and `reason` says why.
  bool SaveToFile(const char* name, std::string* reason = nullptr) const;
  bool SaveToFile(const char* name, FileSystem& files, std::string* reason = nullptr) const;

  // Hands the structures over and leaves the document empty: a new document
  // can then be made of this one's records without copying them.
  std::vector<StructureEntry> TakeEntries() { return std::exchange(entries_, {}); }

  // Makes room for this many structures in one step.
  void Reserve(std::size_t structures) { entries_.reserve(structures); }
  friend bool operator==(const StructureSet& a, const StructureSet& b);

 private:
  StructureEntry& At(std::size_t i);
  const StructureEntry& At(std::size_t i) const;
  TileRecord& TileAt(std::size_t i, std::size_t j);
  const TileRecord& TileAt(std::size_t i, std::size_t j) const;

  std::vector<StructureEntry> entries_;
};

}  // namespace brx

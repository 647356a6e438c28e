// The document as a JSON Patch sees it: the loaded structures themselves,
// reached through pointers, read, added to, replaced and removed from as RFC
// 6902 says of the JSON that `brxtool dump --json` writes, with no tree of
// that JSON ever made. A structure's Flags are a set of bits; while a patch
// edits them label by label they are held as the list the patch sees, and
// become bits again before anything else is done.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/structure_set.h"
#include "tools/documents/patch/patch_path.h"
#include "tools/documents/patch/patch_value.h"

namespace brx::tool {

class PatchDocument {
 public:
  explicit PatchDocument(std::vector<StructureEntry>& entries) : entries_(entries) {}

  // Whether the document has what `path` names (or, for an add, a place for
  // it); else `error` says what it lacks.
  bool Has(const PatchPath& path, bool adding, std::string& error);
  // These fail with `error` saying why, and then change nothing.
  bool Get(const PatchPath& path, PatchValue& value, std::string& error);
  bool Add(const PatchPath& path, PatchValue value, std::string& error);
  bool Replace(const PatchPath& path, PatchValue value, std::string& error);
  bool Remove(const PatchPath& path, std::string& error);

  // Turns the Flags lists edited label by label back into bits.
  void CloseFlags();

  std::size_t StructureCount() const { return entries_.size(); }
  std::size_t TileCount(std::size_t structure) const { return entries_[structure].tiles.size(); }

 private:
  bool Put(const PatchPath& path, PatchValue&& value, bool adding, std::string& error);
  std::vector<std::uint8_t>& Labels(std::size_t structure);
  TileRecord& Tile(const PatchPath& path) { return entries_[path.structure].tiles[path.tile]; }

  std::vector<StructureEntry>& entries_;
  std::vector<std::pair<std::size_t, std::vector<std::uint8_t>>> open_flags_;
};

}  // namespace brx::tool

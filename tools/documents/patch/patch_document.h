// The document as a JSON Patch sees it: the loaded structures themselves,
// reached through pointers, read, added to, replaced and removed from as RFC
// 6902 says of the JSON that `brxtool dump --json` writes, with no tree of
// that JSON ever made.
//
// A structure's Flags are a set of bits and a tile's shape a 5 x 5 grid, but
// to a patch they are lists, which it may edit element by element through
// states no file can hold (a label twice, a row of six values on its way to
// five, as JSON Patch tools write them). While a patch does so they are held
// as the lists it sees, and become bits and a grid again once something else
// needs them, or at the patch's end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
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

  // Makes ready what `path` reaches: the lists held element by element
  // within it, or shifted by a change to it, become bits and grids again.
  // False, with `error`, when a shape then is not 5 x 5.
  bool Settle(const PatchPath& path, std::string& error);
  // The same for every list held: at the end of a patch.
  bool SettleAll(std::string& error);

  // Whether the document has what `path` names (or, for an add, a place for
  // it); else `error` says what it lacks.
  bool Has(const PatchPath& path, bool adding, std::string& error);
  // These fail with `error` saying why, and then change nothing; the path
  // must have been settled.
  bool Get(const PatchPath& path, PatchValue& value, std::string& error);
  bool Add(const PatchPath& path, PatchValue&& value, std::string& error);
  bool Replace(const PatchPath& path, PatchValue&& value, std::string& error);
  bool Remove(const PatchPath& path, std::string& error);

  std::size_t StructureCount() const { return entries_.size(); }
  std::size_t TileCount(std::size_t structure) const { return entries_[structure].tiles.size(); }

 private:
  using Rows = std::vector<std::vector<std::uint8_t>>;

  bool Put(const PatchPath& path, PatchValue&& value, bool adding, std::string& error);
  std::vector<std::uint8_t>& Labels(std::size_t structure);
  // A shape as rows, opened for a change of its rows' lengths; null when it
  // is not open (its cells are then read and written in the tile itself).
  Rows& OpenRows(std::size_t structure, std::size_t tile);
  Rows* FindRows(std::size_t structure, std::size_t tile);
  // Settles the Flags, the shapes or both of one structure (of all when
  // `structure` is null), or of one tile only the shape.
  bool SettleWithin(const std::size_t* structure, const std::size_t* tile, bool flags, bool shapes,
                    std::string& error);
  TileRecord& Tile(const PatchPath& path) { return entries_[path.structure].tiles[path.tile]; }

  std::vector<StructureEntry>& entries_;
  std::map<std::size_t, std::vector<std::uint8_t>> open_flags_;
  std::map<std::pair<std::size_t, std::size_t>, Rows> open_shapes_;
};

}  // namespace brx::tool

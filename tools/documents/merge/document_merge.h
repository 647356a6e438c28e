// A three-way merge of structure data files, field by field: the changes
// ours and theirs made to a common base, put together the way git puts
// together changes to lines of text. Records are matched by position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/structure_set.h"

namespace brx::tool {

// What one side did to a whole structure or tile, for a clash over the record.
enum class RecordChange { kAdded, kChanged, kRemoved };

// A place both sides changed differently. The merged document holds ours'
// value there.
struct Conflict {
  std::size_t structure = 0;
  std::optional<std::size_t> tile;
  // A field ("Armour", "Shape[2][3]") with its three values; empty when the
  // clash is over the whole record, and then `ours_change` and
  // `theirs_change` say what each side did to it.
  std::string field;
  std::int64_t base = 0;
  std::int64_t ours = 0;
  std::int64_t theirs = 0;
  RecordChange ours_change = RecordChange::kChanged;
  RecordChange theirs_change = RecordChange::kChanged;
};

struct MergeResult {
  StructureSet merged;
  std::vector<Conflict> conflicts;  // in file order
};

// Per field: changed on one side only gives that side's value, changed the
// same way on both that value, changed differently a conflict. Flags and
// TileFlags merge bit by bit, so they never clash. Records appended on one
// side are taken; appended on both, they must be the same. A side that
// removes trailing records wins unless the other side changed or added any
// of them. What every save rewrites (StructureNumber, the tile counts) never
// clashes. Ours is taken over (move it in): the merge is made of its records.
MergeResult MergeDocuments(const StructureSet& base, StructureSet ours, const StructureSet& theirs);

}  // namespace brx::tool

#include "tools/documents/merge/document_merge.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "model/fields.h"

namespace brx::tool {
namespace {

struct Place {
  std::size_t structure;
  std::optional<std::size_t> tile;
};

// Flag words: each bit is a checkbox of its own, so each bit merges alone.
bool MergesBitByBit(const Field& field) {
  return field.role == FieldRole::kFlags ||
         (field.name == fields::kTileFlags.name && field.offset == fields::kTileFlags.offset);
}

// The bits either side flipped are flipped. A bit both sides flipped went
// the same way on both (a bit has only one other value), so bits never clash.
template <std::size_t N>
void MergeBits(const Field& field, const ByteRecord<N>& base, const ByteRecord<N>& theirs,
               ByteRecord<N>& ours) {
  const auto bits = [&field](const ByteRecord<N>& record) {
    return static_cast<std::uint32_t>(field.ValueIn(record));
  };
  const std::uint32_t from = bits(base);
  field.Put(ours, from ^ ((from ^ bits(ours)) | (from ^ bits(theirs))));
}

// Merges one integer into ours. False on a clash, which leaves ours' value.
template <std::size_t N>
bool MergeInteger(const Field& field, const ByteRecord<N>& base, const ByteRecord<N>& theirs,
                  ByteRecord<N>& ours) {
  const std::int64_t from = field.ValueIn(base);
  const std::int64_t mine = field.ValueIn(ours);
  const std::int64_t other = field.ValueIn(theirs);
  if (mine == other || other == from) return true;
  if (mine != from) return false;
  field.Put(ours, static_cast<std::uint32_t>(other));
  return true;
}

// Two records that a save writes the same: what every save rewrites
// (StructureNumber, the tile count) does not count.
template <std::size_t N, std::size_t F>
bool SameRecord(const ByteRecord<N>& a, const ByteRecord<N>& b, const std::array<Field, F>& table) {
  ByteRecord<N> left = a;
  ByteRecord<N> right = b;
  for (const Field& field : table) {
    if (field.rewritten_on_save || field.role == FieldRole::kTiles) {
      field.Put(left, 0);
      field.Put(right, 0);
    }
  }
  return left == right;
}

// A tile is its bytes alone, so a structure's tiles compare as one block.
static_assert(sizeof(TileRecord) == TileRecord::kSize, "a tile is exactly its bytes");
bool SameTiles(const std::vector<TileRecord>& a, const std::vector<TileRecord>& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * TileRecord::kSize) == 0);
}

bool SameStructure(const StructureEntry& a, const StructureEntry& b) {
  return SameTiles(a.tiles, b.tiles) && SameRecord(a.header, b.header, fields::kStructureFields);
}

bool SameTile(const TileRecord& a, const TileRecord& b) {
  return a == b;
}

// The structures of a document as a list, like a structure's tiles.
struct StructureList {
  const StructureSet& set;
  std::size_t size() const { return set.StructureCount(); }
  const StructureEntry& operator[](std::size_t i) const { return set.Entry(i); }
};

// Merges into ours' records in place: ours is the merge's starting point and
// keeps its value wherever the sides clash, so nothing is copied but what
// theirs brings.
class Merger {
 public:
  explicit Merger(std::vector<Conflict>& conflicts) : conflicts_(conflicts) {}

  void MergeStructures(const StructureSet& base, const StructureSet& theirs,
                       std::vector<StructureEntry>& ours) {
    MergeList(
        StructureList{base}, StructureList{theirs}, ours, SameStructure,
        [&](std::size_t i) { MergeStructure(i, base.Entry(i), theirs.Entry(i), ours[i]); },
        [](std::size_t i) {
          return Place{i, std::nullopt};
        });
  }

 private:
  // One list of records, position by position. Where all three hold a
  // record, `merge_at` merges it. Past the end of the shorter side: when
  // that side removed nothing, the longer side's records are additions and
  // are taken; when it removed records, the removal stands unless the longer
  // side changed or added any of them, which clashes and keeps ours.
  template <typename List, typename Record, typename Same, typename MergeAt, typename PlaceAt>
  void MergeList(const List& base, const List& theirs, std::vector<Record>& ours, Same same,
                 MergeAt merge_at, PlaceAt place_at) {
    const std::size_t shorter = std::min(ours.size(), theirs.size());
    for (std::size_t i = 0; i < shorter; ++i) {
      if (i < base.size()) {
        merge_at(i);
      } else if (!same(ours[i], theirs[i])) {
        AddRecordConflict(place_at(i), RecordChange::kAdded, RecordChange::kAdded);
      }
    }
    const bool ours_longer = ours.size() > theirs.size();
    if (shorter >= base.size()) {
      for (std::size_t i = shorter; i < theirs.size(); ++i) ours.push_back(theirs[i]);
      return;
    }
    bool clashed = false;
    for (std::size_t i = shorter; i < std::max(ours.size(), theirs.size()); ++i) {
      const bool added = i >= base.size();
      if (!added && same(ours_longer ? ours[i] : theirs[i], base[i])) continue;
      const RecordChange change = added ? RecordChange::kAdded : RecordChange::kChanged;
      AddRecordConflict(place_at(i), ours_longer ? change : RecordChange::kRemoved,
                        ours_longer ? RecordChange::kRemoved : change);
      clashed = true;
    }
    if (!clashed) ours.resize(shorter);
  }

  void MergeStructure(std::size_t i, const StructureEntry& base, const StructureEntry& theirs,
                      StructureEntry& ours) {
    if (SameStructure(theirs, base) || SameStructure(ours, theirs)) return;
    if (SameStructure(ours, base)) {
      ours = theirs;
      return;
    }
    for (const Field& field : fields::kStructureFields) {
      if (field.role != FieldRole::kTiles) {
        MergeField({i, std::nullopt}, field, base.header, theirs.header, ours.header);
        continue;
      }
      MergeList(
          base.tiles, theirs.tiles, ours.tiles, SameTile,
          [&](std::size_t j) {
            for (const Field& tile_field : fields::kTileFields)
              MergeField({i, j}, tile_field, base.tiles[j], theirs.tiles[j], ours.tiles[j]);
          },
          [i](std::size_t j) {
            return Place{i, j};
          });
    }
  }

  template <std::size_t N>
  void MergeField(const Place& place, const Field& field, const ByteRecord<N>& base,
                  const ByteRecord<N>& theirs, ByteRecord<N>& ours) {
    if (field.rewritten_on_save) return;
    if (MergesBitByBit(field)) {
      MergeBits(field, base, theirs, ours);
    } else if (field.role == FieldRole::kShape) {
      for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
        for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
          const Field cell = ShapeCellField(row, column);
          if (!MergeInteger(cell, base, theirs, ours))
            AddFieldConflict(place, ShapeCellName(row, column), cell, base, theirs, ours);
        }
      }
    } else if (!MergeInteger(field, base, theirs, ours)) {
      AddFieldConflict(place, std::string(field.name), field, base, theirs, ours);
    }
  }

  template <std::size_t N>
  void AddFieldConflict(const Place& place, std::string name, const Field& field,
                        const ByteRecord<N>& base, const ByteRecord<N>& theirs,
                        const ByteRecord<N>& ours) {
    Conflict conflict;
    conflict.structure = place.structure;
    conflict.tile = place.tile;
    conflict.field = std::move(name);
    conflict.base = field.ValueIn(base);
    conflict.ours = field.ValueIn(ours);
    conflict.theirs = field.ValueIn(theirs);
    conflicts_.push_back(std::move(conflict));
  }

  void AddRecordConflict(const Place& place, RecordChange ours, RecordChange theirs) {
    Conflict conflict;
    conflict.structure = place.structure;
    conflict.tile = place.tile;
    conflict.ours_change = ours;
    conflict.theirs_change = theirs;
    conflicts_.push_back(std::move(conflict));
  }

  std::vector<Conflict>& conflicts_;
};

}  // namespace

MergeResult MergeDocuments(const StructureSet& base, StructureSet ours,
                           const StructureSet& theirs) {
  MergeResult result;
  std::vector<StructureEntry> merged = ours.TakeEntries();
  Merger(result.conflicts).MergeStructures(base, theirs, merged);
  result.merged.Reserve(merged.size());
  for (StructureEntry& entry : merged) result.merged.AppendStructure(std::move(entry));
  return result;
}

}  // namespace brx::tool

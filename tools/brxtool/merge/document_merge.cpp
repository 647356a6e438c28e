#include "tools/brxtool/merge/document_merge.h"

#include <algorithm>
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
void MergeBits(const Field& field, const ByteRecord<N>& base, const ByteRecord<N>& ours,
               const ByteRecord<N>& theirs, ByteRecord<N>& out) {
  const auto bits = [&field](const ByteRecord<N>& record) {
    return static_cast<std::uint32_t>(field.ValueIn(record));
  };
  const std::uint32_t from = bits(base);
  field.Put(out, from ^ ((from ^ bits(ours)) | (from ^ bits(theirs))));
}

// Merges one integer into `out`, which holds ours' value. False on a clash.
template <std::size_t N>
bool MergeInteger(const Field& field, const ByteRecord<N>& base, const ByteRecord<N>& ours,
                  const ByteRecord<N>& theirs, ByteRecord<N>& out) {
  const std::int64_t from = field.ValueIn(base);
  const std::int64_t mine = field.ValueIn(ours);
  const std::int64_t other = field.ValueIn(theirs);
  if (mine == other || other == from) return true;
  if (mine != from) return false;
  field.Put(out, static_cast<std::uint32_t>(other));
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

bool SameStructure(const StructureEntry& a, const StructureEntry& b) {
  return a.tiles == b.tiles && SameRecord(a.header, b.header, fields::kStructureFields);
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

class Merger {
 public:
  explicit Merger(std::vector<Conflict>& conflicts) : conflicts_(conflicts) {}

  std::vector<StructureEntry> MergeStructures(const StructureSet& base, const StructureSet& ours,
                                              const StructureSet& theirs) {
    std::vector<StructureEntry> out;
    out.reserve(std::max(ours.StructureCount(), theirs.StructureCount()));
    MergeList(
        StructureList{base}, StructureList{ours}, StructureList{theirs}, SameStructure,
        [&](std::size_t i) {
          return MergeStructure(i, base.Entry(i), ours.Entry(i), theirs.Entry(i));
        },
        [&](std::size_t i) {
          return Place{i, std::nullopt};
        },
        out);
    return out;
  }

 private:
  // One list of records, position by position. Where all three hold a
  // record, `merge_at` merges it. Past the end of the shorter side: when
  // that side removed nothing, the longer side's records are additions and
  // are taken; when it removed records, the removal stands unless the longer
  // side changed or added any of them, which clashes and keeps ours.
  template <typename List, typename Same, typename MergeAt, typename PlaceAt, typename Record>
  void MergeList(const List& base, const List& ours, const List& theirs, Same same,
                 MergeAt merge_at, PlaceAt place_at, std::vector<Record>& out) {
    const std::size_t shorter = std::min(ours.size(), theirs.size());
    for (std::size_t i = 0; i < shorter; ++i) {
      if (i < base.size()) {
        out.push_back(merge_at(i));
        continue;
      }
      if (!same(ours[i], theirs[i]))
        AddRecordConflict(place_at(i), RecordChange::kAdded, RecordChange::kAdded);
      out.push_back(ours[i]);
    }
    const bool ours_longer = ours.size() > theirs.size();
    const List& longer = ours_longer ? ours : theirs;
    bool take_rest = shorter >= base.size();
    if (!take_rest) {
      bool clashed = false;
      for (std::size_t i = shorter; i < longer.size(); ++i) {
        const bool added = i >= base.size();
        if (!added && same(longer[i], base[i])) continue;
        const RecordChange change = added ? RecordChange::kAdded : RecordChange::kChanged;
        AddRecordConflict(place_at(i), ours_longer ? change : RecordChange::kRemoved,
                          ours_longer ? RecordChange::kRemoved : change);
        clashed = true;
      }
      take_rest = clashed && ours_longer;
    }
    if (!take_rest) return;
    for (std::size_t i = shorter; i < longer.size(); ++i) out.push_back(longer[i]);
  }

  StructureEntry MergeStructure(std::size_t i, const StructureEntry& base,
                                const StructureEntry& ours, const StructureEntry& theirs) {
    if (SameStructure(theirs, base) || SameStructure(ours, theirs)) return ours;
    if (SameStructure(ours, base)) return theirs;
    StructureEntry out;
    out.header = ours.header;
    const Place place{i, std::nullopt};
    for (const Field& field : fields::kStructureFields) {
      if (field.role != FieldRole::kTiles) {
        MergeField(place, field, base.header, ours.header, theirs.header, out.header);
        continue;
      }
      MergeList(
          base.tiles, ours.tiles, theirs.tiles, SameTile,
          [&](std::size_t j) {
            TileRecord tile = ours.tiles[j];
            for (const Field& tile_field : fields::kTileFields)
              MergeField({i, j}, tile_field, base.tiles[j], ours.tiles[j], theirs.tiles[j], tile);
            return tile;
          },
          [i](std::size_t j) {
            return Place{i, j};
          },
          out.tiles);
    }
    return out;
  }

  template <std::size_t N>
  void MergeField(const Place& place, const Field& field, const ByteRecord<N>& base,
                  const ByteRecord<N>& ours, const ByteRecord<N>& theirs, ByteRecord<N>& out) {
    if (field.rewritten_on_save) return;
    if (MergesBitByBit(field)) {
      MergeBits(field, base, ours, theirs, out);
    } else if (field.role == FieldRole::kShape) {
      for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
        for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
          const Field cell = ShapeCellField(row, column);
          if (!MergeInteger(cell, base, ours, theirs, out))
            AddFieldConflict(place, ShapeCellName(row, column), cell, base, ours, theirs);
        }
      }
    } else if (!MergeInteger(field, base, ours, theirs, out)) {
      AddFieldConflict(place, std::string(field.name), field, base, ours, theirs);
    }
  }

  template <std::size_t N>
  void AddFieldConflict(const Place& place, std::string name, const Field& field,
                        const ByteRecord<N>& base, const ByteRecord<N>& ours,
                        const ByteRecord<N>& theirs) {
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

MergeResult MergeDocuments(const StructureSet& base, const StructureSet& ours,
                           const StructureSet& theirs) {
  MergeResult result;
  std::vector<StructureEntry> merged = Merger(result.conflicts).MergeStructures(base, ours, theirs);
  result.merged.Reserve(merged.size());
  for (StructureEntry& entry : merged) result.merged.AppendStructure(std::move(entry));
  return result;
}

}  // namespace brx::tool

// The fields of a structure and of a tile in the order brxtool shows them,
// with the names its JSON uses and the labels the editor's forms show. The
// JSON conversion and the listing both walk these tables, so the two can
// never disagree on a field's width, signedness or place.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "model/records.h"

namespace brx::tool {

enum class FieldRole {
  kInteger,  // a plain integer at `offset`, of width and signedness `kind`
  kFlags,    // the 32-bit StructureFlags word, as the labels of its set bits
  kTiles,    // the structure's tile list
  kShape,    // the tile's 5 x 5 shape grid
};

struct RecordField {
  std::string_view key;    // the JSON key, also the field's name
  std::string_view label;  // what the editor's form shows next to the field
  FieldRole role;
  std::size_t offset;     // kInteger only
  IntKind kind;           // kInteger only
  bool defaults_to_zero;  // may be left out of the JSON
};

const std::array<RecordField, 12>& StructureFields();
const std::array<RecordField, 7>& TileFields();

// The smallest and largest value a field of this kind holds.
struct IntRange {
  long long min;
  long long max;
};
IntRange RangeOf(IntKind kind);

}  // namespace brx::tool

// The fields of a structure and of a tile, stated once: each field's one
// name (the JSON key, the CSV column, the name `brxtool set` and `diff`
// use), the label the editor's form gives it, where it lies in its record
// and how wide and signed it is. Everything that names, shows, reads or
// compares a field walks these tables, so no two places can disagree. The
// file header's fields, which the form never shows, have a table of their
// own: name, offset and width, for what lists, checks and compares them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"

namespace brx {

// The smallest and largest value a field of a kind holds.
struct IntRange {
  std::int64_t min;
  std::int64_t max;
};

constexpr bool IsSignedKind(IntKind kind) {
  return kind == IntKind::I8 || kind == IntKind::I16;
}

constexpr IntRange RangeOf(IntKind kind) {
  switch (kind) {
    case IntKind::U8:
      return {0, 0xFF};
    case IntKind::I8:
      return {-0x80, 0x7F};
    case IntKind::U16:
      return {0, 0xFFFF};
    case IntKind::I16:
      return {-0x8000, 0x7FFF};
    case IntKind::U32:
      break;
  }
  return {0, 0xFFFFFFFF};
}

enum class FieldRole {
  kInteger,  // a plain integer at `offset`, of width and signedness `kind`
  kFlags,    // the 32-bit StructureFlags word, named bit by bit (model/flags.h)
  kTiles,    // the structure's tile list; the file holds its count
  kShape,    // the tile's 5 x 5 grid, one byte a cell from `offset` on
};

struct Field {
  std::string_view name;
  std::string_view label;  // as the editor's form shows it, and brxtool's listing
  FieldRole role;
  std::size_t offset;
  IntKind kind;
  // JSON may leave it out; it is then 0.
  bool may_be_left_out;
  // Every save writes the structure's position here, whatever the document
  // holds: a change to it never lasts, so comparisons and merges leave it out.
  bool rewritten_on_save;

  constexpr bool IsSigned() const { return IsSignedKind(kind); }
  constexpr IntRange Range() const { return RangeOf(kind); }
  // The value widened: unsigned kinds by zero extension, signed by sign extension.
  template <std::size_t N>
  std::int64_t ValueIn(const ByteRecord<N>& record) const {
    return record.Get(offset, kind);
  }
  // Stores a number's two's complement bits, cut to the field's width.
  template <std::size_t N>
  void Put(ByteRecord<N>& record, std::uint32_t bits) const {
    record.Put(offset, kind, bits);
  }
};

namespace fields {

using H = StructureHeader;
using T = TileRecord;

constexpr Field Integer(std::string_view name, std::string_view label, std::size_t offset,
                        IntKind kind) {
  return {name, label, FieldRole::kInteger, offset, kind, false, false};
}
// A field whose form label is its name.
constexpr Field Integer(std::string_view name, std::size_t offset, IntKind kind) {
  return Integer(name, name, offset, kind);
}
constexpr Field Whole(std::string_view name, FieldRole role, std::size_t offset, IntKind kind) {
  return {name, name, role, offset, kind, false, false};
}
// Both records end in a byte of this name.
inline constexpr std::string_view kReservedName = "Reserved";
constexpr Field LeftOutAsZero(Field field) {
  field.may_be_left_out = true;
  return field;
}

// clang-format off
// A structure's fields in the order its JSON lists them.
inline constexpr Field kStructureNumber = [] {
  Field field = LeftOutAsZero(Integer("StructureNumber", H::kStructureNumber, IntKind::U16));
  field.rewritten_on_save = true;
  return field;
}();
inline constexpr Field kArmour          = Integer("Armour", "Armour (0-255)", H::kArmour, IntKind::U8);
inline constexpr Field kHitPoints       = Integer("HitPoints", "HitPoints (0-255)", H::kHitPoints, IntKind::U8);
inline constexpr Field kDensity         = Integer("Density", "Density (0-255)", H::kDensity, IntKind::U8);
inline constexpr Field kFlags           = Whole("Flags", FieldRole::kFlags, H::kFlags, IntKind::U32);
inline constexpr Field kWallOrientation = Integer("WallOrientation", H::kWallOrientation, IntKind::U8);
inline constexpr Field kDestructionPartner = Integer("DestructionPartner",
    "DestructionPartner(>0 = debris number (bDP - 1), <0 = partner graphic )", H::kDestructionPartner, IntKind::I8);
inline constexpr Field kPartnerDelta    = Integer("PartnerDelta",
    "PartnerDelta(// opened/closed version, etc... 0 for unused)", H::kPartnerDelta, IntKind::I8);
inline constexpr Field kZTileOffsetX    = Integer("ZTileOffsetX", "ZtileOffsetX", H::kZTileOffsetX, IntKind::I8);
inline constexpr Field kZTileOffsetY    = Integer("ZTileOffsetY", H::kZTileOffsetY, IntKind::I8);
inline constexpr Field kStructureReserved = LeftOutAsZero(Integer(kReservedName, H::kReserved, IntKind::U8));
inline constexpr Field kTiles           = {"Tiles", "NumberOfTiles", FieldRole::kTiles, H::kNumberOfTiles, IntKind::U8, false, false};

inline constexpr std::array<Field, 12> kStructureFields{
    kStructureNumber, kArmour, kHitPoints, kDensity, kFlags, kWallOrientation, kDestructionPartner,
    kPartnerDelta, kZTileOffsetX, kZTileOffsetY, kStructureReserved, kTiles};

// A tile's fields in the order its JSON lists them.
inline constexpr Field ksPosRelToBase   = Integer("sPosRelToBase", "sPosRelToBase \"single-axis\"", T::ksPosRelToBase, IntKind::I16);
inline constexpr Field kbXPosRelToBase  = Integer("bXPosRelToBase", T::kbXPosRelToBase, IntKind::I8);
inline constexpr Field kbYPosRelToBase  = Integer("bYPosRelToBase", T::kbYPosRelToBase, IntKind::I8);
inline constexpr Field kShape           = Whole("Shape", FieldRole::kShape, T::kShape, IntKind::U8);
inline constexpr Field kTileFlags       = Integer("TileFlags", T::kTileFlags, IntKind::U8);
inline constexpr Field kubVehicleHitLocation = Integer("ubVehicleHitLocation", T::kubVehicleHitLocation, IntKind::U8);
inline constexpr Field kTileReserved    = LeftOutAsZero(Integer(kReservedName, T::kReserved, IntKind::U8));

inline constexpr std::array<Field, 7> kTileFields{
    ksPosRelToBase, kbXPosRelToBase, kbYPosRelToBase, kShape, kTileFlags, kubVehicleHitLocation,
    kTileReserved};
// clang-format on

}  // namespace fields

// What the reader and the writer make of a field of the file header.
enum class HeaderRole {
  kMagic,     // the bytes that mark the format; any others refuse the file
  kCount,     // how many structures follow
  kComputed,  // a number the writer computes from the counts and the reader ignores
  kReserved,  // bytes the writer zeroes and the reader ignores
};

// A field of the file header: a little-endian unsigned number, or a run of
// bytes (the magic, the reserved bytes).
struct HeaderField {
  std::string_view name;
  HeaderRole role;
  std::size_t offset;
  std::size_t width;  // in bytes

  constexpr bool IsNumber() const {
    return role == HeaderRole::kCount || role == HeaderRole::kComputed;
  }
  std::uint32_t NumberIn(const FileHeader& header) const {
    std::uint32_t value = 0;
    for (std::size_t k = width; k-- > 0;) value = value << 8 | header.bytes.at(offset + k);
    return value;
  }
};

namespace fields {

using F = FileHeader;

// The file header's fields in file order, from its first byte to its last.
inline constexpr std::array<HeaderField, 6> kFileHeaderFields{{
    {"Magic", HeaderRole::kMagic, F::kMagic, F::kMagicBytes.size()},
    {"NumberOfStructures", HeaderRole::kCount, F::kNumberOfStructures, 2},
    {"NumberOfStructuresCopy", HeaderRole::kComputed, F::kNumberOfStructuresCopy, 2},
    {"DataSize", HeaderRole::kComputed, F::kDataSize, 2},
    {"FormatByte", HeaderRole::kComputed, F::kFormatByte, 1},
    {kReservedName, HeaderRole::kReserved, F::kReserved, F::kSize - F::kReserved},
}};

}  // namespace fields

// The field of that name in a table, or null.
template <std::size_t N>
const Field* FindField(const std::array<Field, N>& table, std::string_view name) {
  for (const Field& field : table) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

// The names of a table's fields in its order: what an unknown name is
// matched against, for the name that was meant.
template <std::size_t N>
std::vector<std::string_view> FieldNames(const std::array<Field, N>& table) {
  std::vector<std::string_view> names;
  names.reserve(N);
  for (const Field& field : table) names.push_back(field.name);
  return names;
}

// One cell of a tile's shape, as a field of its own: the byte of row `row`
// and column `column` (the grid is stored column by column).
Field ShapeCellField(std::size_t row, std::size_t column);

// "Shape[r][c]", the name of the cell of row r and column c, as JSON nests
// the rows; rows and columns count from 0.
std::string ShapeCellName(std::size_t row, std::size_t column);

// The shape byte (0 to 24) of a name in that form, if it is one.
std::optional<std::size_t> ShapeByteOfName(std::string_view name);

}  // namespace brx

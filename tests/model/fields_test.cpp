#include "model/fields.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "model/number_text.h"

namespace brx {
namespace {

// Every byte of a record belongs to at most one field, and names are unique:
// a wrong offset or width in the table would make two fields share bytes.
template <std::size_t N, std::size_t Size>
void ExpectDisjoint(const std::array<Field, N>& table, std::size_t shape_cells) {
  std::set<std::string_view> names;
  std::array<int, Size> owners{};
  for (const Field& field : table) {
    EXPECT_TRUE(names.insert(field.name).second) << field.name;
    const std::size_t width = field.role == FieldRole::kShape ? shape_cells : WidthOf(field.kind);
    ASSERT_LE(field.offset + width, Size) << field.name;
    for (std::size_t k = 0; k < width; ++k) EXPECT_EQ(owners[field.offset + k]++, 0) << field.name;
  }
  for (std::size_t k = 0; k < Size; ++k) EXPECT_EQ(owners[k], 1) << "byte " << k;
}

TEST(Fields, EveryRecordByteBelongsToExactlyOneField) {
  ExpectDisjoint<12, StructureHeader::kSize>(fields::kStructureFields, 0);
  ExpectDisjoint<7, TileRecord::kSize>(fields::kTileFields, TileRecord::kShapeCells);
}

// Each field of the table reads exactly its own bytes at its own offset,
// widened by its kind: signed fields as two's complement.
TEST(Fields, EachFieldReadsItsOwnBytesWidenedByItsKind) {
  StructureHeader header;
  for (std::size_t k = 0; k < 16; ++k) header.bytes[k] = static_cast<std::uint8_t>(0xF0 + k);
  TileRecord tile;
  for (std::size_t k = 0; k < 32; ++k) tile.bytes[k] = static_cast<std::uint8_t>(0xC0 + k);
  const std::pair<const char*, std::int64_t> structure[] = {
      {"Armour", 0xF0},          {"HitPoints", 0xF1},        {"Density", 0xF2},
      {"Tiles", 0xF3},           {"Flags", 0xF7F6F5F4},      {"StructureNumber", 0xF9F8},
      {"WallOrientation", 0xFA}, {"DestructionPartner", -5}, {"PartnerDelta", -4},
      {"ZTileOffsetX", -3},      {"ZTileOffsetY", -2},       {"Reserved", 0xFF},
  };
  for (const auto& [name, value] : structure)
    EXPECT_EQ(FindField(fields::kStructureFields, name)->ValueIn(header), value) << name;
  const std::pair<const char*, std::int64_t> tile_fields[] = {
      {"sPosRelToBase", -0x3E40}, {"bXPosRelToBase", -0x3E},      {"bYPosRelToBase", -0x3D},
      {"TileFlags", 0xDD},        {"ubVehicleHitLocation", 0xDE}, {"Reserved", 0xDF},
  };
  for (const auto& [name, value] : tile_fields)
    EXPECT_EQ(FindField(fields::kTileFields, name)->ValueIn(tile), value) << name;
}

// The file header's fields follow each other from its first byte to its
// last, and each number reads its own bytes, little-endian.
TEST(Fields, FileHeaderFieldsCoverTheHeaderInOrder) {
  FileHeader header;
  for (std::size_t k = 0; k < FileHeader::kSize; ++k)
    header.bytes[k] = static_cast<std::uint8_t>(0xA0 + k);
  std::size_t next = 0;
  for (const HeaderField& field : fields::kFileHeaderFields) {
    EXPECT_EQ(field.offset, next) << field.name;
    next = field.offset + field.width;
  }
  EXPECT_EQ(next, FileHeader::kSize);
  const std::pair<const char*, std::uint32_t> numbers[] = {
      {"NumberOfStructures", 0xA5A4},
      {"NumberOfStructuresCopy", 0xA7A6},
      {"DataSize", 0xA9A8},
      {"FormatByte", 0xAA},
  };
  std::size_t n = 0;
  for (const HeaderField& field : fields::kFileHeaderFields) {
    if (!field.IsNumber()) continue;
    ASSERT_LT(n, std::size(numbers));
    EXPECT_EQ(field.name, numbers[n].first);
    EXPECT_EQ(field.NumberIn(header), numbers[n++].second) << field.name;
  }
  EXPECT_EQ(n, std::size(numbers));
}

TEST(Fields, OnlyStructureNumberIsRewrittenOnSave) {
  for (const Field& field : fields::kStructureFields)
    EXPECT_EQ(field.rewritten_on_save, field.name == fields::kStructureNumber.name) << field.name;
  EXPECT_EQ(FindField(fields::kTileFields, "Reserved")->offset, TileRecord::kReserved);
  EXPECT_EQ(FindField(fields::kStructureFields, "Reserved")->offset, StructureHeader::kReserved);
  EXPECT_EQ(FindField(fields::kTileFields, "Armour"), nullptr);
}

TEST(Fields, ShapeCellNamesRoundTripRowFirst) {
  for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
    for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
      const std::string name = ShapeCellName(row, column);
      EXPECT_EQ(ShapeByteOfName(name), TileRecord::ShapeByteIndex(row, column)) << name;
      TileRecord tile;
      ShapeCellField(row, column).Put(tile, 200);
      EXPECT_EQ(tile.ShapeByte(TileRecord::ShapeByteIndex(row, column)), 200) << name;
    }
  }
  EXPECT_EQ(ShapeCellName(2, 3), "Shape[2][3]");
  for (const char* wrong : {"Shape[5][0]", "Shape[0][5]", "Shape[/][0]", "Shape[0][0] ",
                            "shape[0][0]", "Shape[00][0]", "Shape", "Shape[1]", ""})
    EXPECT_EQ(ShapeByteOfName(wrong), std::nullopt) << wrong;
}

// The two rules of one reader: the form cuts (its caller does) and refuses
// only what is no 32-bit number of the field's signedness; brxtool refuses
// anything outside the field's range.
TEST(NumberText, FormAndToolRules) {
  using P = NumberProblem;
  struct Case {
    const char* text;
    IntKind kind;
    std::optional<std::uint32_t> form;
    P tool;
    std::uint32_t tool_bits;
  };
  const Case cases[] = {
      {"0", IntKind::U8, 0u, P::kNone, 0},
      {"255", IntKind::U8, 255u, P::kNone, 255},
      {"256", IntKind::U8, 256u, P::kOutOfRange, 0},
      {"-1", IntKind::U8, std::nullopt, P::kOutOfRange, 0},
      {"-0", IntKind::U8, std::nullopt, P::kNone, 0},
      {"-128", IntKind::I8, 0xFFFFFF80u, P::kNone, 0xFFFFFF80u},
      {"-129", IntKind::I8, 0xFFFFFF7Fu, P::kOutOfRange, 0},
      {"127", IntKind::I8, 127u, P::kNone, 127},
      {"128", IntKind::I8, 128u, P::kOutOfRange, 0},
      {"-32768", IntKind::I16, 0xFFFF8000u, P::kNone, 0xFFFF8000u},
      {"4294967295", IntKind::U8, 0xFFFFFFFFu, P::kOutOfRange, 0},
      {"4294967295", IntKind::U32, 0xFFFFFFFFu, P::kNone, 0xFFFFFFFFu},
      {"4294967296", IntKind::U32, std::nullopt, P::kOutOfRange, 0},
      {"2147483647", IntKind::I8, 0x7FFFFFFFu, P::kOutOfRange, 0},
      {"2147483648", IntKind::I8, std::nullopt, P::kOutOfRange, 0},
      {"-2147483648", IntKind::I8, 0x80000000u, P::kOutOfRange, 0},
      {"-2147483649", IntKind::I8, std::nullopt, P::kOutOfRange, 0},
      {"000000000000000000000000000000000000000000000000000000000000000042", IntKind::U8, 42u,
       P::kNone, 42},
      {"99999999999999999999999999", IntKind::U32, std::nullopt, P::kOutOfRange, 0},
      {" \t7 ", IntKind::U8, 7u, P::kNotANumber, 0},
      {" -7\t", IntKind::I8, 0xFFFFFFF9u, P::kNotANumber, 0},
      {"- 7", IntKind::I8, std::nullopt, P::kNotANumber, 0},
      {"+7", IntKind::U8, std::nullopt, P::kNotANumber, 0},
      {"", IntKind::U8, std::nullopt, P::kNotANumber, 0},
      {"  ", IntKind::U8, std::nullopt, P::kNotANumber, 0},
      {"-", IntKind::I8, std::nullopt, P::kNotANumber, 0},
      {"1.5", IntKind::U8, std::nullopt, P::kNotAnInteger, 0},
      {"-1e3", IntKind::I16, std::nullopt, P::kNotAnInteger, 0},
      {"1E+3", IntKind::U8, std::nullopt, P::kNotAnInteger, 0},
      {"1.", IntKind::U8, std::nullopt, P::kNotANumber, 0},
      {".5", IntKind::U8, std::nullopt, P::kNotANumber, 0},
      {"12abc", IntKind::U8, std::nullopt, P::kNotANumber, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormNumber(c.text, c.kind), c.form) << '"' << c.text << '"';
    std::uint32_t bits = 12345;
    EXPECT_EQ(FieldNumber(c.text, c.kind, bits), c.tool) << '"' << c.text << '"';
    if (c.tool == P::kNone) {
      EXPECT_EQ(bits, c.tool_bits) << c.text;
    }
  }
}

}  // namespace
}  // namespace brx

#include "model/records.h"

#include <gtest/gtest.h>

#include "model/flags.h"

namespace brx {
namespace {

TEST(Records, SizesAreExactlyTheFileLayout) {
  EXPECT_EQ(sizeof(FileHeader), 16u);
  EXPECT_EQ(sizeof(StructureHeader), 16u);
  EXPECT_EQ(sizeof(TileRecord), 32u);
}

TEST(Records, MultiByteFieldsAreLittleEndianOnAnyHost) {
  StructureHeader header;
  header.SetFlags(0x80402010u);
  header.SetStructureNumber(0x0102);
  EXPECT_EQ(header.bytes[4], 0x10);
  EXPECT_EQ(header.bytes[5], 0x20);
  EXPECT_EQ(header.bytes[6], 0x40);
  EXPECT_EQ(header.bytes[7], 0x80);
  EXPECT_EQ(header.bytes[8], 0x02);
  EXPECT_EQ(header.bytes[9], 0x01);
  EXPECT_EQ(header.Flags(), 0x80402010u);
  EXPECT_EQ(header.StructureNumber(), 0x0102);
}

TEST(Records, ShapeBytesAndTileFlagsReadTheirOffsets) {
  TileRecord tile;
  for (std::size_t k = 0; k < 32; ++k) tile.bytes[k] = static_cast<std::uint8_t>(0xC0 + k);
  for (std::size_t k = 0; k < 25; ++k) EXPECT_EQ(tile.ShapeByte(k), 0xC4 + k);
  EXPECT_EQ(tile.TileFlags(), 0xC0 + 29);
  EXPECT_THROW(tile.ShapeByte(25), std::out_of_range);
}

TEST(Records, ShapeIsStoredColumnByColumn) {
  EXPECT_EQ(TileRecord::ShapeByteIndex(0, 0), 0u);
  EXPECT_EQ(TileRecord::ShapeByteIndex(1, 0), 1u);
  EXPECT_EQ(TileRecord::ShapeByteIndex(0, 1), 5u);
  EXPECT_EQ(TileRecord::ShapeByteIndex(4, 4), 24u);
  TileRecord tile;
  tile.SetShapeByte(TileRecord::ShapeByteIndex(2, 3), 9);  // row 2, column 3
  EXPECT_EQ(tile.bytes[4 + 5 * 3 + 2], 9);
  // Byte 7 is column 1, row 2; and every byte comes back to itself.
  EXPECT_EQ(TileRecord::ShapeCellOfByte(7).row, 2u);
  EXPECT_EQ(TileRecord::ShapeCellOfByte(7).column, 1u);
  for (std::size_t k = 0; k < TileRecord::kShapeCells; ++k) {
    const TileRecord::ShapeCell cell = TileRecord::ShapeCellOfByte(k);
    EXPECT_EQ(TileRecord::ShapeByteIndex(cell.row, cell.column), k);
  }
}

struct CutCase {
  IntKind kind;
  std::uint32_t typed;
  std::int64_t read_back;
};

// Writing a number cuts it to the field's width; reading widens by the kind.
TEST(Records, PutCutsToTheFieldWidthAndGetWidensByKind) {
  const CutCase cases[] = {
      {IntKind::U8, 300, 44},      {IntKind::I8, 300, 44},
      {IntKind::U8, 255, 255},     {IntKind::I8, 255, -1},
      {IntKind::I8, 200, -56},     {IntKind::I16, 40000, -25536},
      {IntKind::I16, 65535, -1},   {IntKind::I8, 0xFFFFFF7Fu, 127},
      {IntKind::U16, 70000, 4464}, {IntKind::U32, 0xFFFFFFFFu, 0xFFFFFFFFll},
  };
  for (const auto& c : cases) {
    TileRecord tile;
    tile.Put(0, c.kind, c.typed);
    EXPECT_EQ(tile.Get(0, c.kind), c.read_back) << "typed " << c.typed;
  }
}

TEST(Records, MagicIsComparedByteForByte) {
  FileHeader header;
  EXPECT_FALSE(header.HasMagic());
  header.SetMagic();
  EXPECT_TRUE(header.HasMagic());
  for (std::size_t k = 0; k < 4; ++k) {
    FileHeader damaged = header;
    damaged.bytes[k] = 0;
    EXPECT_FALSE(damaged.HasMagic()) << "byte " << k;
  }
}

TEST(Flags, StructureFlagBitsAndLabels) {
  StructureFlags flags;
  flags.Set(31, true);
  EXPECT_EQ(flags.word(), 0x80000000u);
  flags.Set(0, true);
  flags.Set(31, false);
  EXPECT_EQ(flags.word(), 1u);
  EXPECT_TRUE(flags.Test(0));
  EXPECT_THROW(flags.Set(32, true), std::out_of_range);
  EXPECT_EQ(StructureFlags::Label(19), "Door");
  EXPECT_EQ(StructureFlags::Label(31), "Person");
  EXPECT_EQ(StructureFlags::BitOf("Wall and Window"), 17u);
  EXPECT_FALSE(StructureFlags::BitOf("door").has_value());
}

TEST(Flags, TileFlagsLeaveTheOtherBitsAlone) {
  TileFlags flags(0xF0);
  flags.Set(TileFlags::kPassable, true);
  EXPECT_EQ(flags.word(), 0xF2);
  TileFlags both(0x03);
  both.Set(TileFlags::kOnRoof, false);
  EXPECT_EQ(both.word(), 0x02);
  EXPECT_THROW(both.Test(8), std::out_of_range);
  EXPECT_EQ(TileFlags::Label(0), "Tile on roof");
  EXPECT_EQ(TileFlags::Label(1), "Tile passable");
}

}  // namespace
}  // namespace brx

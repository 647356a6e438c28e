#include "model/structure_set.h"

#include <gtest/gtest.h>

#include "tests/support/documents.h"

namespace brx {
namespace {

using testing::PatternDocument;
using testing::PatternHeader;
using testing::PatternTile;

TEST(StructureSet, EmptyDocumentRefusesEveryIndex) {
  StructureSet set;
  EXPECT_EQ(set.StructureCount(), 0u);
  EXPECT_THROW(set.Header(0), IndexOutOfRange);
  EXPECT_THROW(set.TileCount(0), IndexOutOfRange);
  EXPECT_THROW(set.AppendTile(0, TileRecord{}), IndexOutOfRange);
  EXPECT_THROW(set.SetHeader(0, StructureHeader{}), IndexOutOfRange);
  EXPECT_THROW(set.Tile(0, 0), IndexOutOfRange);
  EXPECT_EQ(set.StructureCount(), 0u);
}

TEST(StructureSet, OutOfRangeIsAStandardOutOfRange) {
  StructureSet set;
  EXPECT_THROW(set.Header(3), std::out_of_range);
}

TEST(StructureSet, AppendReturnsTheNewIndex) {
  StructureSet set = PatternDocument({2, 0, 1});
  EXPECT_EQ(set.AppendStructure(StructureEntry{}), 3u);
  EXPECT_EQ(set.TileCount(3), 0u);
  EXPECT_EQ(set.AppendTile(0, TileRecord{}), 2u);
}

TEST(StructureSet, AppendTileLeavesTheHeaderAlone) {
  StructureSet set = PatternDocument({1});
  const StructureHeader before = set.Header(0);
  set.AppendTile(0, PatternTile(9));
  EXPECT_EQ(set.Header(0), before);
  EXPECT_EQ(set.TileCount(0), 2u);
}

TEST(StructureSet, SetHeaderReplacesAllSixteenBytes) {
  StructureSet set = PatternDocument({0});
  const StructureHeader header = PatternHeader(77);
  set.SetHeader(0, header);
  EXPECT_EQ(set.Header(0).bytes, header.bytes);
}

TEST(StructureSet, SetTileNeedsAnExistingTile) {
  StructureSet set = PatternDocument({1, 2});
  const TileRecord tile = PatternTile(50);
  set.SetTile(1, 1, tile);
  EXPECT_EQ(set.Tile(1, 1), tile);
  const StructureSet before = set;
  EXPECT_THROW(set.SetTile(1, 2, tile), IndexOutOfRange);
  EXPECT_THROW(set.SetTile(2, 0, tile), IndexOutOfRange);
  EXPECT_TRUE(set == before);
}

TEST(StructureSet, EntriesAreValues) {
  StructureSet set = PatternDocument({2});
  StructureEntry copy = set.Entry(0);
  copy.tiles[0] = PatternTile(99);
  EXPECT_NE(set.Tile(0, 0), copy.tiles[0]);
  set.AppendStructure(copy);
  copy.tiles[1] = PatternTile(98);
  EXPECT_NE(set.Tile(1, 1), copy.tiles[1]);
}

TEST(StructureSet, EqualityComparesEveryRecordByte) {
  const StructureSet base = PatternDocument({2, 1});
  EXPECT_TRUE(base == PatternDocument({2, 1}));
  EXPECT_FALSE(base == PatternDocument({2}));
  EXPECT_FALSE(base == PatternDocument({2, 1, 0}));
  EXPECT_FALSE(base == PatternDocument({2, 2}));

  StructureSet header_differs = base;
  StructureHeader header = header_differs.Header(1);
  header.bytes[StructureHeader::kSize - 1] ^= 1;
  header_differs.SetHeader(1, header);
  EXPECT_FALSE(base == header_differs);

  StructureSet tile_differs = base;
  TileRecord tile = tile_differs.Tile(0, 1);
  tile.bytes[TileRecord::kSize - 1] ^= 0x80;
  tile_differs.SetTile(0, 1, tile);
  EXPECT_FALSE(base == tile_differs);
}

TEST(StructureSet, ClearInvalidatesEveryIndex) {
  StructureSet set = PatternDocument({1, 1});
  set.Clear();
  EXPECT_EQ(set.StructureCount(), 0u);
  EXPECT_THROW(set.Header(0), IndexOutOfRange);
  set.Clear();
  EXPECT_EQ(set.StructureCount(), 0u);
}

}  // namespace
}  // namespace brx

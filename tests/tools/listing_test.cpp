// The dump listing, compared whole with what a person should see.
#include "tools/brxtool/listing.h"

#include <gtest/gtest.h>

#include <sstream>

#include "model/structure_data.h"
#include "tests/tools/tool_test_support.h"
#include "tools/brxtool/json_document.h"

namespace brx::tool {
namespace {

TEST(Listing, ShowsEveryFieldUnderItsLabel) {
  StructureSet set;
  std::string error;
  ASSERT_TRUE(DocumentFromJsonText(testing::SampleJsonText(), set, error)) << error;
  // The header as it stands in the file, odd copies included.
  FileHeader header = MakeFileHeader(2, 2);
  header.SetNumberOfStructuresCopy(7);
  header.SetFormatByte(0);

  std::ostringstream out;
  WriteListing(header, set, out);
  EXPECT_EQ(out.str(), R"(File header
  NumberOfStructures: 2
  NumberOfStructuresCopy: 7
  DataSize: 96
  FormatByte: 0

Structure 0
  StructureNumber: 0
  Armour (0-255): 10
  HitPoints (0-255): 20
  Density (0-255): 30
  Flags: 0x80080801 (BaseTile, Wire Fence, Door, Person)
  WallOrientation: 1
  DestructionPartner(>0 = debris number (bDP - 1), <0 = partner graphic ): -2
  PartnerDelta(// opened/closed version, etc... 0 for unused): 3
  ZtileOffsetX: -1
  ZTileOffsetY: 127
  Reserved: 4
  NumberOfTiles: 2
  Tile 0
    sPosRelToBase "single-axis": -32768
    bXPosRelToBase: -128
    bYPosRelToBase: 127
    Shape:
        1   2   3   4   5
        6   7   8   9  10
       11  12  13  14  15
       16  17  18  19  20
       21  22  23  24 255
    TileFlags: 0xF3 (Tile on roof, Tile passable)
    ubVehicleHitLocation: 9
    Reserved: 7
  Tile 1
    sPosRelToBase "single-axis": 32767
    bXPosRelToBase: 0
    bYPosRelToBase: -1
    Shape:
        0   0   0   0   0
        0   1   1   1   0
        0   1   1   1   0
        0   1   1   1   0
        0   0   0   0   0
    TileFlags: 0x00
    ubVehicleHitLocation: 255
    Reserved: 0

Structure 1
  StructureNumber: 1
  Armour (0-255): 0
  HitPoints (0-255): 0
  Density (0-255): 0
  Flags: 0x00000000
  WallOrientation: 0
  DestructionPartner(>0 = debris number (bDP - 1), <0 = partner graphic ): 0
  PartnerDelta(// opened/closed version, etc... 0 for unused): 0
  ZtileOffsetX: 0
  ZTileOffsetY: 0
  Reserved: 0
  NumberOfTiles: 0
)");
}

TEST(Listing, TileFlagsShowOnlyTheLabelsOfTheirOwnBits) {
  struct Case {
    int flags;
    const char* shown;
  };
  const Case cases[] = {
      {0x01, "TileFlags: 0x01 (Tile on roof)"},
      {0x02, "TileFlags: 0x02 (Tile passable)"},
      {0xFC, "TileFlags: 0xFC\n"},
  };
  for (const Case& c : cases) {
    TileRecord tile;
    tile.SetTileFlags(static_cast<std::uint8_t>(c.flags));
    StructureSet set;
    set.AppendStructure(StructureEntry{{tile}, StructureHeader{}});
    std::ostringstream out;
    WriteListing(MakeFileHeader(1, 1), set, out);
    EXPECT_NE(out.str().find(c.shown), std::string::npos) << out.str();
  }
}

}  // namespace
}  // namespace brx::tool

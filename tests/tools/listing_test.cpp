// The dump listing, compared whole with what a person should see.
#include "tools/documents/listing.h"

#include <gtest/gtest.h>

#include <sstream>

#include "model/fields.h"
#include "model/structure_data.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/tool_test_support.h"

namespace brx::tool {
namespace {

TEST(Listing, ShowsEveryFieldUnderItsLabel) {
  // The committed listing is also what the real program, native or under
  // Wine, must print byte for byte.
  const StructureSet set = testing::Parsed(testing::Serialized(testing::SampleDocument()));
  std::ostringstream out;
  WriteListing(MakeFileHeader(2, 2), set, out);
  EXPECT_EQ(out.str(), testing::Text(testing::ReadBytes(testing::SampleListingPath())));
}

TEST(Listing, TheFileHeaderIsShownAsItStands) {
  FileHeader header = MakeFileHeader(2, 2);
  header.SetNumberOfStructuresCopy(7);
  header.SetFormatByte(0);
  std::ostringstream out;
  WriteListing(header, testing::SampleDocument(), out);
  EXPECT_EQ(out.str().substr(0, out.str().find("\n\n")),
            "File header\n"
            "  NumberOfStructures: 2\n"
            "  NumberOfStructuresCopy: 7\n"
            "  DataSize: 96\n"
            "  FormatByte: 0");
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
    fields::kTileFlags.Put(tile, static_cast<std::uint8_t>(c.flags));
    StructureSet set;
    set.AppendStructure(StructureEntry{{tile}, StructureHeader{}});
    std::ostringstream out;
    WriteListing(MakeFileHeader(1, 1), set, out);
    EXPECT_NE(out.str().find(c.shown), std::string::npos) << out.str();
  }
}

}  // namespace
}  // namespace brx::tool

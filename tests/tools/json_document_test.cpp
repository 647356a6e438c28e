// The conversion between documents and JSON: the layout, the encoding of
// every field, the round trips, and each class of error with its JSON path.
#include "tools/brxtool/json_document.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/structure_data.h"
#include "tests/support/documents.h"
#include "tests/tools/tool_test_support.h"
#include "tools/brxtool/json_text.h"

namespace brx::tool {
namespace {

using testing::Bytes;
using testing::Parsed;
using testing::PatternDocument;
using testing::SampleJsonText;
using testing::Serialized;

std::string Canonical(const StructureSet& set) {
  return FormatJson(DocumentToJson(set));
}

StructureSet FromText(const std::string& text) {
  StructureSet set;
  std::string error;
  EXPECT_TRUE(DocumentFromJsonText(text, set, error)) << error;
  return set;
}

TEST(JsonDocument, SampleBuildsTheExpectedBytes) {
  const std::vector<std::uint8_t> bytes = Serialized(FromText(SampleJsonText()));
  ASSERT_EQ(bytes.size(), 16u + 16 + 2 * 32 + 16);
  const std::vector<std::uint8_t> header_and_first_tile(bytes.begin() + 16, bytes.begin() + 64);
  EXPECT_EQ(header_and_first_tile,
            Bytes({10, 20, 30, 2, 0x01, 0x08, 0x08, 0x80, 0, 0, 1, 0xFE, 3, 0xFF, 127, 4,
                   // tile 0: sPosRelToBase -32768, -128, 127, then the shape column by column
                   0x00, 0x80, 0x80, 0x7F, 1, 6, 11, 16, 21, 2, 7, 12, 17, 22, 3, 8, 13, 18, 23, 4,
                   9, 14, 19, 24, 5, 10, 15, 20, 255, 0xF3, 9, 7}));
  // The second structure: zero but for its position in StructureNumber.
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 96, bytes.end()),
            Bytes({0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(JsonDocument, SampleIsCanonical) {
  EXPECT_EQ(Canonical(Parsed(Serialized(FromText(SampleJsonText())))), SampleJsonText());
}

TEST(JsonDocument, EmptyContainersStayOnOneLine) {
  StructureSet set;
  EXPECT_EQ(Canonical(set), "{\n  \"structures\": []\n}\n");
}

TEST(JsonDocument, ShapeRowsAreTheEditorsRows) {
  TileRecord tile;
  for (std::size_t k = 0; k < TileRecord::kShapeCells; ++k)
    tile.SetShapeByte(k, static_cast<std::uint8_t>(k));
  StructureSet set;
  set.AppendStructure(StructureEntry{{tile}, StructureHeader{}});
  const Json shape = DocumentToJson(set)["structures"][0]["Tiles"][0]["Shape"];
  for (std::size_t row = 0; row < 5; ++row) {
    for (std::size_t column = 0; column < 5; ++column)
      EXPECT_EQ(shape[row][column], 5 * column + row) << row << "," << column;
  }
}

TEST(JsonDocument, FlagsAreTheLabelsOfTheSetBitsInBitOrder) {
  StructureHeader header;
  header.SetFlags(0x80000801u);
  StructureSet set;
  set.AppendStructure(StructureEntry{{}, header});
  EXPECT_EQ(DocumentToJson(set)["structures"][0]["Flags"],
            Json::parse(R"(["BaseTile", "Wire Fence", "Person"])"));

  header.SetFlags(0xFFFFFFFFu);
  set.SetHeader(0, header);
  EXPECT_EQ(DocumentToJson(set)["structures"][0]["Flags"].size(), 32u);
}

// A valid document of four structures, the last with one tile, to spoil one
// thing at a time.
Json ValidDocument() {
  return DocumentToJson(Parsed(Serialized(PatternDocument({0, 2, 0, 1}))));
}

Json& Structure(Json& json, std::size_t i) {
  return json["structures"][i];
}
Json& Tile(Json& json, std::size_t i, std::size_t j) {
  return Structure(json, i)["Tiles"][j];
}

TEST(JsonDocument, LabelsMayComeInAnyOrder) {
  Json json = ValidDocument();
  Structure(json, 0)["Flags"] = Json::parse(R"(["Person", "BaseTile"])");
  StructureSet set;
  std::string error;
  ASSERT_TRUE(DocumentFromJson(json, set, error)) << error;
  EXPECT_EQ(set.Header(0).Flags(), 0x80000001u);
}

TEST(JsonDocument, StructureNumberAndReservedDefaultToZero) {
  Json json = ValidDocument();
  Structure(json, 3).erase("StructureNumber");
  Structure(json, 3).erase("Reserved");
  Tile(json, 3, 0).erase("Reserved");
  StructureSet set;
  std::string error;
  ASSERT_TRUE(DocumentFromJson(json, set, error)) << error;
  const StructureSet pattern = Parsed(Serialized(PatternDocument({0, 2, 0, 1})));

  StructureHeader expected_header = pattern.Header(3);
  expected_header.SetStructureNumber(0);
  expected_header.SetReserved(0);
  expected_header.SetNumberOfTiles(set.Header(3).NumberOfTiles());
  EXPECT_EQ(set.Header(3), expected_header);
  TileRecord expected_tile = pattern.Tile(3, 0);
  expected_tile.SetReserved(0);
  EXPECT_EQ(set.Tile(3, 0), expected_tile);
}

TEST(JsonDocument, FieldExtremesAreAccepted) {
  struct Case {
    std::function<void(Json&)> set_value;
    std::size_t byte;  // offset in the file of the field's first byte
    std::vector<std::uint8_t> expected;
  };
  // Structure 3 starts at 16 + 3 * 16 + 2 * 32 = 128; its tile at 144.
  const Case cases[] = {
      {[](Json& j) { Structure(j, 3)["Armour"] = 255; }, 128, {255}},
      {[](Json& j) { Structure(j, 3)["Armour"] = 0; }, 128, {0}},
      {[](Json& j) { Structure(j, 3)["DestructionPartner"] = -128; }, 139, {0x80}},
      {[](Json& j) { Structure(j, 3)["DestructionPartner"] = 127; }, 139, {0x7F}},
      {[](Json& j) { Structure(j, 3)["ZTileOffsetY"] = -1; }, 142, {0xFF}},
      {[](Json& j) { Tile(j, 3, 0)["sPosRelToBase"] = -32768; }, 144, {0x00, 0x80}},
      {[](Json& j) { Tile(j, 3, 0)["sPosRelToBase"] = 32767; }, 144, {0xFF, 0x7F}},
      {[](Json& j) { Tile(j, 3, 0)["sPosRelToBase"] = -1; }, 144, {0xFF, 0xFF}},
      {[](Json& j) { Tile(j, 3, 0)["bXPosRelToBase"] = -128; }, 146, {0x80}},
      {[](Json& j) { Tile(j, 3, 0)["Shape"][4][4] = 255; }, 148 + 24, {255}},
      {[](Json& j) { Tile(j, 3, 0)["Shape"][1][0] = 77; }, 148 + 1, {77}},
      {[](Json& j) { Tile(j, 3, 0)["TileFlags"] = 0xFC; }, 173, {0xFC}},
  };
  for (const Case& c : cases) {
    Json json = ValidDocument();
    c.set_value(json);
    StructureSet set;
    std::string error;
    ASSERT_TRUE(DocumentFromJson(json, set, error)) << error;
    const std::vector<std::uint8_t> bytes = Serialized(set);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + c.byte,
                                        bytes.begin() + c.byte + c.expected.size()),
              c.expected)
        << "at " << c.byte;
  }
  // StructureNumber takes any 16-bit value, though the writer puts the position there.
  Json json = ValidDocument();
  Structure(json, 1)["StructureNumber"] = 65535;
  StructureSet set;
  std::string error;
  ASSERT_TRUE(DocumentFromJson(json, set, error)) << error;
  EXPECT_EQ(set.Header(1).StructureNumber(), 65535);
}

TEST(JsonDocument, EachErrorNamesItsPath) {
  struct Case {
    std::function<void(Json&)> spoil;
    std::string message;
  };
  const Case cases[] = {
      // Values out of range: nothing is cut to fit.
      {[](Json& j) { Tile(j, 3, 0)["Shape"][2][4] = 300; },
       "structures[3].Tiles[0].Shape[2][4]: 300 is outside 0..255"},
      {[](Json& j) { Tile(j, 3, 0)["Shape"][0][0] = -1; },
       "structures[3].Tiles[0].Shape[0][0]: -1 is outside 0..255"},
      {[](Json& j) { Structure(j, 0)["Armour"] = 256; },
       "structures[0].Armour: 256 is outside 0..255"},
      {[](Json& j) { Structure(j, 1)["DestructionPartner"] = -129; },
       "structures[1].DestructionPartner: -129 is outside -128..127"},
      {[](Json& j) { Structure(j, 1)["PartnerDelta"] = 128; },
       "structures[1].PartnerDelta: 128 is outside -128..127"},
      {[](Json& j) { Tile(j, 3, 0)["sPosRelToBase"] = -32769; },
       "structures[3].Tiles[0].sPosRelToBase: -32769 is outside -32768..32767"},
      {[](Json& j) { Tile(j, 3, 0)["sPosRelToBase"] = 32768; },
       "structures[3].Tiles[0].sPosRelToBase: 32768 is outside -32768..32767"},
      {[](Json& j) { Structure(j, 2)["StructureNumber"] = 65536; },
       "structures[2].StructureNumber: 65536 is outside 0..65535"},
      {[](Json& j) { Structure(j, 2)["Reserved"] = -1; },
       "structures[2].Reserved: -1 is outside 0..255"},
      {[](Json& j) { Structure(j, 0)["Density"] = 18446744073709551615u; },
       "structures[0].Density: 18446744073709551615 is outside 0..255"},
      {[](Json& j) { Tile(j, 3, 0)["TileFlags"] = 256; },
       "structures[3].Tiles[0].TileFlags: 256 is outside 0..255"},
      // Values of the wrong type.
      {[](Json& j) { Structure(j, 0)["Armour"] = 1.5; },
       "structures[0].Armour: 1.5 is not an integer"},
      {[](Json& j) { Structure(j, 0)["Armour"] = "10"; },
       "structures[0].Armour: expected an integer, found a string"},
      {[](Json& j) { Structure(j, 0)["Armour"] = true; },
       "structures[0].Armour: expected an integer, found a boolean"},
      {[](Json& j) { Tile(j, 3, 0)["Reserved"] = nullptr; },
       "structures[3].Tiles[0].Reserved: expected an integer, found null"},
      {[](Json& j) { j = Json::array(); }, "top level: expected an object, found an array"},
      {[](Json& j) { j["structures"] = Json::object(); },
       "structures: expected an array of structures, found an object"},
      {[](Json& j) { Structure(j, 1) = Json::array(); },
       "structures[1]: expected an object, found an array"},
      {[](Json& j) { Structure(j, 1)["Tiles"] = 2; },
       "structures[1].Tiles: expected an array of tiles, found a number"},
      {[](Json& j) { Tile(j, 3, 0) = 0; },
       "structures[3].Tiles[0]: expected an object, found a number"},
      // Unknown and missing keys.
      {[](Json& j) { j["version"] = 1; }, "version: unknown key"},
      {[](Json& j) { Structure(j, 1)["Armor"] = 1; }, "structures[1].Armor: unknown key"},
      {[](Json& j) { Structure(j, 1)["NumberOfTiles"] = 2; },
       "structures[1].NumberOfTiles: unknown key"},
      {[](Json& j) { Tile(j, 3, 0)["Colour"] = 1; }, "structures[3].Tiles[0].Colour: unknown key"},
      {[](Json& j) { j.erase("structures"); }, "structures: missing key"},
      {[](Json& j) { Structure(j, 2).erase("HitPoints"); }, "structures[2].HitPoints: missing key"},
      {[](Json& j) { Structure(j, 2).erase("Flags"); }, "structures[2].Flags: missing key"},
      {[](Json& j) { Structure(j, 2).erase("Tiles"); }, "structures[2].Tiles: missing key"},
      {[](Json& j) { Tile(j, 3, 0).erase("Shape"); }, "structures[3].Tiles[0].Shape: missing key"},
      {[](Json& j) { Tile(j, 3, 0).erase("ubVehicleHitLocation"); },
       "structures[3].Tiles[0].ubVehicleHitLocation: missing key"},
      // Flags.
      {[](Json& j) { Structure(j, 0)["Flags"] = Json::parse(R"(["BaseTile", "Dor"])"); },
       "structures[0].Flags[1]: unknown flag \"Dor\""},
      {[](Json& j) { Structure(j, 0)["Flags"] = Json::parse(R"(["door"])"); },
       "structures[0].Flags[0]: unknown flag \"door\""},
      {[](Json& j) { Structure(j, 0)["Flags"] = Json::parse(R"(["Door", "Open", "Door"])"); },
       "structures[0].Flags[2]: \"Door\" is listed twice"},
      {[](Json& j) { Structure(j, 0)["Flags"] = Json::parse("[19]"); },
       "structures[0].Flags[0]: expected a flag label, found a number"},
      {[](Json& j) { Structure(j, 0)["Flags"] = 524288; },
       "structures[0].Flags: expected an array of flag labels, found a number"},
      // Shapes that are not 5 x 5.
      {[](Json& j) { Tile(j, 3, 0)["Shape"].erase(4); },
       "structures[3].Tiles[0].Shape: expected 5 rows, found 4"},
      {[](Json& j) { Tile(j, 3, 0)["Shape"].push_back(Json::parse("[0,0,0,0,0]")); },
       "structures[3].Tiles[0].Shape: expected 5 rows, found 6"},
      {[](Json& j) { Tile(j, 3, 0)["Shape"][1].push_back(0); },
       "structures[3].Tiles[0].Shape[1]: expected 5 values, found 6"},
      {[](Json& j) { Tile(j, 3, 0)["Shape"][4] = Json::array(); },
       "structures[3].Tiles[0].Shape[4]: expected 5 values, found 0"},
      {[](Json& j) { Tile(j, 3, 0)["Shape"][0] = 0; },
       "structures[3].Tiles[0].Shape[0]: expected an array, found a number"},
      {[](Json& j) { Tile(j, 3, 0)["Shape"] = "....."; },
       "structures[3].Tiles[0].Shape: expected an array, found a string"},
      // More tiles than a structure holds; the count is refused before any tile is read.
      {[](Json& j) { Structure(j, 1)["Tiles"] = Json(std::vector<Json>(256, Json::object())); },
       "structures[1].Tiles: 256 tiles; a structure holds at most 255"},
  };
  for (const Case& c : cases) {
    Json json = ValidDocument();
    c.spoil(json);
    StructureSet set = PatternDocument({1});
    std::string error;
    EXPECT_FALSE(DocumentFromJson(json, set, error)) << c.message;
    EXPECT_EQ(error, c.message);
    EXPECT_EQ(set.StructureCount(), 0u) << c.message;
  }
}

TEST(JsonDocument, TheCountLimitsAreExact) {
  Json json = ValidDocument();
  Structure(json, 1)["Tiles"] = Json(std::vector<Json>(255, Tile(json, 3, 0)));
  StructureSet set;
  std::string error;
  ASSERT_TRUE(DocumentFromJson(json, set, error)) << error;
  EXPECT_EQ(set.TileCount(1), 255u);

  // 65536 structures are refused on the count alone.
  json["structures"] = Json(std::vector<Json>(65536, Json::object()));
  EXPECT_FALSE(DocumentFromJson(json, set, error));
  EXPECT_EQ(error, "structures: 65536 structures; a file holds at most 65535");

  // 65535 are the most a file holds.
  Json valid = ValidDocument();
  json["structures"] = Json(std::vector<Json>(65535, Structure(valid, 0)));
  ASSERT_TRUE(DocumentFromJson(json, set, error)) << error;
  EXPECT_EQ(set.StructureCount(), 65535u);
}

TEST(JsonText, SyntaxErrorsNameLineAndColumn) {
  struct Case {
    std::string text;
    std::string message_start;
  };
  const Case cases[] = {
      {"", "line 1, column 1: "},
      {"{\n  \"structures\": [\n    {},\n  ]\n}\n", "line 4, column 3: "},
      {"{\"structures\": [}", "line 1, column 17: "},
      {"{\n\n  \"structures\" []}", "line 3, column 16: "},
      {"{\"structures\": []} x", "line 1, column 20: "},
  };
  for (const Case& c : cases) {
    StructureSet set;
    std::string error;
    EXPECT_FALSE(DocumentFromJsonText(c.text, set, error)) << c.text;
    EXPECT_EQ(error.rfind(c.message_start, 0), 0u) << c.text << " gave " << error;
    // The explanation follows, without the library's own prefix.
    EXPECT_GT(error.size(), c.message_start.size());
    EXPECT_EQ(error.find("json.exception"), std::string::npos) << error;
  }
}

TEST(JsonText, ARepeatedKeyIsRefusedWithItsPath) {
  const std::string cases[][2] = {
      {R"({"structures": [], "structures": []})", "structures"},
      {R"({"structures": [{}, {"Armour": 1, "Tiles": [[], {"Shape": 1}], "Armour": 2}]})",
       "structures[1].Armour"},
      {R"({"structures": [{}, {"Tiles": [[1, 2], {"Shape": 1, "Shape": 2}]}]})",
       "structures[1].Tiles[1].Shape"},
      // The first key repeated is the one named.
      {R"({"structures": [{"Density": 1, "Armour": 1, "Armour": 2, "Density": 2}]})",
       "structures[0].Armour"},
  };
  for (const auto& c : cases) {
    Json json;
    std::string error;
    EXPECT_FALSE(ParseJsonText(c[0], json, error)) << c[0];
    EXPECT_EQ(error, c[1] + ": the key appears more than once");
  }
}

TEST(JsonText, AByteOrderMarkIsAccepted) {
  // Windows editors often save UTF-8 with one.
  Json json;
  std::string error;
  EXPECT_TRUE(ParseJsonText("\xEF\xBB\xBF{\"structures\": []}", json, error)) << error;
}

TEST(JsonText, ANumberTooLargeForAnyTypeIsAnError) {
  StructureSet set;
  std::string error;
  EXPECT_FALSE(DocumentFromJsonText(R"({"structures": [1e400]})", set, error));
  EXPECT_NE(error.find("1e400"), std::string::npos) << error;
}

// For every file in the writer's form, JSON and back gives the same bytes;
// for every canonical JSON, a file and back gives the same text.
TEST(JsonRoundTrip, FilesAndTextsSurvive) {
  const std::vector<std::vector<std::size_t>> documents = {
      {}, {0}, {1}, {3, 0, 1}, {255}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 2, 3, 4, 5, 6}};
  for (const auto& tile_counts : documents) {
    const std::vector<std::uint8_t> file = Serialized(PatternDocument(tile_counts));
    const std::string text = Canonical(Parsed(file));
    const StructureSet built = FromText(text);
    EXPECT_EQ(Serialized(built), file) << tile_counts.size() << " structures";
    EXPECT_EQ(Canonical(Parsed(Serialized(built))), text) << tile_counts.size() << " structures";
  }
}

}  // namespace
}  // namespace brx::tool

// The conversion between documents and JSON: the layout, the encoding of
// every field, the round trips, and each class of error with its JSON path.
#include "tools/documents/json_document.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/fields.h"
#include "model/structure_data.h"
#include "tests/support/documents.h"
#include "tests/tools/text/chunked_source.h"
#include "tests/tools/tool_test_support.h"
#include "tools/text/json_string.h"

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

std::string Repeated(const std::string& text, std::size_t times) {
  std::string out;
  for (std::size_t k = 0; k < times; ++k) out += text;
  return out;
}

// Each problem as "PATH: message" on a line of its own.
std::string Described(const std::vector<text::JsonProblem>& problems) {
  std::string text;
  for (const text::JsonProblem& problem : problems)
    text += (text.empty() ? "" : "\n") + (problem.path.empty() ? "top level" : problem.path) +
            ": " + problem.message;
  return text;
}

// The document of a JSON value, read from the text FormatJson gives it.
bool FromJson(const Json& json, StructureSet& set, std::string& error) {
  std::vector<text::JsonProblem> problems;
  const bool read = DocumentFromJsonText(FormatJson(json), set, problems);
  error = Described(problems);
  return read;
}

StructureSet FromText(const std::string& text) {
  StructureSet set;
  std::vector<text::JsonProblem> problems;
  EXPECT_TRUE(DocumentFromJsonText(text, set, problems)) << Described(problems);
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

// Gives a key another name in its place, as a typing mistake would.
void Rename(Json& object, const std::string& from, const std::string& to) {
  Json renamed = Json::object();
  for (const auto& item : object.items())
    renamed[item.key() == from ? to : item.key()] = item.value();
  object = std::move(renamed);
}

TEST(JsonDocument, LabelsMayComeInAnyOrder) {
  Json json = ValidDocument();
  Structure(json, 0)["Flags"] = Json::parse(R"(["Person", "BaseTile"])");
  StructureSet set;
  std::string error;
  ASSERT_TRUE(FromJson(json, set, error)) << error;
  EXPECT_EQ(set.Header(0).Flags(), 0x80000001u);
}

TEST(JsonDocument, StructureNumberAndReservedDefaultToZero) {
  Json json = ValidDocument();
  Structure(json, 3).erase("StructureNumber");
  Structure(json, 3).erase("Reserved");
  Tile(json, 3, 0).erase("Reserved");
  StructureSet set;
  std::string error;
  ASSERT_TRUE(FromJson(json, set, error)) << error;
  const StructureSet pattern = Parsed(Serialized(PatternDocument({0, 2, 0, 1})));

  StructureHeader expected_header = pattern.Header(3);
  expected_header.SetStructureNumber(0);
  fields::kStructureReserved.Put(expected_header, 0);
  expected_header.SetNumberOfTiles(set.Header(3).NumberOfTiles());
  EXPECT_EQ(set.Header(3), expected_header);
  TileRecord expected_tile = pattern.Tile(3, 0);
  fields::kTileReserved.Put(expected_tile, 0);
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
    ASSERT_TRUE(FromJson(json, set, error)) << error;
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
  ASSERT_TRUE(FromJson(json, set, error)) << error;
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
      {[](Json& j) { j["version"] = 1; }, "top level: unknown key \"version\""},
      {[](Json& j) {
         j["Structures"] = j["structures"];
         j.erase("structures");
       },
       "top level: unknown key \"Structures\"; did you mean \"structures\"?"},
      {[](Json& j) { Structure(j, 1)["Armor"] = 1; },
       "structures[1]: unknown key \"Armor\"; did you mean \"Armour\"?"},
      {[](Json& j) { Structure(j, 1)["NumberOfTiles"] = 2; },
       "structures[1]: unknown key \"NumberOfTiles\""},
      {[](Json& j) { Tile(j, 3, 0)["Colour"] = 1; },
       "structures[3].Tiles[0]: unknown key \"Colour\""},
      // A key that differs in case or by a letter is named as the likely one, and not
      // reported missing as well.
      {[](Json& j) { Rename(Structure(j, 2), "HitPoints", "Hitpoints"); },
       "structures[2]: unknown key \"Hitpoints\"; did you mean \"HitPoints\"?"},
      {[](Json& j) { Rename(Structure(j, 2), "Density", "Densty"); },
       "structures[2]: unknown key \"Densty\"; did you mean \"Density\"?"},
      {[](Json& j) { Rename(Tile(j, 3, 0), "TileFlags", "TileFlag"); },
       "structures[3].Tiles[0]: unknown key \"TileFlag\"; did you mean \"TileFlags\"?"},
      {[](Json& j) { Rename(Tile(j, 3, 0), "bXPosRelToBase", "bXposreltobase"); },
       "structures[3].Tiles[0]: unknown key \"bXposreltobase\"; did you mean \"bXPosRelToBase\"?"},
      {[](Json& j) { j.erase("structures"); }, "top level: missing key \"structures\""},
      {[](Json& j) { Structure(j, 2).erase("HitPoints"); },
       "structures[2]: missing key \"HitPoints\""},
      {[](Json& j) { Structure(j, 2).erase("Flags"); }, "structures[2]: missing key \"Flags\""},
      {[](Json& j) { Structure(j, 2).erase("Tiles"); }, "structures[2]: missing key \"Tiles\""},
      {[](Json& j) { Tile(j, 3, 0).erase("Shape"); },
       "structures[3].Tiles[0]: missing key \"Shape\""},
      {[](Json& j) { Tile(j, 3, 0).erase("ubVehicleHitLocation"); },
       "structures[3].Tiles[0]: missing key \"ubVehicleHitLocation\""},
      // A key too far from any to guess at is unknown, and the one meant is missing.
      {[](Json& j) { Rename(Structure(j, 2), "WallOrientation", "Orientation"); },
       "structures[2]: missing key \"WallOrientation\"\n"
       "structures[2]: unknown key \"Orientation\""},
      // Flags.
      {[](Json& j) { Structure(j, 0)["Flags"] = Json::parse(R"(["BaseTile", "Dor"])"); },
       "structures[0].Flags[1]: unknown flag \"Dor\"; did you mean \"Door\"?"},
      // A value quoted in a message is cut after 40 characters, not bytes.
      {[](Json& j) { Structure(j, 0)["Flags"] = Json::array({std::string(41, 'x')}); },
       "structures[0].Flags[0]: unknown flag \"" + std::string(40, 'x') + "\"..."},
      {[](Json& j) { Structure(j, 0)["Flags"] = Json::array({std::string(40, 'x')}); },
       "structures[0].Flags[0]: unknown flag \"" + std::string(40, 'x') + "\""},
      {[](Json& j) { Structure(j, 1)[Repeated("\xC3\xA9", 50)] = 0; },
       "structures[1]: unknown key \"" + Repeated("\xC3\xA9", 40) + "\"..."},
      {[](Json& j) { Structure(j, 0)["Flags"] = Json::parse(R"(["door"])"); },
       "structures[0].Flags[0]: unknown flag \"door\"; did you mean \"Door\"?"},
      {[](Json& j) {
         Structure(j, 0)["Flags"] = Json::parse(R"(["Wirefence", "Has item on tap"])");
       },
       "structures[0].Flags[0]: unknown flag \"Wirefence\"; did you mean \"Wire Fence\"?\n"
       "structures[0].Flags[1]: unknown flag \"Has item on tap\"; did you mean \"Has item on "
       "top\"?"},
      {[](Json& j) { Structure(j, 0)["Flags"] = Json::parse(R"(["Roof"])"); },
       "structures[0].Flags[0]: unknown flag \"Roof\""},
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
    EXPECT_FALSE(FromJson(json, set, error)) << c.message;
    EXPECT_EQ(error, c.message);
    EXPECT_EQ(set.StructureCount(), 0u) << c.message;
  }
}

TEST(JsonDocument, TheCountLimitsAreExact) {
  Json json = ValidDocument();
  Structure(json, 1)["Tiles"] = Json(std::vector<Json>(255, Tile(json, 3, 0)));
  StructureSet set;
  std::string error;
  ASSERT_TRUE(FromJson(json, set, error)) << error;
  EXPECT_EQ(set.TileCount(1), 255u);

  // 65536 structures are refused on the count alone.
  json["structures"] = Json(std::vector<Json>(65536, Json::object()));
  EXPECT_FALSE(FromJson(json, set, error));
  EXPECT_EQ(error, "structures: 65536 structures; a file holds at most 65535");

  // 65535 are the most a file holds.
  Json valid = ValidDocument();
  json["structures"] = Json(std::vector<Json>(65535, Structure(valid, 0)));
  ASSERT_TRUE(FromJson(json, set, error)) << error;
  EXPECT_EQ(set.StructureCount(), 65535u);
}

// Each problem as "LINE:COLUMN: PATH: message".
std::vector<std::string> Located(const std::string& text) {
  StructureSet set;
  std::vector<text::JsonProblem> problems;
  EXPECT_FALSE(DocumentFromJsonText(text, set, problems)) << text;
  EXPECT_EQ(set.StructureCount(), 0u);
  std::vector<std::string> lines;
  for (const text::JsonProblem& problem : problems) {
    lines.push_back(std::to_string(problem.at.line) + ":" + std::to_string(problem.at.column) +
                    ": " + Described({problem}));
  }
  return lines;
}

TEST(JsonText, SyntaxErrorsAreSaidInOurWordsWithLineAndColumn) {
  struct Case {
    std::string text;
    std::string problem;
  };
  const Case cases[] = {
      {"", "1:1: top level: the text holds no JSON"},
      {" \n ", "2:2: top level: the text holds no JSON"},
      // A comma after the last element or member, named where the comma is.
      {"{\n  \"structures\": [\n    {},\n  ]\n}\n",
       "3:7: structures: a comma after the last element; JSON allows none there"},
      {"{\"structures\": [], }",
       "1:18: top level: a comma after the last member; JSON allows none there"},
      {"{\"structures\": [] // none\n}", "1:19: top level: a comment; JSON has no comments"},
      {"/* the walls */ {}", "1:1: top level: a comment; JSON has no comments"},
      {"{\"structures\": [{\"Armour: 1}]}",
       "1:18: structures[0]: the string that starts here is not closed: a '\"' is missing"},
      {"{\"structures\": [{\"Armour\n\": 1}]}",
       "1:18: structures[0]: the string that starts here is not closed: a '\"' is missing"},
      {"[\"a\\", "1:2: [0]: the string that starts here is not closed: a '\"' is missing"},
      // Brackets left open or closed by the wrong one.
      {"{\"structures\": [\n  {}\n",
       "3:1: structures: the text ends inside the array opened at line 1, column 16: ']' is "
       "missing"},
      {"{\"structures\": [}",
       "1:17: structures: '}' does not close the array opened at line 1, column 16: ']' is "
       "missing"},
      {"{\"structures\": [{\"Armour\": 1]}",
       "1:29: structures[0]: ']' does not close the object opened at line 1, column 17: '}' is "
       "missing"},
      {"{\"a\": 1 ]",
       "1:9: top level: ']' does not close the object opened at line 1, column 1: "
       "'}' is missing"},
      {"{\"a\": 1",
       "1:8: top level: the text ends inside the object opened at line 1, column 1: "
       "'}' is missing"},
      {"{",
       "1:2: top level: the text ends inside the object opened at line 1, column 1: '}' is "
       "missing"},
      {"[1",
       "1:3: top level: the text ends inside the array opened at line 1, column 1: ']' is "
       "missing"},
      // Commas and colons left out.
      {"{\"structures\": [{\"Armour\": 1 \"HitPoints\": 2}]}",
       "1:30: structures[0]: a comma is missing before this key"},
      {"[1 2]", "1:4: top level: a comma is missing before this element"},
      {"[1,,2]", "1:4: [1]: a value is missing before this comma"},
      {"[,]", "1:2: [0]: a value is missing before this comma"},
      {"{\n\n  \"structures\" []}",
       "3:16: top level: expected ':' after the key \"structures\", found '['"},
      {"{\"a\": 1 x}", "1:9: top level: expected ',' or '}' after the value, found 'x'"},
      {"[1 :]", "1:4: top level: expected ',' or ']' after the element, found ':'"},
      {"{\"a\": }", "1:7: a: expected a value, found '}'"},
      {"{\"a\":", "1:6: a: the text ends where a value should be"},
      {"{1: 2}", "1:2: top level: expected a key in double quotes, found '1'"},
      // Habits from other languages.
      {"{'structures': []}", "1:2: top level: keys take double quotes (\"), not single quotes"},
      {"['a']", "1:2: [0]: strings take double quotes (\"), not single quotes"},
      {"{structures: []}", "1:2: top level: a key must be in double quotes"},
      {"{\"structures\": [True]}",
       "1:17: structures[0]: unknown word \"True\"; JSON knows true, false and null, and text "
       "goes in double quotes"},
      {"[NaN]",
       "1:2: [0]: unknown word \"NaN\"; JSON knows true, false and null, and text goes in "
       "double quotes"},
      {"[01]", "1:2: [0]: a number with a leading zero"},
      {"[-]", "1:2: [0]: a '-' without a number after it"},
      {"[+1]", "1:2: [0]: expected a value, found '+'"},
      {"[1.]", "1:2: [0]: a number without digits after its '.'"},
      {"[1e+]", "1:2: [0]: a number without digits in its exponent"},
      {"{\"structures\": []} x", "1:20: top level: text after the end of the JSON document: 'x'"},
      // Inside strings.
      {"[\"a\tb\"]",
       "1:4: [0]: the control character U+0009 inside a string; write it as an escape such as "
       "\\t"},
      {"[\"\\x\"]",
       "1:3: [0]: unknown escape \\x in a string; JSON knows \\\" \\\\ \\/ \\b \\f \\n \\r \\t "
       "and \\uXXXX"},
      {"[\"\\u12\"]", "1:3: [0]: \\u must be followed by four hexadecimal digits"},
      {"[\"\\uD800\\u12\"]", "1:3: [0]: \\u must be followed by four hexadecimal digits"},
      {"[\"\\uD800\"]",
       "1:3: [0]: an escape of half a UTF-16 surrogate pair, without its other half"},
      {"[\"\\uD800\\u0041\"]",
       "1:3: [0]: an escape of half a UTF-16 surrogate pair, without its other half"},
      {"[\"\\uDC00\"]",
       "1:3: [0]: an escape of half a UTF-16 surrogate pair, without its other half"},
      // Columns count characters, not bytes; a CR before a line break is no column.
      {"{\"\xC3\xA9\xE2\x82\xAC\": 1 x}",
       "1:10: top level: expected ',' or '}' after the value, found 'x'"},
      {"[\xC3\xA9]", "1:2: [0]: expected a value, found '\xC3\xA9'"},
      {"{\r\n\"a\" 1}", "2:5: top level: expected ':' after the key \"a\", found '1'"},
      {std::string("[\x01]", 3), "1:2: [0]: expected a value, found the control character U+0001"},
      // Each place a comment can stand, and a lone slash.
      {"{} // done", "1:4: top level: a comment; JSON has no comments"},
      {"{/* a */}", "1:2: top level: a comment; JSON has no comments"},
      {"{\"a\" //\n: 1}", "1:6: top level: a comment; JSON has no comments"},
      {"{\"a\": //\n1}", "1:7: a: a comment; JSON has no comments"},
      {"{\"a\": 1 //\n}", "1:9: top level: a comment; JSON has no comments"},
      {"{\"a\": 1, //\n}", "1:10: top level: a comment; JSON has no comments"},
      {"[//\n]", "1:2: top level: a comment; JSON has no comments"},
      {"[1 //\n]", "1:4: top level: a comment; JSON has no comments"},
      {"[1, //\n]", "1:5: top level: a comment; JSON has no comments"},
      {"[1 /]", "1:4: top level: expected ',' or ']' after the element, found '/'"},
      {"[1 /", "1:4: top level: expected ',' or ']' after the element, found '/'"},
      // Every kind of value after one without a comma between.
      {"[1 \"a\"]", "1:4: top level: a comma is missing before this element"},
      {"[1 {}]", "1:4: top level: a comma is missing before this element"},
      {"[1 []]", "1:4: top level: a comma is missing before this element"},
      {"[1 -1]", "1:4: top level: a comma is missing before this element"},
      {"[1 null]", "1:4: top level: a comma is missing before this element"},
      {"[1}",
       "1:3: top level: '}' does not close the array opened at line 1, column 1: ']' is "
       "missing"},
      {"{\"a\": 1, ]",
       "1:10: top level: ']' does not close the object opened at line 1, column "
       "1: '}' is missing"},
      {"{\"a\"", "1:5: top level: expected ':' after the key \"a\", found the end of the text"},
      // Every kind of whitespace, number and word, read past before the mistake.
      {"[\t\r\n 1E+2, -0.5e-1, 0, true, false, null, x]",
       "2:39: [6]: unknown word \"x\"; JSON knows true, false and null, and text goes in double "
       "quotes"},
      {"[\"\\u00g1\"]", "1:3: [0]: \\u must be followed by four hexadecimal digits"},
      {"[\"\\u00G1\"]", "1:3: [0]: \\u must be followed by four hexadecimal digits"},
      {"[\"\\uD800\\n\"]",
       "1:3: [0]: an escape of half a UTF-16 surrogate pair, without its other half"},
      {"[\"\\uD800\\uE000\"]",
       "1:3: [0]: an escape of half a UTF-16 surrogate pair, without its other half"},
      {"[\"\\uD800", "1:3: [0]: an escape of half a UTF-16 surrogate pair, without its other half"},
      {"[\"a\\\n\"]", "1:2: [0]: the string that starts here is not closed: a '\"' is missing"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Located(c.text), std::vector<std::string>{c.problem}) << c.text;
  }
}

TEST(JsonText, NestingIsLimited) {
  StructureSet set;
  std::vector<text::JsonProblem> problems;
  // Deep but within the limit: a syntax error at the bottom is still found.
  DocumentFromJsonText(std::string(100, '[') + "+", set, problems);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].message, "expected a value, found '+'");
  DocumentFromJsonText(std::string(101, '['), set, problems);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].message, "more than 100 levels of nesting");
  EXPECT_EQ(problems[0].at.column, 101u);
}

TEST(JsonText, EscapesAreDecoded) {
  // A label written with escapes is the label.
  const StructureSet set = FromText(
      R"({"structures": [{"Armour": 0, "HitPoints": 0, "Density": 0,
          "Flags": ["Wire\u0020Fence", "D\u006Fo\u0072", "\u0057all"],
          "WallOrientation": 0, "DestructionPartner": 0, "PartnerDelta": 0,
          "ZTileOffsetX": 0, "ZTileOffsetY": 0, "Tiles": []}]})");
  ASSERT_EQ(set.StructureCount(), 1u);
  EXPECT_EQ(set.Header(0).Flags(), (1u << 11) | (1u << 19) | (1u << 16));
  // Every other escape, characters of two, three and four bytes in UTF-8 (a
  // surrogate pair among them), in a key nobody knows.
  EXPECT_EQ(Located(R"({"\"\\\/\b\f\n\r\t\u00e9\u20AC\uE000\uD83D\uDE00": 1, "structures": []})"),
            std::vector<std::string>{
                "1:2: top level: unknown key "
                "\"\\\"\\\\/\\b\\f\\n\\r\\t\xC3\xA9\xE2\x82\xAC\xEE\x80\x80\xF0\x9F\x98\x80\""});
}

TEST(JsonText, ARepeatedKeyIsRefusedWhereItIsRepeated) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {R"({"structures": [], "structures": []})",
       {"1:20: structures: the key appears more than once"}},
      {R"([{"Shape": 1, "Shape": [], "Shape": 2}])",
       {"1:1: top level: expected an object, found an array",
        "1:15: [0].Shape: the key appears more than once",
        "1:28: [0].Shape: the key appears more than once"}},
      // The first value counts; reading goes on past the repeated key.
      {"{\"structures\": [{\"Armour\": 1, \"Armour\": 300,\n \"Armor\": 2}]}",
       {"1:17: structures[0]: missing key \"HitPoints\"",
        "1:17: structures[0]: missing key \"Density\"",
        "1:17: structures[0]: missing key \"Flags\"",
        "1:17: structures[0]: missing key \"WallOrientation\"",
        "1:17: structures[0]: missing key \"DestructionPartner\"",
        "1:17: structures[0]: missing key \"PartnerDelta\"",
        "1:17: structures[0]: missing key \"ZTileOffsetX\"",
        "1:17: structures[0]: missing key \"ZTileOffsetY\"",
        "1:17: structures[0]: missing key \"Tiles\"",
        "1:31: structures[0].Armour: the key appears more than once",
        "2:2: structures[0]: unknown key \"Armor\"; did you mean \"Armour\"?"}},
      // Mistakes found before a syntax error are kept.
      {R"({"structures": [], "structures": [}])",
       {"1:20: structures: the key appears more than once",
        "1:35: structures: '}' does not close the array opened at line 1, column 34: ']' is "
        "missing"}},
  };
  for (const auto& [text, problems] : cases) EXPECT_EQ(Located(text), problems) << text;
  // Past a few dozen keys an object's keys are looked up another way: a key
  // repeated from before and from after that point is refused as well.
  std::string many = "[{";
  for (int k = 0; k < 40; ++k) many += "\"k" + std::to_string(k) + "\": 0, ";
  const auto column = [&many](const std::string& key) {
    return std::to_string(many.rfind("\"" + key + "\"") + 1);
  };
  many += "\"k5\": 1, ";
  const std::string early = column("k5");
  many += "\"k36\": 1}]";
  // Told in the words of the first row, after the top level's own mistake.
  const std::string& first = cases[0].second[0];
  const std::string repeated = first.substr(first.find(": ", 5));
  const std::vector<std::string> told = Located(many);
  ASSERT_EQ(told.size(), 3u);
  EXPECT_EQ(told[1], "1:" + early + ": [0].k5" + repeated);
  EXPECT_EQ(told[2], "1:" + column("k36") + ": [0].k36" + repeated);
}

// What the writer puts in quotes, a JSON reader nobody here wrote reads as
// the text it was, every control character and quote included; bytes that
// are no UTF-8 read as U+FFFD each.
TEST(JsonText, WrittenStringsReadBackAsThemselves) {
  std::string every;
  for (int c = 1; c < 0x80; ++c) every += static_cast<char>(c);
  const std::pair<std::string, std::string> cases[] = {
      {every, every},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
      {"\xFF\xC3(\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD(\xEF\xBF\xBD"},
  };
  for (const auto& [text, read] : cases) {
    std::string written;
    text::AppendJsonString(text, written);
    EXPECT_EQ(Json::parse(written).get<std::string>(), read) << written;
  }
}

// A read that fails leaves no document, even where what came before it is a
// whole one: the rest of the file is unknown.
TEST(JsonText, AReadThatFailsLeavesNoDocument) {
  const std::string text = Canonical(PatternDocument({2, 1}));
  for (const std::size_t fails_at : {std::size_t{0}, text.size() / 2, text.size() - 1}) {
    testing::ChunkedSource source(text, 4096, fails_at);
    text::TextDecoder decoder(source);
    decoder.Start();
    StructureSet set = PatternDocument({1});
    std::vector<text::JsonProblem> problems;
    EXPECT_FALSE(ReadDocumentJson(decoder, set, problems)) << fails_at;
    EXPECT_EQ(set.StructureCount(), 0u) << fails_at;
    EXPECT_EQ(decoder.read_error(), testing::ChunkedSource::kError) << fails_at;
  }
}

TEST(JsonText, EveryMistakeIsReportedInTheOrderOfTheText) {
  // A missing key is named where its object starts, though found at its end.
  const std::string text = R"({"structures": [
  {"Density": 300, "Armour": -1, "Armor": 2, "HitPoints": 0, "Flags": ["Dor", "Door"],
   "WallOrientation": 0, "DestructionPartner": 0, "PartnerDelta": 0, "ZTileOffsetY": 0,
   "Tiles": []},
  {"Armour": 0, "HitPoints": 0, "Density": 0, "Flags": [], "WallOrientation": 0,
   "DestructionPartner": 0, "PartnerDelta": 0, "ZTileOffsetX": 0, "ZTileOffsetY": 0,
   "Tiles": [{"sPosRelToBase": 0, "bXPosRelToBase": 0, "bYPosRelToBase": 0, "TileFlags": 0.5,
              "ubVehicleHitLocation": 0, "Shape": [[0, 0], [], [], [], [0, 0, 0, 0, 256]]}]}
]})";
  EXPECT_EQ(Located(text),
            (std::vector<std::string>{
                "2:3: structures[0]: missing key \"ZTileOffsetX\"",
                "2:15: structures[0].Density: 300 is outside 0..255",
                "2:30: structures[0].Armour: -1 is outside 0..255",
                "2:34: structures[0]: unknown key \"Armor\"; did you mean \"Armour\"?",
                "2:72: structures[0].Flags[0]: unknown flag \"Dor\"; did you mean \"Door\"?",
                "7:90: structures[1].Tiles[0].TileFlags: 0.5 is not an integer",
                "8:52: structures[1].Tiles[0].Shape[0]: expected 5 values, found 2",
                "8:60: structures[1].Tiles[0].Shape[1]: expected 5 values, found 0",
                "8:64: structures[1].Tiles[0].Shape[2]: expected 5 values, found 0",
                "8:68: structures[1].Tiles[0].Shape[3]: expected 5 values, found 0",
                "8:85: structures[1].Tiles[0].Shape[4][4]: 256 is outside 0..255",
            }));
}

// Structures copied from the valid document, each with `key` set to `value`.
std::string WithMistakes(std::size_t structures, const std::string& key, const Json& value) {
  Json json = ValidDocument();
  Json& list = json["structures"];
  list = Json(std::vector<Json>(structures, list[3]));
  for (Json& structure : list) structure[key] = value;
  return FormatJson(json);
}

TEST(JsonText, ReadingStopsSoonAfterFiftyMistakes) {
  StructureSet set;
  std::vector<text::JsonProblem> problems;
  // One mistake in each of 80 structures: the 51st ends the reading.
  EXPECT_FALSE(DocumentFromJsonText(WithMistakes(80, "Armour", 256), set, problems));
  ASSERT_EQ(problems.size(), kMostProblemsShown + 1);
  EXPECT_EQ(problems.back().path, "structures[50].Armour");
  // Every mistake of the structure reached is found, so that the first 50 in
  // the text are all there, and one more to say that more follow.
  std::string text = WithMistakes(3, "Armour", 256);
  Json json = Json::parse(text);
  Structure(json, 1)["Tiles"] = Json(std::vector<Json>(60, Tile(json, 1, 0)));
  for (Json& tile : Structure(json, 1)["Tiles"]) tile["TileFlags"] = -1;
  EXPECT_FALSE(DocumentFromJsonText(FormatJson(json), set, problems));
  ASSERT_EQ(problems.size(), kMostProblemsShown + 1);
  EXPECT_EQ(problems[0].path, "structures[0].Armour");
  EXPECT_EQ(problems[1].path, "structures[1].Armour");
  EXPECT_EQ(problems[50].path, "structures[1].Tiles[48].TileFlags");
}

// Within one structure there is no stop: a million mistakes in it are not
// all kept, but every one that can be among the first told is.
TEST(JsonText, MistakesPastThoseToldAreNotKept) {
  const std::size_t limit = 6;
  text::ToldProblems told(limit);
  for (std::size_t line = 10; line < 10000; ++line) told.Add({{line, 1}, "", "later"});
  EXPECT_EQ(told.items().size(), limit);
  // As a key missing from an object is named at its start.
  told.Add({{3, 1}, "", "earlier"});
  EXPECT_EQ(told.items().size(), limit + 1);
  EXPECT_EQ(told.items().back().message, "earlier");
  // Taken, they start again for another text, from its first line.
  EXPECT_EQ(told.Take().size(), limit + 1);
  for (std::size_t line = 1; line <= limit + 1; ++line) told.Add({{line, 1}, "", "next text"});
  EXPECT_EQ(told.items().size(), limit);
  // The whole reading: 2,000 unknown labels in one structure missing a key.
  Json json = ValidDocument();
  Json& structure = Structure(json, 0);
  structure.erase("Armour");
  structure["Flags"] = Json(std::vector<std::string>(2000, "Dor"));
  StructureSet set;
  std::vector<text::JsonProblem> problems;
  EXPECT_FALSE(DocumentFromJsonText(FormatJson(json), set, problems));
  ASSERT_EQ(problems.size(), kMostProblemsShown + 1);
  EXPECT_EQ(problems[0].path, "structures[0]");
}

TEST(JsonText, ANumberTooLargeForAnyTypeIsAnError) {
  // A 100,000-digit number is named by its first 40 digits.
  {
    Json json = ValidDocument();
    Structure(json, 0)["Armour"] = 0;
    std::string text = FormatJson(json);
    text.replace(text.find("\"Armour\": 0"), 11, "\"Armour\": " + std::string(100000, '9'));
    StructureSet set;
    std::vector<text::JsonProblem> problems;
    EXPECT_FALSE(DocumentFromJsonText(text, set, problems));
    EXPECT_EQ(Described(problems),
              "structures[0].Armour: " + std::string(40, '9') + "... is outside 0..255");
  }
  EXPECT_EQ(Located(R"({"structures": [1e400]})"),
            std::vector<std::string>{"1:17: structures[0]: expected an object, found a number"});
  Json json = ValidDocument();
  Structure(json, 0)["Armour"] = 0;
  std::string text = FormatJson(json);
  text.replace(text.find("\"Armour\": 0"), 11, "\"Armour\": 1e400");
  StructureSet set;
  std::vector<text::JsonProblem> problems;
  EXPECT_FALSE(DocumentFromJsonText(text, set, problems));
  EXPECT_EQ(Described(problems), "structures[0].Armour: 1e400 is not an integer");
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

// brxtool set on real files: each assignment changes exactly its field, a
// wrong one is refused with the others before anything is written, and the
// file is written as the editor writes it.
#include <gtest/gtest.h>

#include <functional>

#include "model/fields.h"
#include "model/structure_data.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/tool_test_support.h"
#include "tools/brxtool/cli.h"
#include "tools/text/suggestion.h"

namespace brx::tool {
namespace {

using testing::Parsed;
using testing::PatternDocument;
using testing::ReadBytes;
using testing::RunTool;
using testing::Serialized;
using testing::TempFolder;
using testing::ToolRun;
using testing::WriteBytes;

// Three structures with 2, 0 and 1 tiles.
StructureSet Base() {
  return PatternDocument({2, 0, 1});
}

std::vector<std::string> Args(const std::string& path, const std::vector<std::string>& more) {
  std::vector<std::string> args = {"set", path};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST(Set, EachAssignmentChangesItsField) {
  struct Case {
    std::vector<std::string> assignments;
    std::function<void(StructureSet&)> expected;
  };
  const auto header = [](std::size_t i, const std::function<void(StructureHeader&)>& change) {
    return [=](StructureSet& set) {
      StructureHeader h = set.Header(i);
      change(h);
      set.SetHeader(i, h);
    };
  };
  const auto tile = [](std::size_t i, std::size_t j,
                       const std::function<void(TileRecord&)>& change) {
    return [=](StructureSet& set) {
      TileRecord t = set.Tile(i, j);
      change(t);
      set.SetTile(i, j, t);
    };
  };
  const std::uint32_t base_flags = Base().Header(1).Flags();
  const Case cases[] = {
      {{"0.Armour=50"}, header(0, [](StructureHeader& h) { fields::kArmour.Put(h, 50); })},
      {{"2.Density=255"}, header(2, [](StructureHeader& h) { fields::kDensity.Put(h, 255); })},
      {{"1.ZTileOffsetX=-128"},
       header(1, [](StructureHeader& h) { fields::kZTileOffsetX.Put(h, -128); })},
      {{"1.DestructionPartner=127"},
       header(1, [](StructureHeader& h) { fields::kDestructionPartner.Put(h, 127); })},
      {{"0.Reserved=9"},
       header(0, [](StructureHeader& h) { fields::kStructureReserved.Put(h, 9); })},
      {{"1.Flags=BaseTile,Door"}, header(1, [](StructureHeader& h) { h.SetFlags(1u | 1u << 19); })},
      {{"1.Flags= Wire Fence , Person"},
       header(1, [](StructureHeader& h) { h.SetFlags(1u << 11 | 1u << 31); })},
      {{"1.Flags="}, header(1, [](StructureHeader& h) { h.SetFlags(0); })},
      {{"1.Flags+=Door,Wall", "1.Flags-=BaseTile"},
       header(1,
              [=](StructureHeader& h) { h.SetFlags((base_flags | 1u << 19 | 1u << 16) & ~1u); })},
      // Setting a set flag or clearing a clear one changes nothing.
      {{"1.Flags=Door", "1.Flags+=Door", "1.Flags-=Wall"},
       header(1, [](StructureHeader& h) { h.SetFlags(1u << 19); })},
      {{"2.tiles.0.sPosRelToBase=-32768"},
       tile(2, 0, [](TileRecord& t) { fields::ksPosRelToBase.Put(t, -32768); })},
      {{"0.tiles.1.bYPosRelToBase=-1"},
       tile(0, 1, [](TileRecord& t) { fields::kbYPosRelToBase.Put(t, -1); })},
      {{"0.tiles.1.TileFlags=252"},
       tile(0, 1, [](TileRecord& t) { fields::kTileFlags.Put(t, 252); })},
      {{"0.tiles.0.Reserved=255"},
       tile(0, 0, [](TileRecord& t) { fields::kTileReserved.Put(t, 255); })},
      // Shape[r][c] is shape byte 5c + r, as the JSON form rows it.
      {{"2.tiles.0.Shape[2][3]=7"}, tile(2, 0, [](TileRecord& t) { t.SetShapeByte(17, 7); })},
      {{"2.tiles.0.Shape[4][0]=0"}, tile(2, 0, [](TileRecord& t) { t.SetShapeByte(4, 0); })},
      // The same field twice: in order, the last one stays.
      {{"0.Armour=1", "0.Armour=2"},
       header(0, [](StructureHeader& h) { fields::kArmour.Put(h, 2); })},
  };
  TempFolder folder;
  const std::string path = folder.File("walls.brx");
  for (const Case& c : cases) {
    WriteBytes(path, Serialized(Base()));
    const ToolRun r = RunTool(Args(path, c.assignments));
    EXPECT_EQ(r.code, kExitOk) << c.assignments[0] << ": " << r.err;
    EXPECT_EQ(r.out + r.err, "");
    StructureSet expected = Base();
    c.expected(expected);
    EXPECT_EQ(ReadBytes(path), Serialized(expected)) << c.assignments[0];
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"walls.brx"});
  }
  // The cell set is the one dump --json shows in row 2, column 3.
  WriteBytes(path, Serialized(Base()));
  ASSERT_EQ(RunTool({"set", path, "2.tiles.0.Shape[2][3]=7"}).code, kExitOk);
  EXPECT_EQ(Json::parse(
                RunTool({"dump", "--json", path}).out)["structures"][2]["Tiles"][0]["Shape"][2][3],
            7);
}

TEST(Set, AWrongAssignmentChangesNothing) {
  struct Case {
    std::string assignment;
    std::string problem;
  };
  const Case cases[] = {
      {"0.Armor=5", "unknown field \"Armor\"; did you mean \"Armour\"?"},
      {"0.hitpoints=5", "unknown field \"hitpoints\"; did you mean \"HitPoints\"?"},
      {"0.Tile=5", "unknown field \"Tile\"; did you mean \"tiles\"?"},
      {"0.tiles.0.ubVehicleHitLocaton=1",
       "unknown field \"ubVehicleHitLocaton\"; did you mean \"ubVehicleHitLocation\"?"},
      {"0.tiles.0.Armour=1", "unknown field \"Armour\""},
      {"0.Armour=256", "256 is outside 0..255"},
      {"0.Armour=-1", "-1 is outside 0..255"},
      {"1.PartnerDelta=128", "128 is outside -128..127"},
      {"2.tiles.0.sPosRelToBase=32768", "32768 is outside -32768..32767"},
      {"0.Armour=99999999999999999999", "99999999999999999999 is outside 0..255"},
      {"0.Armour=1.5", "1.5 is not an integer"},
      {"0.Armour=1e2", "1e2 is not an integer"},
      {"0.Armour=-2.5E-1", "-2.5E-1 is not an integer"},
      {"0.Armour=1e+", "\"1e+\" is not a number"},
      {"0.Armour=1.", "\"1.\" is not a number"},
      {"0.Armour=.5", "\".5\" is not a number"},
      {"0.Armour=x", "\"x\" is not a number"},
      {"0.Armour=", "\"\" is not a number"},
      {"0.Armour= 5", "\" 5\" is not a number"},
      {"3.Armour=1", "no structure 3; the file has 3 (0 to 2)"},
      {"x.Armour=1", "no structure \"x\"; the file has 3 (0 to 2)"},
      {"1.tiles.0.TileFlags=1", "no tile 0; structure 1 has none"},
      {"0.tiles.2.TileFlags=1", "no tile 2; structure 0 has 2 (0 to 1)"},
      {"0.Tiles.0.TileFlags=1", "unknown name \"Tiles\"; did you mean \"tiles\"?"},
      {"0.tiles=1",
       "expected STRUCTURE.FIELD or STRUCTURE.tiles.TILE.FIELD before the '=', e.g. 12.Armour or "
       "12.tiles.1.Shape[2][3]"},
      {"Armour=1",
       "expected STRUCTURE.FIELD or STRUCTURE.tiles.TILE.FIELD before the '=', e.g. 12.Armour or "
       "12.tiles.1.Shape[2][3]"},
      {"0.tiles.0.Shape=1", "Shape takes a cell: Shape[ROW][COLUMN], each from 0 to 4"},
      {"0.tiles.0.Shape[5][0]=1", "Shape takes a cell: Shape[ROW][COLUMN], each from 0 to 4"},
      {"0.tiles.0.Shape[0][/]=1", "Shape takes a cell: Shape[ROW][COLUMN], each from 0 to 4"},
      {"0.tiles.0.Shape(0)(0)=1", "Shape takes a cell: Shape[ROW][COLUMN], each from 0 to 4"},
      {"0.tiles.0.Shape[0][0]=256", "256 is outside 0..255"},
      {"0.StructureNumber=3",
       "StructureNumber is written as the structure's position; it cannot be set"},
      {"0.Flags+=Dor", "unknown flag \"Dor\"; did you mean \"Door\"?"},
      {"0.Flags=Door,door", "unknown flag \"door\"; did you mean \"Door\"?"},
      {"0.Flags=Door,Door", "\"Door\" is listed twice"},
      {"0.Flags+=", "unknown flag \"\""},
      {"0.Armour+=1", "+= and -= add and remove flag labels; they work on Flags only"},
      {"0.tiles.0.TileFlags-=1", "+= and -= add and remove flag labels; they work on Flags only"},
      {"0.Armour", "expected PATH=VALUE, PATH+=LABEL or PATH-=LABEL, e.g. 12.Armour=50"},
      {"=5", "expected PATH=VALUE, PATH+=LABEL or PATH-=LABEL, e.g. 12.Armour=50"},
  };
  TempFolder folder;
  const std::string path = folder.File("walls.brx");
  const std::vector<std::uint8_t> before = Serialized(Base());
  WriteBytes(path, before);
  for (const Case& c : cases) {
    // After a good assignment, which must not be written either.
    const ToolRun r = RunTool({"set", path, "0.Armour=7", c.assignment});
    EXPECT_EQ(r.code, kExitError) << c.assignment;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "brxtool: " + path + ": " + c.assignment + ": " + c.problem +
                         "\nbrxtool: " + path + ": not changed\n");
  }
  // Every wrong assignment is named, in order.
  const ToolRun r = RunTool({"set", path, "0.Armor=5", "0.Armour=7", "9.Density=1"});
  EXPECT_EQ(r.err, "brxtool: " + path +
                       ": 0.Armor=5: unknown field \"Armor\"; did you mean \"Armour\"?\n"
                       "brxtool: " +
                       path +
                       ": 9.Density=1: no structure 9; the file has 3 (0 to 2)\n"
                       "brxtool: " +
                       path + ": not changed\n");
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"walls.brx"});
}

TEST(Set, AFileThatCannotBeSavedIsLeftAsItWas) {
  TempFolder folder;
  const std::string path = folder.File("walls.brx");
  const std::vector<std::uint8_t> before = Serialized(Base());
  WriteBytes(path, before);
  // Every name the save could write its temporary file under is taken.
  for (int n = 0; n < 100; ++n) WriteBytes(path + "." + std::to_string(n) + ".tmp", {});
  const ToolRun r = RunTool({"set", path, "0.Armour=50"});
  EXPECT_EQ(r.code, kExitError);
  EXPECT_EQ(r.err.rfind("brxtool: " + path + ": cannot create a temporary file in ", 0), 0u)
      << r.err;
  EXPECT_EQ(ReadBytes(path), before);
}

TEST(Set, TheFileIsWrittenAsTheEditorWritesIt) {
  TempFolder folder;
  const std::string path = folder.File("walls.brx");
  std::vector<std::uint8_t> odd = Serialized(Base());
  odd[10] = 0;          // FormatByte
  odd[96 + 8] = 7;      // structure 1's StructureNumber
  odd.push_back(0xAB);  // a byte after the last record
  WriteBytes(path, odd);
  ASSERT_EQ(RunTool({"set", path, "0.Armour=50"}).code, kExitOk);
  StructureSet expected = Base();
  StructureHeader header = expected.Header(0);
  fields::kArmour.Put(header, 50);
  expected.SetHeader(0, header);
  EXPECT_EQ(ReadBytes(path), Serialized(expected));
}

TEST(Suggestion, OnlyANameCloseEnoughIsSuggested) {
  const std::vector<std::string_view> names = {"Door",       "Open",      "Openable",
                                               "Wire Fence", "HitPoints", "Has item on top"};
  struct Case {
    std::string_view name;
    std::string_view suggestion;  // empty: none
  };
  const Case cases[] = {
      {"door", "Door"},
      {"DOOR", "Door"},
      {"Dor", "Door"},
      {"Doors", "Door"},
      {"Oepn", "Open"},  // neighbours swapped: one edit
      {"Opne", "Open"},
      {"Dr", ""},         // two edits in a short name
      {"Opena", "Open"},  // as close to Open as to nothing else
      {"Openabel", "Openable"},
      {"Wirefence", "Wire Fence"},
      {"Wirefenc", "Wire Fence"},  // two edits in a long name
      {"Wirefen", ""},
      {"hitpoint", "HitPoints"},
      {"Has item on tap", "Has item on top"},
      {"Roof", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    const auto guess = text::ClosestName(c.name, names);
    EXPECT_EQ(guess.value_or(""), c.suggestion) << c.name;
  }
}

}  // namespace
}  // namespace brx::tool

// brxtool merge on real files: base, ours and theirs, each case a row, the
// merged file compared byte for byte and the conflicts line for line.
#include <gtest/gtest.h>

#include <functional>

#include "model/fields.h"
#include "model/flags.h"
#include "model/structure_data.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/tool_test_support.h"

namespace brx::tool {
namespace {

using testing::Parsed;
using testing::PatternDocument;
using testing::PatternHeader;
using testing::PatternTile;
using testing::ReadBytes;
using testing::RunTool;
using testing::Serialized;
using testing::TempFolder;
using testing::ToolRun;
using testing::WriteBytes;
using Bytes = std::vector<std::uint8_t>;
using Edit = std::function<void(Bytes&)>;
using Edits = std::vector<Edit>;

// Three structures with 2, 0 and 1 tiles, made of PatternHeader(0),
// PatternTile(1), PatternTile(2), PatternHeader(3), PatternHeader(4) and
// PatternTile(5), but that structure 0 has Armour 30,
// structure 1 the flags BaseTile and Wall, structure 2 DestructionPartner -2;
// tile 0 of structure 0 has TileFlags 0xF0, tile 1 has 0 in Shape[2][3].
// Structure i's header starts at 16, 96, 112 in the file.
Bytes Base() {
  StructureSet set = PatternDocument({2, 0, 1});
  StructureHeader header = set.Header(0);
  header.SetArmour(30);
  set.SetHeader(0, header);
  header = set.Header(1);
  header.SetFlags(0x00010001);
  set.SetHeader(1, header);
  header = set.Header(2);
  header.SetDestructionPartner(-2);
  set.SetHeader(2, header);
  TileRecord tile = set.Tile(0, 0);
  tile.SetTileFlags(0xF0);
  set.SetTile(0, 0, tile);
  tile = set.Tile(0, 1);
  tile.SetShapeByte(TileRecord::ShapeByteIndex(2, 3), 0);
  set.SetTile(0, 1, tile);
  return Serialized(set);
}

Edit OnDocument(const std::function<void(StructureSet&)>& edit) {
  return [edit](Bytes& bytes) {
    StructureSet set = Parsed(bytes);
    edit(set);
    bytes = Serialized(set);
  };
}

Edit Put(std::size_t i, const Field& field, std::int64_t value) {
  return OnDocument([=](StructureSet& set) {
    StructureHeader header = set.Header(i);
    field.Put(header, static_cast<std::uint32_t>(value));
    set.SetHeader(i, header);
  });
}

Edit PutTile(std::size_t i, std::size_t j, const Field& field, std::int64_t value) {
  return OnDocument([=](StructureSet& set) {
    TileRecord tile = set.Tile(i, j);
    field.Put(tile, static_cast<std::uint32_t>(value));
    set.SetTile(i, j, tile);
  });
}

Edit Flag(std::size_t i, const char* label, bool on) {
  return OnDocument([=](StructureSet& set) {
    StructureHeader header = set.Header(i);
    StructureFlags flags(header.Flags());
    flags.Set(StructureFlags::BitOf(label).value(), on);
    header.SetFlags(flags.word());
    set.SetHeader(i, header);
  });
}

Edit Append(std::uint8_t seed, std::size_t tiles = 0) {
  return OnDocument([=](StructureSet& set) {
    StructureEntry entry{std::vector<TileRecord>(tiles, PatternTile(seed)), PatternHeader(seed)};
    set.AppendStructure(entry);
  });
}

Edit AppendTile(std::size_t i, std::uint8_t seed) {
  return OnDocument([=](StructureSet& set) { set.AppendTile(i, PatternTile(seed)); });
}

// Keeps the first `structures` structures, and of structure `i` the first `tiles` tiles.
Edit Cut(std::size_t structures, std::size_t i = 0, std::size_t tiles = 255) {
  return OnDocument([=](StructureSet& set) {
    StructureSet kept;
    for (std::size_t k = 0; k < structures; ++k) {
      StructureEntry entry = set.Entry(k);
      if (k == i && entry.tiles.size() > tiles) entry.tiles.resize(tiles);
      kept.AppendStructure(entry);
    }
    set = kept;
  });
}

Edit Byte(std::size_t offset, std::uint8_t value) {
  return [=](Bytes& bytes) { bytes.at(offset) = value; };
}

Bytes Applied(Bytes bytes, const Edits& edits) {
  for (const Edit& edit : edits) edit(bytes);
  return bytes;
}

const Field kShape23 = ShapeCellField(2, 3);

TEST(Merge, EachRuleOnBaseOursAndTheirs) {
  using fields::kArmour;
  struct Case {
    const char* what;
    Edits ours;
    Edits theirs;
    Edits merged;     // applied to the base: the file the merge writes
    std::string err;  // the conflicts, one a line; none for a clean merge
  };
  const Case cases[] = {
      {"nothing changed", {}, {}, {}, ""},
      {"different fields",
       {Put(0, kArmour, 40)},
       {Flag(1, "Door", true)},
       {Put(0, kArmour, 40), Flag(1, "Door", true)},
       ""},
      {"one field, the same change, beside another",
       {Put(0, kArmour, 40)},
       {Put(0, kArmour, 40), Put(0, fields::kHitPoints, 9)},
       {Put(0, kArmour, 40), Put(0, fields::kHitPoints, 9)},
       ""},
      {"one field, changed back on one side", {Put(0, kArmour, 40)}, {}, {Put(0, kArmour, 40)}, ""},
      {"one field, two changes",
       {Put(0, kArmour, 40)},
       {Put(0, kArmour, 50)},
       {Put(0, kArmour, 40)},
       "structure 0: Armour: base 30, ours 40, theirs 50\n"},
      {"signed values keep their sign",
       {Put(2, fields::kDestructionPartner, -1)},
       {Put(2, fields::kDestructionPartner, -128)},
       {Put(2, fields::kDestructionPartner, -1)},
       "structure 2: DestructionPartner: base -2, ours -1, theirs -128\n"},
      {"Flags bit by bit: Door set on one side, Wall cleared on the other",
       {Flag(1, "Door", true)},
       {Flag(1, "Wall", false)},
       {Flag(1, "Door", true), Flag(1, "Wall", false)},
       ""},
      {"Flags: one bit set on both, others on each",
       {Flag(1, "Door", true), Flag(1, "Person", true)},
       {Flag(1, "Door", true), Flag(1, "BaseTile", false)},
       {Flag(1, "Door", true), Flag(1, "Person", true), Flag(1, "BaseTile", false)},
       ""},
      {"TileFlags bit by bit, the bits of no meaning too",
       {PutTile(0, 0, fields::kTileFlags, 0xF1)},
       {PutTile(0, 0, fields::kTileFlags, 0x70)},
       {PutTile(0, 0, fields::kTileFlags, 0x71)},
       ""},
      {"a shape cell, two changes",
       {PutTile(0, 1, kShape23, 1)},
       {PutTile(0, 1, kShape23, 2)},
       {PutTile(0, 1, kShape23, 1)},
       "structure 0 tile 1: Shape[2][3]: base 0, ours 1, theirs 2\n"},
      {"different shape cells, a tile and its structure",
       {PutTile(0, 1, kShape23, 1), Put(0, fields::kHitPoints, 9)},
       {PutTile(0, 1, ShapeCellField(4, 4), 7), PutTile(0, 1, fields::ksPosRelToBase, -300)},
       {PutTile(0, 1, kShape23, 1), Put(0, fields::kHitPoints, 9),
        PutTile(0, 1, ShapeCellField(4, 4), 7), PutTile(0, 1, fields::ksPosRelToBase, -300)},
       ""},
      {"the reserved bytes are fields too",
       {Put(0, fields::kStructureReserved, 1), PutTile(2, 0, fields::kTileReserved, 1)},
       {Put(0, fields::kStructureReserved, 2), PutTile(2, 0, fields::kTileReserved, 2)},
       {Put(0, fields::kStructureReserved, 1), PutTile(2, 0, fields::kTileReserved, 1)},
       "structure 0: Reserved: base " + std::to_string(PatternHeader(0).Reserved()) +
           ", ours 1, theirs 2\nstructure 2 tile 0: Reserved: base " +
           std::to_string(PatternTile(5).Reserved()) + ", ours 1, theirs 2\n"},
      {"what a save rewrites never clashes",
       {Byte(96 + 8, 7), Byte(8, 0), [](Bytes& b) { b.push_back(1); }},
       {Byte(96 + 8, 9), Byte(6, 5), Byte(10, 0), [](Bytes& b) { b.push_back(2); }},
       {},
       ""},
      {"a StructureNumber beside a real change",
       {Put(0, kArmour, 40), Byte(16 + 8, 7)},
       {Byte(16 + 8, 9)},
       {Put(0, kArmour, 40)},
       ""},
      {"appended on one side: a structure, a tile",
       {Append(50, 2)},
       {AppendTile(1, 60)},
       {Append(50, 2), AppendTile(1, 60)},
       ""},
      {"appended on both sides, the same", {Append(50, 1)}, {Append(50, 1)}, {Append(50, 1)}, ""},
      {"appended on both sides, one more on one",
       {Append(50)},
       {Append(50), Append(51)},
       {Append(50), Append(51)},
       ""},
      {"appended on both sides, differently",
       {Append(50)},
       {Append(51)},
       {Append(50)},
       "structure 3: added on both sides, differently\n"},
      {"appended on both sides, different tiles",
       {Append(50, 1)},
       {Append(50, 2)},
       {Append(50, 1)},
       "structure 3: added on both sides, differently\n"},
      {"tiles appended on both sides, differently",
       {AppendTile(1, 60)},
       {AppendTile(1, 61)},
       {AppendTile(1, 60)},
       "structure 1 tile 0: added on both sides, differently\n"},
      {"removed on one side, untouched on the other",
       {Put(0, kArmour, 40)},
       {Cut(2)},
       {Put(0, kArmour, 40), Cut(2)},
       ""},
      {"removed on both sides, as far as one went", {Cut(2)}, {Cut(1)}, {Cut(1)}, ""},
      {"a tile removed on one side",
       {Cut(3, 0, 1)},
       {Put(1, kArmour, 5)},
       {Cut(3, 0, 1), Put(1, kArmour, 5)},
       ""},
      {"changed on ours, removed on theirs: ours keeps it",
       {Put(2, kArmour, 40)},
       {Cut(1), Put(0, kArmour, 50)},
       {Put(2, kArmour, 40), Put(0, kArmour, 50)},
       "structure 2: changed on ours, removed on theirs\n"},
      {"removed on ours, changed on theirs: gone",
       {Cut(1)},
       {Put(2, fields::kDensity, 3)},
       {Cut(1)},
       "structure 2: removed on ours, changed on theirs\n"},
      {"removed on ours, appended on theirs",
       {Cut(2)},
       {Append(50)},
       {Cut(2)},
       "structure 3: removed on ours, added on theirs\n"},
      {"appended on ours, removed on theirs: ours keeps both",
       {Append(50)},
       {Cut(2)},
       {Append(50)},
       "structure 3: added on ours, removed on theirs\n"},
      {"a tile changed on ours, removed on theirs",
       {PutTile(0, 1, kShape23, 1)},
       {Cut(3, 0, 0)},
       {PutTile(0, 1, kShape23, 1)},
       "structure 0 tile 1: changed on ours, removed on theirs\n"},
      {"several conflicts, in file order",
       {Put(2, fields::kHitPoints, 1), PutTile(0, 1, kShape23, 1), Put(0, fields::kZTileOffsetY, 4),
        Put(0, kArmour, 40), AppendTile(1, 60)},
       {Put(2, fields::kHitPoints, 2), PutTile(0, 1, kShape23, 2), Put(0, fields::kZTileOffsetY, 5),
        Put(0, kArmour, 50), AppendTile(1, 61)},
       {Put(2, fields::kHitPoints, 1), PutTile(0, 1, kShape23, 1), Put(0, fields::kZTileOffsetY, 4),
        Put(0, kArmour, 40), AppendTile(1, 60)},
       "structure 0: Armour: base 30, ours 40, theirs 50\n"
       "structure 0: ZTileOffsetY: base " +
           std::to_string(PatternHeader(0).ZTileOffsetY()) +
           ", ours 4, theirs 5\n"
           "structure 0 tile 1: Shape[2][3]: base 0, ours 1, theirs 2\n"
           "structure 1 tile 0: added on both sides, differently\n"
           "structure 2: HitPoints: base " +
           std::to_string(PatternHeader(4).HitPoints()) + ", ours 1, theirs 2\n"},
  };
  TempFolder folder;
  const Bytes base = Base();
  const std::string base_path = folder.File("base.brx");
  const std::string ours_path = folder.File("ours.brx");
  const std::string theirs_path = folder.File("theirs.brx");
  WriteBytes(base_path, base);
  for (const Case& c : cases) {
    const Bytes theirs = Applied(base, c.theirs);
    WriteBytes(ours_path, Applied(base, c.ours));
    WriteBytes(theirs_path, theirs);
    const ToolRun r = RunTool({"merge", base_path, ours_path, theirs_path});
    EXPECT_EQ(r.code, c.err.empty() ? 0 : 1) << c.what;
    EXPECT_EQ(r.out, "") << c.what;
    EXPECT_EQ(r.err, c.err) << c.what;
    // As the writer writes it: StructureNumbers, counts and trailing bytes made anew.
    EXPECT_EQ(ReadBytes(ours_path), Serialized(Parsed(Applied(base, c.merged)))) << c.what;
    EXPECT_EQ(ReadBytes(base_path), base) << c.what;
    EXPECT_EQ(ReadBytes(theirs_path), theirs) << c.what;
  }
}

TEST(Merge, JsonListsTheSameConflicts) {
  TempFolder folder;
  const Bytes base = Base();
  WriteBytes(folder.File("base.brx"), base);
  WriteBytes(folder.File("ours.brx"),
             Applied(base, {Put(0, fields::kArmour, 40), PutTile(0, 1, kShape23, 1), Cut(2)}));
  WriteBytes(folder.File("theirs.brx"),
             Applied(base, {Put(0, fields::kArmour, 50), PutTile(0, 1, kShape23, 2),
                            Put(2, fields::kArmour, 3)}));
  const ToolRun r = RunTool({"merge", "--json", folder.File("base.brx"), folder.File("ours.brx"),
                             folder.File("theirs.brx")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, FormatJson(Json::parse(R"({"conflicts": [
    {"structure": 0, "field": "Armour", "base": 30, "ours": 40, "theirs": 50},
    {"structure": 0, "tile": 1, "field": "Shape[2][3]", "base": 0, "ours": 1, "theirs": 2},
    {"structure": 2, "ours": "removed", "theirs": "changed"}
  ]})")));
  const ToolRun clean = RunTool({"merge", "--json", folder.File("base.brx"),
                                 folder.File("base.brx"), folder.File("theirs.brx")});
  EXPECT_EQ(clean.code, 0) << clean.err;
  EXPECT_EQ(clean.out, "{\n  \"conflicts\": []\n}\n");
}

TEST(Merge, OutputElsewhereAndTroubleWritesNothing) {
  TempFolder folder;
  const Bytes base = Base();
  const Bytes ours = Applied(base, {Put(0, fields::kArmour, 40)});
  const Bytes theirs = Applied(base, {Put(1, fields::kDensity, 4)});
  const std::string base_path = folder.File("base.brx");
  const std::string ours_path = folder.File("ours.brx");
  const std::string theirs_path = folder.File("theirs.brx");
  const std::string out_path = folder.File("out.brx");
  WriteBytes(base_path, base);
  WriteBytes(ours_path, ours);
  WriteBytes(theirs_path, theirs);
  ToolRun r = RunTool({"merge", base_path, ours_path, "--output", out_path, theirs_path});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(ReadBytes(out_path),
            Applied(base, {Put(0, fields::kArmour, 40), Put(1, fields::kDensity, 4)}));
  EXPECT_EQ(ReadBytes(ours_path), ours);

  // A file that does not load, and one that cannot be written: exit 2, nothing written.
  Bytes cut = theirs;
  cut.pop_back();
  WriteBytes(folder.File("cut.brx"), cut);
  WriteBytes(out_path, base);
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"merge", base_path, ours_path, folder.File("cut.brx")},
       "brxtool: " + folder.File("cut.brx") + ": the file is truncated: "},
      {{"merge", folder.File("missing.brx"), ours_path, theirs_path, "--output", out_path},
       "brxtool: " + folder.File("missing.brx") + ": cannot open the file: "},
      {{"merge", "--output", folder.File("no-folder/out.brx"), base_path, ours_path, theirs_path},
       "brxtool: " + folder.File("no-folder/out.brx") + ": "},
  };
  for (const Case& c : cases) {
    r = RunTool(c.args);
    EXPECT_EQ(r.code, 2) << c.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
    EXPECT_EQ(ReadBytes(ours_path), ours);
    EXPECT_EQ(ReadBytes(out_path), base);
  }
  EXPECT_EQ(folder.Names(),
            (std::vector<std::string>{"base.brx", "cut.brx", "ours.brx", "out.brx", "theirs.brx"}));
}

}  // namespace
}  // namespace brx::tool

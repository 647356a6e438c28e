// brxtool diff on real files: each kind of difference named under the JSON
// form's labels, in file order, what the editor rewrites left out unless
// asked for, and the exit codes of diff(1).
#include <gtest/gtest.h>

#include <functional>

#include "model/structure_data.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/tool_test_support.h"

namespace brx::tool {
namespace {

using testing::Parsed;
using testing::PatternDocument;
using testing::PatternTile;
using testing::RunTool;
using testing::Serialized;
using testing::TempFolder;
using testing::ToolRun;
using testing::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

// Three structures with 2, 0 and 1 tiles; structure 1 has the flags
// BaseTile and Wall. Structure i's header starts at 16, 96, 112; the tiles
// of structure 0 at 32 and 64, that of structure 2 at 128; the file ends at 160.
Bytes Base() {
  StructureSet set = PatternDocument({2, 0, 1});
  StructureHeader header = set.Header(1);
  header.SetFlags(0x00010001);
  set.SetHeader(1, header);
  return Serialized(set);
}

std::string N(std::uint8_t byte) {
  return std::to_string(byte);
}

// Changes the document of a file image, which is then written as the editor writes it.
void Edit(Bytes& bytes, const std::function<void(StructureSet&)>& edit) {
  StructureSet set = Parsed(bytes);
  edit(set);
  bytes = Serialized(set);
}

TEST(Diff, NamesEachDifferenceInFileOrder) {
  const Bytes base = Base();
  struct Case {
    std::function<void(Bytes&)> change;
    bool bytes;  // --bytes
    int code;
    std::string out;
  };
  const Case cases[] = {
      {[](Bytes&) {}, false, 0, ""},
      {[](Bytes& b) { b[16] = 50; }, false, 1, "structure 0: Armour " + N(base[16]) + " -> 50\n"},
      {[](Bytes& b) { b[112 + 11] = 0x80; }, false, 1,
       "structure 2: DestructionPartner " + std::to_string(static_cast<std::int8_t>(base[123])) +
           " -> -128\n"},
      // Flags: the labels set, then those cleared.
      {[](Bytes& b) { b[96 + 4] = 0x00, b[96 + 5] = 0x00, b[96 + 6] = 0x08, b[96 + 7] = 0x80; },
       false, 1, "structure 1 Flags: +Door +Person -BaseTile -Wall\n"},
      // Shape byte 5c + r is Shape[r][c]: byte 17 is row 2, column 3.
      {[](Bytes& b) { b[128 + 4 + 17] = 7; }, false, 1,
       "structure 2 tile 0: Shape[2][3] " + N(base[149]) + " -> 7\n"},
      {[](Bytes& b) { b[64] = 0xFF, b[65] = 0xFF; }, false, 1,
       "structure 0 tile 1: sPosRelToBase " +
           std::to_string(static_cast<std::int16_t>(base[64] | base[65] << 8)) + " -> -1\n"},
      {[](Bytes& b) { b[32 + 29] = 0x01, b[32 + 31] = 0xAA; }, false, 1,
       "structure 0 tile 0: TileFlags " + N(base[61]) + " -> 1\nstructure 0 tile 0: Reserved " +
           N(base[63]) + " -> 170\n"},
      {[](Bytes& b) { Edit(b, [](StructureSet& s) { s.AppendStructure(StructureEntry{}); }); },
       false, 1, "structure 3: added\n"},
      {[](Bytes& b) { b.resize(112), b[4] = 2; }, false, 1, "structure 2: removed\n"},
      {[](Bytes& b) { Edit(b, [](StructureSet& s) { s.AppendTile(1, PatternTile(9)); }); }, false,
       1, "structure 1 tile 0: added\n"},
      {[](Bytes& b) {
         Edit(b, [](StructureSet& s) {
           StructureSet fewer;
           fewer.AppendStructure(StructureEntry{{s.Tile(0, 0)}, s.Header(0)});
           fewer.AppendStructure(s.Entry(1));
           fewer.AppendStructure(s.Entry(2));
           s = fewer;
         });
       },
       false, 1, "structure 0 tile 1: removed\n"},
      // What the editor rewrites on saving: equal, unless --bytes.
      {[](Bytes& b) { b[96 + 8] = 7; }, false, 0, ""},
      {[](Bytes& b) { b[96 + 8] = 7; }, true, 1, "structure 1: StructureNumber 1 -> 7\n"},
      {[](Bytes& b) { b[6] = 5, b[8] = 0, b[10] = 0, b[13] = 1; }, false, 0, ""},
      {[](Bytes& b) { b[6] = 5, b[8] = 0, b[10] = 0, b[13] = 1; }, true, 1,
       "file header: NumberOfStructuresCopy 3 -> 5\n"
       "file header: DataSize 144 -> 0\n"
       "file header: FormatByte 2 -> 0\n"
       "file header: Reserved 00 00 00 00 00 -> 00 00 01 00 00\n"},
      {[](Bytes& b) {
         b.insert(b.end(), {1, 2, 0xAB});
       },
       false, 0, ""},
      {[](Bytes& b) {
         b.insert(b.end(), {1, 2, 0xAB});
       },
       true, 1, "trailing bytes: none -> 01 02 AB\n"},
      {[](Bytes& b) { b.insert(b.end(), 20, 0xEE); }, true, 1,
       "trailing bytes: none -> EE EE EE EE EE EE EE EE EE EE EE EE EE EE EE EE ... (20 bytes)\n"},
      // Several at once, in the order of the file.
      {[](Bytes& b) {
         b.push_back(0);
         b[150] = 0, b[112] = 0, b[96 + 9] = 1, b[17] = 0, b[8] = 0;
       },
       true, 1,
       "file header: DataSize 144 -> 0\nstructure 0: HitPoints " + N(base[17]) +
           " -> 0\nstructure 1: StructureNumber 1 -> 257\nstructure 2: Armour " + N(base[112]) +
           " -> 0\nstructure 2 tile 0: Shape[3][3] " + N(base[150]) +
           " -> 0\ntrailing bytes: none -> 00\n"},
  };
  TempFolder folder;
  const std::string a = folder.File("a.brx");
  const std::string b = folder.File("b.brx");
  WriteBytes(a, base);
  for (const Case& c : cases) {
    Bytes changed = base;
    c.change(changed);
    WriteBytes(b, changed);
    std::vector<std::string> args = {"diff", a, b};
    if (c.bytes) args.push_back("--bytes");
    const ToolRun r = RunTool(args);
    EXPECT_EQ(r.code, c.code) << c.out;
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
}

TEST(Diff, ShapeCellsAreNamedAsTheJsonFormRowsThem) {
  TempFolder folder;
  const Bytes base = Base();
  WriteBytes(folder.File("a.brx"), base);
  for (std::size_t row = 0; row < 5; ++row) {
    for (std::size_t column = 0; column < 5; ++column) {
      Bytes changed = base;
      changed[128 + 4 + 5 * column + row] = 201;
      WriteBytes(folder.File("b.brx"), changed);
      const std::string cell = "[" + std::to_string(row) + "][" + std::to_string(column) + "]";
      EXPECT_EQ(RunTool({"diff", folder.File("a.brx"), folder.File("b.brx")}).out,
                "structure 2 tile 0: Shape" + cell + " " + N(base[128 + 4 + 5 * column + row]) +
                    " -> 201\n");
      const Json dumped = Json::parse(RunTool({"dump", "--json", folder.File("b.brx")}).out);
      EXPECT_EQ(dumped["structures"][2]["Tiles"][0]["Shape"][row][column], 201) << cell;
    }
  }
}

TEST(Diff, JsonSaysTheSame) {
  TempFolder folder;
  const Bytes base = Base();
  Bytes changed = base;
  Edit(changed, [](StructureSet& s) { s.AppendStructure(StructureEntry{}); });
  changed[6] = 9;
  changed[16] = 50;
  changed[96 + 6] = 0x09;
  changed[128 + 4] = 9;
  changed.push_back(0xAB);
  WriteBytes(folder.File("a.brx"), base);
  WriteBytes(folder.File("b.brx"), changed);
  const ToolRun r =
      RunTool({"diff", "--json", "--bytes", folder.File("a.brx"), folder.File("b.brx")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(Json::parse(r.out), Json::parse(R"({"differences": [
    {"part": "file header", "field": "NumberOfStructuresCopy", "from": 3, "to": 9},
    {"part": "file header", "field": "DataSize", "from": 144, "to": 160},
    {"structure": 0, "field": "Armour", "from": )" +
                                            N(base[16]) + R"(, "to": 50},
    {"structure": 1, "field": "Flags", "added": ["Door"], "removed": []},
    {"structure": 2, "tile": 0, "field": "Shape[0][0]", "from": )" +
                                            N(base[132]) + R"(, "to": 9},
    {"structure": 3, "change": "added"},
    {"part": "trailing bytes", "from": "", "to": "AB"}
  ]})"));
  // The layout of every JSON brxtool prints: a diff of two of them is readable.
  EXPECT_EQ(r.out, FormatJson(Json::parse(r.out)));
  EXPECT_EQ(RunTool({"diff", "--json", folder.File("a.brx"), folder.File("a.brx")}).out,
            "{\n  \"differences\": []\n}\n");
  // Back again: what was added is removed.
  EXPECT_EQ(Json::parse(RunTool({"diff", "--json", folder.File("b.brx"), folder.File("a.brx")})
                            .out)["differences"]
                .back(),
            Json::parse(R"({"structure": 3, "change": "removed"})"));
}

}  // namespace
}  // namespace brx::tool

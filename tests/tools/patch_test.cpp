// brxtool apply and diff --patch on real files: a base, the file a player
// has, and patches in a load order, each case a row; the file written is
// compared byte for byte and the conflicts line by line.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "model/structure_data.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/text/chunked_source.h"
#include "tests/tools/tool_test_support.h"
#include "tools/documents/json_document.h"
#include "tools/documents/patch/patch_apply.h"
#include "tools/documents/patch/patch_path.h"

namespace brx::tool {
namespace {

using testing::ReadBytes;
using testing::RunTool;
using testing::TempFolder;
using testing::ToolRun;
using testing::WriteBytes;
using Bytes = std::vector<std::uint8_t>;
using Edit = std::function<void(Json&)>;

// Three structures with 2, 0 and 1 tiles; structure 0 has Armour 30, structure
// 1 the flags BaseTile and Wall, tile 1 of structure 0 a 0 in Shape[2][3].
Json Base() {
  Json json = DocumentToJson(testing::PatternDocument({2, 0, 1}));
  Json& structures = json["structures"];
  structures[0]["Armour"] = 30;
  structures[1]["Flags"] = {"BaseTile", "Wall"};
  structures[0]["Tiles"][1]["Shape"][2][3] = 0;
  return json;
}

Bytes BytesOf(const Json& json) {
  StructureSet set;
  std::vector<text::JsonProblem> problems;
  EXPECT_TRUE(DocumentFromJsonText(FormatJson(json), set, problems)) << json.dump();
  return testing::Serialized(set);
}

Json Edited(const std::vector<Edit>& edits) {
  Json json = Base();
  for (const Edit& edit : edits) edit(json);
  return json;
}

Edit Set(const std::string& pointer, Json value) {
  return [=](Json& json) { json[Json::json_pointer(pointer)] = value; };
}

// A structure like structure 2, with this Armour.
Json NewStructure(int armour) {
  Json structure = Base()["structures"][2];
  structure["Armour"] = armour;
  return structure;
}

Edit Append(int armour) {
  return [=](Json& json) { json["structures"].push_back(NewStructure(armour)); };
}

Edit Erase(const std::string& pointer) {
  return [=](Json& json) {
    const Json::json_pointer path(pointer);
    json[path.parent_pointer()].erase(std::stoul(path.back()));
  };
}

// How a patch's operations are written: as JSON Patch tools write them
// (compact, keys in order), or as diff --patch does, which apply reads by
// a quicker way of its own.
enum class Layout { kCompact, kDiff };

// An operation as diff --patch lays it out: {"op": "test", "path": ..., "value": 1}.
std::string DiffLayout(const Json& operation) {
  std::string text;
  for (const char* key : {"op", "path", "from", "value"}) {
    if (!operation.contains(key)) continue;
    text += (text.empty() ? "{\"" : ", \"") + std::string(key) + "\": " + operation[key].dump();
  }
  return text + "}";
}

// A patch with one operation a line, the first on line 2.
std::string Patch(const std::vector<Json>& operations, Layout layout = Layout::kCompact) {
  std::string text = "[\n";
  for (std::size_t k = 0; k < operations.size(); ++k) {
    text += layout == Layout::kDiff ? DiffLayout(operations[k]) : operations[k].dump();
    text += k + 1 < operations.size() ? ",\n" : "\n";
  }
  return text + "]\n";
}

Json Op(const char* op, const std::string& path, Json value = nullptr) {
  Json operation = {{"op", op}, {"path", path}};
  if (!value.is_null()) operation["value"] = value;
  return operation;
}

Json From(const char* op, const std::string& from, const std::string& path) {
  return {{"op", op}, {"from", from}, {"path", path}};
}

Json Change(const std::string& path, Json from, Json to) {
  return Json::array({Op("test", path, from), Op("replace", path, to)});
}

std::vector<Json> Ops(std::initializer_list<Json> parts) {
  std::vector<Json> operations;
  for (const Json& part : parts) {
    if (part.is_array()) {
      operations.insert(operations.end(), part.begin(), part.end());
    } else {
      operations.push_back(part);
    }
  }
  return operations;
}

const std::string kArmour = "/structures/0/Armour";
const std::string kFlags = "/structures/1/Flags";
const std::string kCell = "/structures/0/Tiles/1/Shape/2/3";

TEST(Apply, PatchesInALoadOrder) {
  struct Case {
    const char* what;
    std::vector<Edit> file;  // the player's file: the base with these edits
    std::vector<std::vector<Json>> patches;
    std::vector<Edit> result;  // the file written: the base with these edits
    std::string err;           // the start of the conflicts, one a line, each after the folder
  };
  const Json removed_tile = Base()["structures"][0]["Tiles"][1];
  const Case cases[] = {
      {"a field changed", {}, {Ops({Change(kArmour, 30, 50)})}, {Set(kArmour, 50)}, ""},
      {"the file has another value: the patch wins",
       {Set(kArmour, 40)},
       {Ops({Change(kArmour, 30, 50)})},
       {Set(kArmour, 50)},
       "p1.json:3: structure 0: Armour: expected 30, found 40; set to 50\n"},
      {"the file has the new value already",
       {Set(kArmour, 50)},
       {Ops({Change(kArmour, 30, 50)})},
       {Set(kArmour, 50)},
       ""},
      {"two mods change one field: the later wins",
       {},
       {Ops({Change(kCell, 0, 1)}), Ops({Op("test", kArmour, 30), Change(kCell, 0, 2)})},
       {Set(kCell, 2)},
       "p2.json:4: structure 0 tile 1: Shape[2][3]: expected 0, found 1; set to 2\n"},
      {"a test alone that does not hold",
       {Set(kArmour, 40)},
       {Ops({Op("test", kArmour, 30), Op("replace", "/structures/2/Density", 7)})},
       {Set(kArmour, 40), Set("/structures/2/Density", 7)},
       "p1.json:2: structure 0: Armour: expected 30, found 40\n"},
      {"two mods set different flags of one structure: both take effect",
       {},
       {Ops({Change(kFlags, {"BaseTile", "Wall"}, {"BaseTile", "Wall", "Door"})}),
        Ops({Change(kFlags, {"BaseTile", "Wall"}, {"Wall"})})},
       {Set(kFlags, {"Wall", "Door"})},
       ""},
      {"flag labels one by one, as json-patch-jsondiff writes them",
       {},
       {Ops({Op("add", kFlags + "/0", "Open"), Op("remove", kFlags + "/2"),
             Op("add", kFlags + "/-", "Corpse"), From("move", kFlags + "/0", kFlags + "/-")})},
       {Set(kFlags, {"BaseTile", "Open", "Corpse"})},
       ""},
      {"shape cells one by one, through a row of six on its way to five",
       {},
       {Ops({Op("add", "/structures/0/Tiles/1/Shape/2/0", 9),
             Op("remove", "/structures/0/Tiles/1/Shape/2/5")})},
       {[](Json& json) {
         Json& row = json["structures"][0]["Tiles"][1]["Shape"][2];
         row.insert(row.begin(), 9);
         row.erase(5);
       }},
       ""},
      {"a structure appended",
       {},
       {Ops({Op("add", "/structures/3", NewStructure(9))})},
       {Append(9)},
       ""},
      {"appended where the file has one already: at the end, and later paths follow it",
       {Append(5)},
       {Ops({Op("add", "/structures/3", NewStructure(9)),
             Op("replace", "/structures/3/Density", 4)})},
       {Append(5), Append(9), Set("/structures/4/Density", 4)},
       "p1.json:2: structure 3"},
      {"a tile appended where the structure has one already: at the end, later paths follow it",
       {[](Json& json) { json["structures"][2]["Tiles"].push_back(Base()["structures"][0]["Tiles"][0]); }},
       {Ops({Op("add", "/structures/2/Tiles/1", Base()["structures"][0]["Tiles"][1]),
             Op("replace", "/structures/2/Tiles/1/TileFlags", 7)})},
       {[](Json& json) {
         Json& tiles = json["structures"][2]["Tiles"];
         tiles.push_back(Base()["structures"][0]["Tiles"][0]);
         tiles.push_back(Base()["structures"][0]["Tiles"][1]);
         tiles[2]["TileFlags"] = 7;
       }},
       "p1.json:2: structure 2 tile 1"},
      {"a shape row the file changed",
       {Set("/structures/0/Tiles/1/Shape/2", {5, 5, 5, 5, 5})},
       {Ops({Change("/structures/0/Tiles/1/Shape/2", Base()["structures"][0]["Tiles"][1]["Shape"][2],
                    {1, 2, 3, 4, 5})})},
       {Set("/structures/0/Tiles/1/Shape/2", {1, 2, 3, 4, 5})},
       "p1.json:3: structure 0 tile 1: Shape[2]: "},
      {"a record to remove whose header the file changed is kept",
       {Set("/structures/2/Armour", 9)},
       {Ops({Op("test", "/structures/2", Base()["structures"][2]), Op("remove", "/structures/2")})},
       {Set("/structures/2/Armour", 9)},
       "p1.json:3: structure 2"},
      {"a trailing tile removed after its test",
       {},
       {Ops({Op("test", "/structures/0/Tiles/1", removed_tile),
             Op("remove", "/structures/0/Tiles/1")})},
       {Erase("/structures/0/Tiles/1")},
       ""},
      {"members an operation does not take are ignored",
       {},
       {Ops({Op("remove", "/structures/0/Tiles/1", "no tile"),
             {{"op", "replace"}, {"path", kArmour}, {"value", 50}, {"from", "~"}},
             {{"op", "test"}, {"path", kArmour}, {"value", 50}, {"note", {{"by", {1, "x"}}}}}})},
       {Erase("/structures/0/Tiles/1"), Set(kArmour, 50)},
       ""},
      {"a record to remove that the file changed is kept",
       {Set(kCell, 5)},
       {Ops({Op("test", "/structures/0/Tiles/1", removed_tile),
             Op("remove", "/structures/0/Tiles/1")})},
       {Set(kCell, 5)},
       "p1.json:3: structure 0 tile 1"},
      {"a record another mod removed already",
       {Erase("/structures/2")},
       {Ops({Op("test", "/structures/2", Base()["structures"][2]), Op("remove", "/structures/2")})},
       {Erase("/structures/2")},
       ""},
      {"whole records replaced, copied and moved",
       {},
       {Ops({Op("replace", "/structures/0/Tiles/1/Shape/0", {1, 2, 3, 4, 5}),
             From("copy", "/structures/0/Tiles/0", "/structures/1/Tiles/-"),
             From("move", "/structures/2/Tiles/0", "/structures/0/Tiles/-")})},
       {Set("/structures/0/Tiles/1/Shape/0", {1, 2, 3, 4, 5}),
        [](Json& json) {
          Json& structures = json["structures"];
          structures[1]["Tiles"].push_back(structures[0]["Tiles"][0]);
          structures[0]["Tiles"].push_back(structures[2]["Tiles"][0]);
          structures[2]["Tiles"].erase(0);
        }},
       ""},
  };
  TempFolder folder;
  const std::string file = folder.File("file.brx");
  for (const Case& c : cases) {
    std::string err;
    std::size_t at = 0;
    while (at < c.err.size()) {
      const std::size_t end = std::min(c.err.find('\n', at), c.err.size() - 1) + 1;
      err += folder.File("") + c.err.substr(at, end - at);
      at = end;
    }
    for (const Layout layout : {Layout::kCompact, Layout::kDiff}) {
      const std::string what =
          c.what + std::string(layout == Layout::kDiff ? ", as diff writes" : "");
      std::vector<std::string> args = {"apply", file};
      for (std::size_t k = 0; k < c.patches.size(); ++k) {
        args.push_back(folder.File("p" + std::to_string(k + 1) + ".json"));
        testing::WriteText(args.back(), Patch(c.patches[k], layout));
      }
      WriteBytes(file, BytesOf(Edited(c.file)));
      const ToolRun r = RunTool(args);
      EXPECT_EQ(r.code, c.err.empty() ? 0 : 1) << what << "\n" << r.err;
      EXPECT_EQ(r.out, "") << what;
      EXPECT_EQ(r.err.substr(0, err.size()), err) << what;
      EXPECT_EQ(ReadBytes(file), BytesOf(Edited(c.result))) << what;
    }
  }
}

// Mistakes: each named where it is, and nothing written.
TEST(Apply, MistakesWriteNothing) {
  struct Case {
    const char* what;
    std::string patch;
    std::string where;  // the start of the first line on standard error
    std::vector<Edit> file = {};
  };
  // Structure 2 with as many tiles as a structure holds.
  const Edit full = [](Json& json) {
    Json& tiles = json["structures"][2]["Tiles"];
    while (tiles.size() < kMaxTilesPerStructure) tiles.push_back(tiles[0]);
  };
  Json bad_tile = NewStructure(9);
  bad_tile["Tiles"][0]["Shape"] = 5;
  const Case cases[] = {
      {"not JSON", "[\n  {\"op\": \"test\",}\n]\n", "p.json:2:16: "},
      {"no array", "{}", "p.json:1:1: "},
      {"an unknown operation", Patch({Op("change", kArmour, 1)}), "p.json:2:7: "},
      {"a misspelt field", Patch({Op("replace", "/structures/0/Armor", 1)}), "p.json:2:24: "},
      {"a value outside its field's range", Patch({Op("replace", kArmour, 256)}), "p.json:2:55: "},
      {"a structure the file lacks", Patch({Op("replace", "/structures/3/Armour", 1)}),
       "p.json:2:1: "},
      {"a field removed", Patch({Op("remove", kArmour)}), "p.json:2:1: "},
      {"a member missing", Patch({{{"op", "replace"}, {"path", kArmour}}}), "p.json:2:1: "},
      {"a from that is no field", Patch({From("copy", "/structures/0/Armr", kArmour)}),
       "p.json:2:21: "},
      {"an element that is no operation", "[\n1\n]\n", "p.json:2:1: "},
      {"no op", Patch({{{"path", kArmour}, {"value", 1}}}), "p.json:2:1: "},
      {"a patch in no encoding", "[\n\xc3(]", "p.json: "},
      {"a tile in a record that is not one", Patch({Op("add", "/structures/-", bad_tile)}),
       "p.json:2:"},
      {"a number copied where a tile goes, named as the patch names it",
       Patch({From("copy", kArmour, "/structures/0/Tiles/0")}),
       "p.json:2:1: \"/structures/0/Tiles/0\""},
      {"a test of \"-\", then an add there",
       Patch({Op("test", "/structures/-", NewStructure(1)),
              Op("add", "/structures/-", NewStructure(1))}),
       "p.json:2:1: "},
      {"two shapes left other than five by five: the first told",
       Patch({Op("remove", "/structures/0/Tiles/0/Shape/1/0"),
              Op("remove", "/structures/0/Tiles/1/Shape/4")}),
       "p.json:3:1: structure 0 tile 0"},
      {"a tile added to a full structure where it has one",
       Patch({Op("add", "/structures/2/Tiles/0", Base()["structures"][2]["Tiles"][0])}),
       "p.json:2:1: ",
       {full}},
      {"a misspelt member", Patch({{{"op", "remove"}, {"pth", kArmour}}}), "p.json:2:16: "},
  };
  TempFolder folder;
  const std::string file = folder.File("file.brx");
  for (const Case& c : cases) {
    const Bytes before = BytesOf(Edited(c.file));
    WriteBytes(file, before);
    testing::WriteText(folder.File("p.json"), c.patch);
    const ToolRun r = RunTool({"apply", file, folder.File("p.json")});
    EXPECT_EQ(r.code, 2) << c.what;
    EXPECT_EQ(r.err.rfind(folder.File(c.where), 0), 0u) << c.what << "\n" << r.err;
    EXPECT_EQ(ReadBytes(file), before) << c.what;
  }
  const Bytes base = BytesOf(Base());
  WriteBytes(file, base);
  // Of several patches, every mistake is told, a misspelt name with the one it may mean.
  testing::WriteText(folder.File("q.json"), Patch({Op("replace", "/structures/0/Densty", 1)}));
  const ToolRun r = RunTool({"apply", file, folder.File("p.json"), folder.File("q.json")});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find(folder.File("q.json:2:")), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\"Density\""), std::string::npos) << r.err;

  // A patch that is not there or is a structure file (the two operands
  // swapped), a file that is no structure file: each named first.
  struct Refused {
    std::vector<std::string> operands;
    std::string named;
  };
  const std::string missing = folder.File("none.json");
  const std::string patch = folder.File("q.json");
  const Refused refused[] = {
      {{file, missing, patch}, missing}, {{file, file}, file}, {{patch, missing}, patch}};
  for (const Refused& c : refused) {
    std::vector<std::string> args = {"apply"};
    args.insert(args.end(), c.operands.begin(), c.operands.end());
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.code, 2) << c.named;
    EXPECT_EQ(run.err.find("brxtool: " + c.named), 0u) << run.err;
    EXPECT_EQ(ReadBytes(file), base) << c.named;
  }

  // Past the mistakes shown, one line says that more follow: mistakes of
  // applying and, counted on their own, of reading.
  std::string out_of_range = "[\n";
  std::string op_twice = "[\n";
  for (std::size_t k = 0; k <= kMostProblemsShown + 1; ++k) {
    out_of_range += DiffLayout(Op("replace", kArmour, 256 + static_cast<int>(k))) + ",\n";
    op_twice += "{\"op\": \"test\", \"op\": \"test\", \"path\": \"\", \"value\": 1},\n";
  }
  for (std::string text : {out_of_range, op_twice}) {
    text.replace(text.size() - 2, 2, "\n]\n");
    testing::WriteText(patch, text);
    const ToolRun more = RunTool({"apply", file, patch});
    EXPECT_EQ(more.code, 2);
    // The mistakes shown, the line that more follow, and that the file is as it was.
    EXPECT_EQ(static_cast<std::size_t>(std::count(more.err.begin(), more.err.end(), '\n')),
              kMostProblemsShown + 2)
        << more.err;
    EXPECT_EQ(ReadBytes(file), base);
  }
}

// apply reads the lines diff --patch writes by a quicker way of its own. Each
// row is applied as written and again with one comma moved (" ,\"path\""),
// which that way does not take but which leaves every value and key where
// it was: the two runs must agree in everything they say and write.
TEST(Apply, DiffsLayoutReadsAsAnyOther) {
  const auto line = [](const Json& operation) { return DiffLayout(operation); };
  const auto number = [](const std::string& text) {
    return "{\"op\": \"replace\", \"path\": \"" + kArmour + "\", \"value\": " + text + "}";
  };
  // Clean changes and conflicts of numbers run in both layouts in the load-order table.
  const std::vector<std::vector<std::string>> rows = {
      {line(Op("test", kCell, 0)), Op("replace", kCell, 255).dump(), line(Op("test", kCell, 1))},
      {line(Op("replace", "/structures/0/Armor", 1)), line(Op("replace", kArmour, 256))},
      {line(Op("replace", "/structures/0/DestructionPartner", -129))},
      {line(Op("replace", "/structures/3/Armour", 1))},
      {line(Op("replace", "/structures/0/Tiles/1/Shape/5/0", 1))},
      {line(Op("replace", kFlags + "/0", 3)), line(Op("test", kFlags, 3))},
      {line(Op("test", "/structures/0/Tiles", 3)), line(Op("replace", "/structures/0/Tiles/-", 3))},
      {line(Op("replace", "/structures/0/Arm~1our", 1)),
       line(Op("replace", "/structures/0/~2", 1))},
      {line(Op("replace", kArmour + "/x", 1)), line(Op("replace", "/structures/00/Armour", 1))},
      {line(Op("replace", "/structures/0/\u00c4rmour", 1)), line(Op("replace", "", 1))},
      {line(Op("replace", "/structures/0/Ar\"mour", 1)), line(Op("replace", "/", 1))},
      {number("-0"), number("7"), number("0"), number("-5"), number("2 ")},
      {number("1.0"), number("1e2"), number("99999999999")},
      {number("01")},
      {number("-")},
  };
  TempFolder folder;
  const std::string file = folder.File("file.brx");
  const std::string patch = folder.File("p.json");
  for (const std::vector<std::string>& row : rows) {
    std::string text = "[\n";
    for (const std::string& each : row) text += each + (&each == &row.back() ? "\n" : ",\n");
    text += "]\n";
    std::string moved = text;
    for (std::size_t at = 0; (at = moved.find("\", \"path\"", at)) != std::string::npos;)
      moved.replace(at, 3, "\" ,");
    ASSERT_NE(moved, text) << text;
    std::vector<ToolRun> runs;
    std::vector<Bytes> written;
    for (const std::string& each : {text, moved}) {
      WriteBytes(file, BytesOf(Base()));
      testing::WriteText(patch, each);
      runs.push_back(RunTool({"apply", file, patch}));
      written.push_back(ReadBytes(file));
    }
    EXPECT_EQ(runs[0].code, runs[1].code) << text;
    EXPECT_EQ(runs[0].err, runs[1].err) << text;
    EXPECT_EQ(written[0], written[1]) << text;
  }
}

// A line that the end of a piece of the text cuts is read the general way:
// wherever the pieces end, the patch applies the same.
TEST(Apply, ThePiecesAPatchComesInChangeNothing) {
  // Some 200 KB of tests and changes of shape cells, many of them conflicts,
  // with a value out of range now and then.
  std::vector<Json> operations;
  for (int k = 0; k < 1500; ++k) {
    const std::string cell =
        "/structures/0/Tiles/1/Shape/" + std::to_string(k % 5) + "/" + std::to_string(k / 5 % 5);
    operations.push_back(Op("test", cell, k % 3));
    operations.push_back(Op("replace", cell, k % 499 == 0 ? 256 : k % 7));
  }
  const std::string patch = Patch(operations, Layout::kDiff);
  const auto applied = [&patch](std::size_t chunk, std::size_t fails_at = std::string::npos) {
    std::vector<StructureEntry> entries = testing::PatternDocument({2, 0, 1}).TakeEntries();
    PatchApplier applier(entries);
    testing::ChunkedSource source(patch, chunk, fails_at);
    text::TextDecoder decoder(source);
    EXPECT_TRUE(decoder.Start());
    applier.Apply("p.json", decoder);
    std::string told;
    for (const std::string& mistake : applier.mistakes()) told += mistake + "\n";
    for (const PatchConflict& conflict : applier.conflicts()) {
      told += std::to_string(conflict.line) + " " + PatchPointer(conflict.path) + " " +
              std::to_string(conflict.found.number) + "\n";
    }
    StructureSet set;
    for (StructureEntry& entry : entries) set.AppendStructure(std::move(entry));
    return std::make_pair(told, testing::Serialized(set));
  };
  const auto whole = applied(patch.size());
  EXPECT_NE(whole.first.find("p.json:"), std::string::npos);
  // Pieces shorter than a line leave every line to the general way; longer
  // ones cut lines at every place in them.
  for (const std::size_t chunk : {1, 7, 100, 151, 257, 1000, 4096})
    EXPECT_EQ(applied(chunk), whole) << chunk << " bytes a piece";
  // A read that fails part way is the one mistake told, whatever was read before it.
  const std::string failed = applied(4096, patch.size() / 2).first;
  EXPECT_EQ(failed.rfind("p.json: ", 0), 0u) << failed;
  EXPECT_EQ(failed.find("p.json", 1), std::string::npos) << failed;
  EXPECT_NE(failed.find(testing::ChunkedSource::kError), std::string::npos) << failed;
}

// Pointers taken apart and written back; the malformed ones refused.
TEST(PatchPointer, ReadsWhatItNamesAndWritesItBack) {
  struct Case {
    const char* pointer;
    PatchNode node;
    std::size_t structure, tile, row, index;
    bool end;
  };
  const Case cases[] = {
      {"", PatchNode::kDocument, 0, 0, 0, 0, false},
      {"/structures/-", PatchNode::kStructure, 0, 0, 0, 0, true},
      {"/structures/120/Armour", PatchNode::kHeaderField, 120, 0, 0, 0, false},
      {"/structures/0/Flags/10", PatchNode::kLabel, 0, 0, 0, 10, false},
      {"/structures/3/Tiles/1/Shape/2/3", PatchNode::kShapeCell, 3, 1, 2, 3, false},
      {"/structures/3/Tiles/12/Shape/-", PatchNode::kShapeRow, 3, 12, 0, 0, true},
      {"/structures/3/Tiles/0/TileFlags", PatchNode::kTileField, 3, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    PatchPath path;
    std::string error;
    ASSERT_TRUE(ParsePatchPath(c.pointer, path, error)) << c.pointer << ": " << error;
    EXPECT_EQ(path.node, c.node) << c.pointer;
    EXPECT_EQ(path.structure, c.structure) << c.pointer;
    EXPECT_EQ(path.tile, c.tile) << c.pointer;
    EXPECT_EQ(path.row, c.row) << c.pointer;
    EXPECT_EQ(path.index, c.index) << c.pointer;
    EXPECT_EQ(path.end, c.end) << c.pointer;
    EXPECT_EQ(PatchPointer(path), c.pointer);
  }
  const char* const malformed[] = {
      "/structures/01",         "/structures/1x",         "/structures/",
      "/structures/-/Armour",   "/structures/0/Armour/1", "/structures/0/Arm~2our",
      "/structures/0/Arm~1our", "structures/0",           "/Structures"};
  for (const char* pointer : malformed) {
    PatchPath path;
    std::string error;
    EXPECT_FALSE(ParsePatchPath(pointer, path, error)) << pointer;
    EXPECT_NE(error, "") << pointer;
  }
  // One reader, taking each pointer after the one before (sharing steps
  // with it or not, after a mistake or not), reads what a fresh one reads.
  std::vector<std::string> sequence = {"/structures/3/Tiles/1/Shape/2/3",
                                       "/structures/3/Tiles/1/Shape/2/4",
                                       "/structures/3/Tiles/1/Shape/2",
                                       "/structures/3/Tiles/1/Shape/2/3",
                                       "/structures/3/Tiles/1/Shape/2/3",
                                       "/structures/3/Tiles/-",
                                       "/structures/3/Tiles/-/Shape",
                                       "/structures/3/Tiles/12/TileFlags",
                                       "/structures/3/Tiles/12/TileFlags/0",
                                       "/structures/3/Tiles/12/TileFlags",
                                       "/structures/34/Tiles/12/TileFlags",
                                       "/structures/3/Tiles/1/Shape/2/3x",
                                       "/structures/3/Tiles/1/Shape/2/3",
                                       "/structures/3/Armour",
                                       "/structures/3/Arm~0our",
                                       "/structures/3/Armour",
                                       ""};
  for (const Case& c : cases) sequence.push_back(c.pointer);
  sequence.insert(sequence.end(), std::begin(malformed), std::end(malformed));
  PatchPathReader reader;
  for (const std::string& pointer : sequence) {
    PatchPath fresh;
    PatchPath read;
    std::string fresh_error;
    std::string read_error;
    const bool parsed = ParsePatchPath(pointer, fresh, fresh_error);
    EXPECT_EQ(reader.Read(pointer, read, read_error), parsed) << pointer;
    EXPECT_EQ(read_error, fresh_error) << pointer;
    if (parsed) {
      EXPECT_TRUE(read == fresh) << pointer << " read as " << PatchPointer(read);
    }
  }
  // An index past every list is read as one, not wrapped round to a small one.
  PatchPath path;
  std::string error;
  ASSERT_TRUE(ParsePatchPath("/structures/18446744073709551616", path, error));
  EXPECT_GT(path.structure, kMaxStructures);
}

TEST(Apply, StrictOutputDryRunAndJson) {
  TempFolder folder;
  const std::string file = folder.File("file.brx");
  const std::string out = folder.File("out.brx");
  const std::string patch = folder.File("p.json");
  const Bytes conflicting = BytesOf(Edited({Set(kArmour, 40)}));
  WriteBytes(file, conflicting);
  testing::WriteText(patch, Patch(Ops({Change(kArmour, 30, 50), Change(kCell, 0, 3)})));

  ToolRun r = RunTool({"apply", "--strict", file, patch});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(ReadBytes(file), conflicting);
  r = RunTool({"apply", "--dry-run", file, patch});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "structure 0: Armour 40 -> 50\nstructure 0 tile 1: Shape[2][3] 0 -> 3\n");
  EXPECT_EQ(r.err, patch + ":3: structure 0: Armour: expected 30, found 40; set to 50\n");
  EXPECT_EQ(ReadBytes(file), conflicting);
  r = RunTool({"apply", "--json", "--output", out, file, patch});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "");
  // Built as JSON, not as text: a Windows path's backslashes need escaping.
  Json conflict = Json::object();
  conflict["patch"] = patch;
  conflict.update(Json::parse(R"({"line": 3, "structure": 0, "field": "Armour",
                                  "expected": 30, "found": 40, "set": 50})"));
  EXPECT_EQ(Json::parse(r.out), Json({{"conflicts", Json::array({conflict})}}));
  EXPECT_EQ(ReadBytes(out), BytesOf(Edited({Set(kArmour, 50), Set(kCell, 3)})));
  EXPECT_EQ(ReadBytes(file), conflicting);
  r = RunTool({"apply", "--output", patch, file, patch});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"file.brx", "out.brx", "p.json"}));
}

// Each kind of conflict, told on standard error after its place, and in
// --json as an object of its own.
TEST(Apply, EveryKindOfConflictIsToldInJson) {
  struct Case {
    std::vector<Edit> file;
    std::vector<Json> patch;
    std::string place;  // what the line on standard error starts with, after the patch's name
    const char* json;   // the conflict, but for its "patch"
  };
  const Json tile = Base()["structures"][0]["Tiles"][1];
  Json other_tile = tile;
  other_tile["TileFlags"] = 9;
  const std::string tile_path = "/structures/0/Tiles/1";
  const Case cases[] = {
      {{},
       Ops({Op("test", kFlags + "/0", "Wall")}),
       ":2: structure 1: Flags[0]:",
       R"({"line": 2, "structure": 1, "field": "Flags[0]", "expected": "Wall", "found": "BaseTile"})"},
      {{},
       Ops({Op("test", kFlags, {"Door"})}),
       ":2: structure 1: Flags:",
       R"({"line": 2, "structure": 1, "field": "Flags", "expected": ["Door"],
           "found": ["BaseTile", "Wall"]})"},
      {{},
       Ops({Op("test", tile_path, other_tile), Op("replace", tile_path, other_tile)}),
       ":3: structure 0 tile 1:",
       R"({"line": 3, "structure": 0, "tile": 1, "change": "replaced"})"},
      {{},
       Ops({Op("test", tile_path, other_tile)}),
       ":2: structure 0 tile 1:",
       R"({"line": 2, "structure": 0, "tile": 1, "change": "none"})"},
      {{},
       Ops({Op("test", "/structures/9/Armour", 1)}),
       ":2: structure 9: Armour:",
       R"({"line": 2, "structure": 9, "field": "Armour", "change": "missing"})"},
      {{},
       Ops({Op("test", tile_path, other_tile), Op("remove", tile_path)}),
       ":3: structure 0 tile 1:",
       R"({"line": 3, "structure": 0, "tile": 1, "change": "not removed"})"},
      {{Append(5)},
       Ops({Op("add", "/structures/3", NewStructure(9))}),
       ":2: structure 3:",
       R"({"line": 2, "structure": 3, "change": "added elsewhere", "added as": 4})"},
      {{[&tile](Json& json) { json["structures"][2]["Tiles"].push_back(tile); }},
       Ops({Op("add", "/structures/2/Tiles/1", tile)}),
       ":2: structure 2 tile 1:",
       R"({"line": 2, "structure": 2, "tile": 1, "change": "added elsewhere", "added as": 2})"},
  };
  TempFolder folder;
  const std::string file = folder.File("file.brx");
  const std::string patch = folder.File("p.json");
  for (const Case& c : cases) {
    testing::WriteText(patch, Patch(c.patch, Layout::kDiff));
    WriteBytes(file, BytesOf(Edited(c.file)));
    ToolRun r = RunTool({"apply", "--dry-run", file, patch});
    EXPECT_EQ(r.code, 1) << c.json;
    EXPECT_EQ(r.err.rfind(patch + c.place, 0), 0u) << c.json << "\n" << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    r = RunTool({"apply", "--dry-run", "--json", file, patch});
    EXPECT_EQ(r.code, 1) << c.json;
    Json conflict = Json::object();
    conflict["patch"] = patch;
    conflict.update(Json::parse(c.json));
    EXPECT_EQ(Json::parse(r.out)["conflicts"], Json::array({conflict})) << r.out;
  }
}

// diff --patch of two files, applied by apply to the first, gives the second.
TEST(DiffPatch, AppliedToTheFirstFileGivesTheSecond) {
  const std::vector<std::vector<Edit>> mods = {
      {},
      {Set(kArmour, 31), Set(kFlags, {"Door"}), Set(kCell, 7),
       Set("/structures/2/Tiles/0/ubVehicleHitLocation", 3)},
      {Append(1), Append(2),
       [](Json& json) {
         json["structures"][1]["Tiles"].push_back(json["structures"][2]["Tiles"][0]);
       }},
      {Erase("/structures/2"), Erase("/structures/1"), Erase("/structures/0/Tiles/1"),
       Set("/structures/0/DestructionPartner", -128)},
      {Erase("/structures/0/Tiles/1"), Erase("/structures/2/Tiles/0")},
  };
  TempFolder folder;
  const std::string base = folder.File("base.brx");
  const std::string mod = folder.File("mod.brx");
  const std::string patch = folder.File("p.json");
  for (std::size_t k = 0; k < mods.size(); ++k) {
    WriteBytes(base, BytesOf(Base()));
    WriteBytes(mod, BytesOf(Edited(mods[k])));
    const ToolRun diff = RunTool({"diff", "--patch", base, mod});
    EXPECT_EQ(diff.code, k == 0 ? 0 : 1) << k << diff.err;
    testing::WriteText(patch, diff.out);
    const ToolRun apply = RunTool({"apply", base, patch});
    EXPECT_EQ(apply.code, 0) << k << apply.err;
    EXPECT_EQ(ReadBytes(base), ReadBytes(mod)) << k << diff.out;
    // One operation a line, a test before each replace and remove.
    std::size_t lines = 0;
    std::string previous;
    for (const Json& operation : Json::parse(diff.out)) {
      const std::string op = operation["op"];
      if (op == "replace" || op == "remove") {
        EXPECT_EQ(previous, "test") << diff.out;
      }
      previous = op;
      ++lines;
    }
    EXPECT_EQ(std::count(diff.out.begin(), diff.out.end(), '\n'), lines ? lines + 2 : 1)
        << diff.out;
  }
}

}  // namespace
}  // namespace brx::tool

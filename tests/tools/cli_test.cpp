// The command line run in-process: exit codes, what goes to which stream,
// and the guarantees on real files.
#include "tools/brxtool/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "model/structure_data.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/tool_test_support.h"

namespace brx::tool {
namespace {

using testing::Parsed;
using testing::PatternDocument;
using testing::ReadBytes;
using testing::RunTool;
using testing::SampleJsonPath;
using testing::SampleJsonText;
using testing::Serialized;
using testing::TempFolder;
using testing::Text;
using testing::ToolRun;
using testing::WriteBytes;
using testing::WriteText;

bool StartsWith(const std::string& text, const std::string& start) {
  return text.rfind(start, 0) == 0;
}

TEST(Cli, HelpVersionAndUsageErrors) {
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out_start;  // stdout must be empty when this is
    std::string err_start;  // stderr must be empty when this is
  };
  const Case cases[] = {
      {{"--help"}, kExitOk, "Usage: brxtool COMMAND", ""},
      {{"--version"}, kExitOk, "brxtool " BRX_VERSION "\n", ""},
      {{"dump", "x.brx", "--json", "--help"}, kExitOk, "Usage: brxtool dump [--json]", ""},
      {{"dump", "--help"}, kExitOk, "Usage: brxtool dump [--json] [--lenient] FILE", ""},
      {{"check", "--help"}, kExitOk, "Usage: brxtool check [--strict] FILE...", ""},
      {{"build", "--help"}, kExitOk, "Usage: brxtool build IN.json OUT.brx", ""},
      {{"diff", "--help"}, kExitOk, "Usage: brxtool diff [--json] [--bytes] A B", ""},
      {{"set", "--help"}, kExitOk, "Usage: brxtool set FILE ASSIGNMENT...", ""},
      {{"merge", "--help"},
       kExitOk,
       "Usage: brxtool merge [--json] [--output OUT.brx] BASE.brx OURS.brx THEIRS.brx\n",
       ""},
      {{}, kExitUsage, "", "brxtool: no command given\n"},
      {{"list", "x.brx"}, kExitUsage, "", "brxtool: unknown command: list\n"},
      {{"--verbose"}, kExitUsage, "", "brxtool: unknown option: --verbose\n"},
      {{"--version", "dump"}, kExitUsage, "", "brxtool: --version takes no arguments\n"},
      {{"dump"}, kExitUsage, "", "brxtool: dump takes 1 file, not 0\nUsage: brxtool dump"},
      {{"dump", "a.brx", "b.brx"}, kExitUsage, "", "brxtool: dump takes 1 file, not 2\n"},
      {{"dump", "--xml", "a.brx"}, kExitUsage, "", "brxtool: unknown option for dump: --xml\n"},
      {{"check"}, kExitUsage, "", "brxtool: check takes 1 or more files, not 0\n"},
      {{"check", "--json", "a.brx"}, kExitUsage, "", "brxtool: unknown option for check: --json\n"},
      {{"check", "-", "a.brx", "-"},
       kExitUsage,
       "",
       "brxtool: standard input (\"-\") can be read only once\nUsage: brxtool check"},
      {{"build", "in.json"}, kExitUsage, "", "brxtool: build takes 2 files, not 1\n"},
      {{"diff", "a.brx"}, kExitUsage, "", "brxtool: diff takes 2 files, not 1\n"},
      {{"diff", "--strict", "a.brx", "b.brx"},
       kExitUsage,
       "",
       "brxtool: unknown option for diff: --strict\n"},
      {{"diff", "-", "-"},
       kExitUsage,
       "",
       "brxtool: standard input (\"-\") can be read only once\n"},
      {{"set", "a.brx"},
       kExitUsage,
       "",
       "brxtool: set takes a file and 1 or more assignments, not 1\n"},
      {{"set", "-", "0.Armour=1"},
       kExitUsage,
       "",
       "brxtool: set changes a file in place; standard input (\"-\") is not one\n"},
      {{"set", "--json", "a.brx", "0.Armour=1"}, kExitUsage, "", "brxtool: unknown option for set"},
      {{"merge", "a.brx", "b.brx"}, kExitUsage, "", "brxtool: merge takes 3 files, not 2\n"},
      {{"merge", "a.brx", "b.brx", "c.brx", "--output"},
       kExitUsage,
       "",
       "brxtool: --output takes one value\nUsage: brxtool merge"},
      {{"merge", "--output", "x.brx", "a.brx", "b.brx", "c.brx", "--output", "y.brx"},
       kExitUsage,
       "",
       "brxtool: --output takes one value\n"},
      {{"merge", "a.brx", "-", "c.brx"},
       kExitUsage,
       "",
       "brxtool: merge works on named files; \"-\" is not one\n"},
      {{"merge", "--output", "-", "a.brx", "b.brx", "c.brx"},
       kExitUsage,
       "",
       "brxtool: merge works on named files; \"-\" is not one\n"},
      {{"build", "in.json", "-o", "out.brx"},
       kExitUsage,
       "",
       "brxtool: unknown option for build: -o\n"},
  };
  for (const Case& c : cases) {
    const ToolRun r = RunTool(c.args);
    const std::string args = c.args.empty() ? "(none)" : c.args[0] + "...";
    EXPECT_EQ(r.code, c.code) << args;
    EXPECT_TRUE(c.out_start.empty() ? r.out.empty() : StartsWith(r.out, c.out_start))
        << args << ": " << r.out;
    EXPECT_TRUE(c.err_start.empty() ? r.err.empty() : StartsWith(r.err, c.err_start))
        << args << ": " << r.err;
  }
}

TEST(Cli, FilesThatCannotBeReadOrWrittenAreErrors) {
  TempFolder folder;
  const std::string missing = folder.File("missing.brx");
  const std::string wrong_magic = folder.File("wrong.brx");
  const std::string truncated = folder.File("truncated.brx");
  const std::string json = folder.File("in.json");
  WriteBytes(wrong_magic, std::vector<std::uint8_t>(16, 'x'));
  std::vector<std::uint8_t> bytes = Serialized(PatternDocument({2}));
  bytes.pop_back();
  WriteBytes(truncated, bytes);
  WriteText(json, SampleJsonText());
  struct Case {
    std::vector<std::string> args;
    std::string err_start;
  };
  const Case cases[] = {
      {{"dump", missing}, "brxtool: " + missing + ": cannot open the file: "},
      {{"dump", "--json", wrong_magic}, "brxtool: " + wrong_magic + ": not a structure data file"},
      {{"check", missing}, "brxtool: " + missing + ": cannot open the file: "},
      {{"check", wrong_magic}, "brxtool: " + wrong_magic + ": not a structure data file"},
      {{"check", truncated}, "brxtool: " + truncated + ": the file is truncated"},
      {{"build", folder.File("missing.json"), folder.File("out.brx")},
       "brxtool: " + folder.File("missing.json") + ": cannot open the file: "},
      {{"build", json, folder.File("no-folder/out.brx")},
       "brxtool: " + folder.File("no-folder/out.brx") + ": cannot create a temporary file in " +
           folder.File("no-folder") + ": "},
      {{"diff", truncated, wrong_magic},
       "brxtool: " + truncated +
           ": the file is truncated: tile 1 of structure 0 needs bytes up "
           "to offset 96, but the data ends at offset 95\nbrxtool: " +
           wrong_magic +
           ": not a "
           "structure data file"},
      {{"set", missing, "0.Armour=1"}, "brxtool: " + missing + ": cannot open the file: "},
      {{"set", truncated, "0.Armour=1"}, "brxtool: " + truncated + ": the file is truncated"},
      {{"dump", "--lenient", missing}, "brxtool: " + missing + ": cannot open the file: "},
  };
  for (const Case& c : cases) {
    const ToolRun r = RunTool(c.args);
    EXPECT_EQ(r.code, c.args[0] == "diff" ? 2 : kExitError) << c.args[0];
    EXPECT_EQ(r.out, "") << c.args[0];
    EXPECT_TRUE(StartsWith(r.err, c.err_start)) << r.err;
  }
}

TEST(Cli, AFailedBuildWritesNothing) {
  TempFolder folder;
  const std::string json = folder.File("in.json");
  const std::string out = folder.File("out.brx");
  const std::vector<std::uint8_t> old_content = Serialized(PatternDocument({1}));
  WriteBytes(out, old_content);
  std::string text = SampleJsonText();
  text.replace(text.find("\"Armour\": 10"), 12, "\"Armour\": 256");
  WriteText(json, text);
  ToolRun r = RunTool({"build", json, out});
  EXPECT_EQ(r.code, kExitError);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, json + ":5:17: structures[0].Armour: 256 is outside 0..255\n");
  EXPECT_EQ(ReadBytes(out), old_content);

  WriteText(json, "{\"structures\":\n  [1,]}");
  r = RunTool({"build", json, out});
  EXPECT_EQ(r.code, kExitError);
  EXPECT_EQ(r.err, json +
                       ":2:5: structures: a comma after the last element; JSON allows none "
                       "there\n");
  EXPECT_EQ(ReadBytes(out), old_content);

  r = RunTool({"build", json, folder.File("new.brx")});
  EXPECT_EQ(r.code, kExitError);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.json", "out.brx"}));

  // The JSON given as the output too, by its name or by another (hard) link.
  WriteText(json, SampleJsonText());
  std::filesystem::create_hard_link(json, folder.File("link.json"));
  for (const std::string& same : {json, folder.File("link.json")}) {
    r = RunTool({"build", json, same});
    EXPECT_EQ(r.code, kExitError);
    EXPECT_EQ(r.err, "brxtool: " + same + ": is the input file " + json +
                         "; nothing was read or written\n");
    EXPECT_EQ(Text(ReadBytes(json)), SampleJsonText());
  }
}

TEST(Cli, CanonicalJsonSurvivesBuildAndDump) {
  TempFolder folder;
  const std::string out = folder.File("sample.brx");
  ToolRun r = RunTool({"build", SampleJsonPath(), out});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  r = RunTool({"dump", "--json", out});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(r.out, SampleJsonText());
  EXPECT_EQ(r.err, "");
  // The option may follow the file.
  EXPECT_EQ(RunTool({"dump", out, "--json"}).out, SampleJsonText());
}

TEST(Cli, FilesInTheWritersFormSurviveDumpAndBuild) {
  TempFolder folder;
  const std::vector<std::vector<std::size_t>> documents = {{}, {3, 0, 1}, {255, 1}};
  for (const auto& tile_counts : documents) {
    const std::vector<std::uint8_t> file = Serialized(PatternDocument(tile_counts));
    WriteBytes(folder.File("in.brx"), file);
    const ToolRun dumped = RunTool({"dump", "--json", folder.File("in.brx")});
    ASSERT_EQ(dumped.code, kExitOk) << dumped.err;
    WriteText(folder.File("in.json"), dumped.out);
    const ToolRun built = RunTool({"build", folder.File("in.json"), folder.File("out.brx")});
    ASSERT_EQ(built.code, kExitOk) << built.err;
    EXPECT_EQ(ReadBytes(folder.File("out.brx")), file) << tile_counts.size() << " structures";
  }
}

TEST(Cli, StructureNumbersOtherThanThePositions) {
  TempFolder folder;
  const std::string path = folder.File("renumbered.brx");
  // Three structures without tiles, numbered 0, 7, 9.
  std::vector<std::uint8_t> bytes = Serialized(PatternDocument({0, 0, 0}));
  bytes[16 + 16 + 8] = 7;
  bytes[16 + 32 + 8] = 9;
  WriteBytes(path, bytes);

  ToolRun r = RunTool({"check", path});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.out,
            "warning: structure 1 has StructureNumber 7; the editor writes its position\n"
            "warning: structure 2 has StructureNumber 9; the editor writes its position\n"
            "ok: 3 structures, 0 tiles\n");
  EXPECT_EQ(r.err, "");

  r = RunTool({"dump", "--json", path});
  ASSERT_EQ(r.code, kExitOk);
  EXPECT_NE(r.out.find("\"StructureNumber\": 7,"), std::string::npos);
  EXPECT_NE(r.out.find("\"StructureNumber\": 9,"), std::string::npos);
  r = RunTool({"dump", path});
  EXPECT_NE(r.out.find("Structure 2\n  StructureNumber: 9\n"), std::string::npos) << r.out;

  WriteText(folder.File("renumbered.json"), RunTool({"dump", "--json", path}).out);
  r = RunTool({"build", folder.File("renumbered.json"), folder.File("rebuilt.brx")});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  const std::vector<std::uint8_t> rebuilt = ReadBytes(folder.File("rebuilt.brx"));
  EXPECT_EQ(rebuilt, Serialized(PatternDocument({0, 0, 0})));
  EXPECT_EQ(Parsed(rebuilt).Header(2).StructureNumber(), 2);
}

TEST(Cli, CheckAndDumpOfAGoodFile) {
  TempFolder folder;
  const std::string path = folder.File("good.brx");
  WriteBytes(path, Serialized(PatternDocument({3, 0, 1})));
  ToolRun r = RunTool({"check", path});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.out, "ok: 3 structures, 4 tiles\n");
  r = RunTool({"dump", path});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_TRUE(StartsWith(r.out, "File header\n  NumberOfStructures: 3\n")) << r.out;
  EXPECT_NE(r.out.find("\nStructure 2\n"), std::string::npos);
}

TEST(Cli, AnOutputThatCannotBeWrittenIsAnError) {
  TempFolder folder;
  const std::string path = folder.File("good.brx");
  WriteBytes(path, Serialized(PatternDocument({1})));
  const std::vector<std::string> runs[] = {
      {"dump", path},
      {"check", path},
      {"diff", path, path},
      {"build", SampleJsonPath(), "-"},
      {"merge", "--json", path, path, path, "--output", folder.File("merged.brx")}};
  for (const auto& args : runs) {
    std::istringstream in;
    std::ostream broken(nullptr);
    std::ostringstream err;
    Console console{in, broken, err};
    // diff's and merge's error is 2: 1 means the files differ, or conflict.
    const bool two = args[0] == "diff" || args[0] == "merge";
    EXPECT_EQ(RunBrxTool(args, console), two ? 2 : kExitError) << args[0];
    EXPECT_EQ(err.str(), "brxtool: cannot write to the standard output\n");
  }
  // Trouble writes nothing.
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"good.brx"});
}

TEST(Cli, DashIsStandardInputAndOutput) {
  TempFolder folder;
  const std::string path = folder.File("walls.brx");
  const std::vector<std::uint8_t> bytes = Serialized(PatternDocument({2, 0, 1}));
  WriteBytes(path, bytes);
  const std::string file = Text(bytes);
  std::string changed = file;
  changed[16] = 50;
  const std::string built = Text(Serialized(testing::SampleDocument()));
  const std::string kSameAsOnFile = "(as on the file)";
  struct Case {
    std::vector<std::string> args;
    std::string input;
    int code;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {{"dump", "-"}, file, kExitOk, kSameAsOnFile, ""},
      {{"dump", "--json", "-"}, file, kExitOk, kSameAsOnFile, ""},
      {{"check", "-"}, file, kExitOk, "ok: 3 structures, 3 tiles\n", ""},
      {{"check", path, "-"},
       file.substr(0, 20),
       kExitError,
       path + ": ok: 3 structures, 3 tiles\n",
       "brxtool: <stdin>: the file is truncated: the header of structure 0 needs bytes up to "
       "offset 32, but the data ends at offset 20\n"},
      {{"diff", path, "-"}, file, 0, "", ""},
      {{"diff", path, "-"}, changed, 1, "structure 0: Armour 1 -> 50\n", ""},
      {{"dump", "-"},
       "",
       kExitError,
       "",
       "brxtool: <stdin>: the file is shorter than its 16-byte header (0 bytes)\n"},
      {{"build", "-", "-"}, SampleJsonText(), kExitOk, built, ""},
      {{"build", "-", "-"},
       "{\"structures\": [}",
       kExitError,
       "",
       "<stdin>:1:17: structures: '}' does not close the array opened at line 1, column 16: ']' "
       "is missing\n"},
  };
  for (const Case& c : cases) {
    const ToolRun r = RunTool(c.args, c.input);
    std::vector<std::string> on_file = c.args;
    std::replace(on_file.begin(), on_file.end(), std::string("-"), path);
    EXPECT_EQ(r.code, c.code) << c.args[0];
    EXPECT_EQ(r.out, c.out == kSameAsOnFile ? RunTool(on_file).out : c.out) << c.args[0];
    EXPECT_EQ(r.err, c.err) << c.args[0];
  }
  // Standard input that cannot be read.
  std::istream unreadable(nullptr);
  std::ostringstream out;
  std::ostringstream err;
  Console console{unreadable, out, err};
  EXPECT_EQ(RunBrxTool({"dump", "-"}, console), kExitError);
  EXPECT_EQ(err.str(), "brxtool: <stdin>: cannot read the standard input\n");
  // Standard input to a named file, and a named file to standard output.
  ToolRun r = RunTool({"build", "-", folder.File("built.brx")}, SampleJsonText());
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(Text(ReadBytes(folder.File("built.brx"))), built);
  r = RunTool({"build", SampleJsonPath(), "-"});
  EXPECT_EQ(r.out, built);
}

TEST(Cli, BinaryOutputIsNotWrittenToATerminal) {
  TempFolder folder;
  ToolRun r = RunTool({"build", SampleJsonPath(), "-"}, "", true);
  EXPECT_EQ(r.code, kExitError);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "brxtool: <stdout>: a structure data file is binary; not written to a terminal "
            "(redirect the output, or name OUT.brx)\n");
  // Text is, and so is a file named on a terminal.
  r = RunTool({"build", SampleJsonPath(), folder.File("out.brx")}, "", true);
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(RunTool({"dump", "--json", folder.File("out.brx")}, "", true).out, SampleJsonText());
}

TEST(Cli, CheckTakesSeveralFilesAndStrictFailsOnWarnings) {
  TempFolder folder;
  const std::string good = folder.File("good.brx");
  const std::string odd = folder.File("odd.brx");
  const std::string bad = folder.File("bad.brx");
  WriteBytes(good, Serialized(PatternDocument({1, 0})));
  std::vector<std::uint8_t> bytes = Serialized(PatternDocument({0}));
  bytes[10] = 0;
  WriteBytes(odd, bytes);
  WriteBytes(bad, std::vector<std::uint8_t>(20, 'x'));
  const std::string twice_odd = folder.File("twice.brx");
  bytes[8] = 0;
  WriteBytes(twice_odd, bytes);
  const std::string odd_warning =
      "warning: the file header's FormatByte is 0; the editor writes 2\n";
  const std::string bad_error = "brxtool: " + bad +
                                ": not a structure data file: it does not "
                                "start with \"BRXF\"\n";
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      // One file: the lines as they always were.
      {{"check", odd}, kExitOk, odd_warning + "ok: 1 structures, 0 tiles\n", ""},
      {{"check", "--strict", odd}, kExitError, odd_warning + "fails --strict: 1 warning\n", ""},
      {{"check", "--strict", good}, kExitOk, "ok: 2 structures, 1 tiles\n", ""},
      {{"check", "--strict", twice_odd},
       kExitError,
       "warning: the file header's DataSize is 0; the editor writes 16\n" + odd_warning +
           "fails --strict: 2 warnings\n",
       ""},
      // Several: each line names its file; one that fails does not stop the others.
      {{"check", good, odd},
       kExitOk,
       good + ": ok: 2 structures, 1 tiles\n" + odd + ": " + odd_warning + odd +
           ": ok: 1 structures, 0 tiles\n",
       ""},
      {{"check", bad, good}, kExitError, good + ": ok: 2 structures, 1 tiles\n", bad_error},
      {{"check", good, odd, "--strict"},
       kExitError,
       good + ": ok: 2 structures, 1 tiles\n" + odd + ": " + odd_warning + odd +
           ": fails --strict: 1 warning\n",
       ""},
  };
  for (const Case& c : cases) {
    const ToolRun r = RunTool(c.args);
    EXPECT_EQ(r.code, c.code) << c.args.size();
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
  }
}

TEST(Cli, BuildReportsEveryMistakeWhereItIs) {
  TempFolder folder;
  const std::string json = folder.File("walls.json");
  const std::string out = folder.File("walls.brx");
  std::string text = SampleJsonText();
  text.replace(text.find("\"Density\""), 9, "\"Densty\"");
  text.replace(text.find("\"Door\""), 6, "\"Dor\"");
  text.replace(text.find("255]"), 3, "256");
  WriteText(json, text);
  ToolRun r = RunTool({"build", json, out});
  EXPECT_EQ(r.code, kExitError);
  EXPECT_EQ(r.err,
            json + ":7:7: structures[0]: unknown key \"Densty\"; did you mean \"Density\"?\n" +
                json +
                ":11:9: structures[0].Flags[2]: unknown flag \"Dor\"; did you mean "
                "\"Door\"?\n" +
                json + ":30:30: structures[0].Tiles[0].Shape[4][4]: 256 is outside 0..255\n");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"walls.json"});

  // Mistakes in the document as a whole.
  WriteText(json, "");
  EXPECT_EQ(RunTool({"build", json, out}).err, json + ":1:1: top level: the text holds no JSON\n");
  WriteText(json, "[]");
  EXPECT_EQ(RunTool({"build", json, out}).err,
            json + ":1:1: top level: expected an object, found an array\n");

  // Sixty structures with a mistake each: the first fifty, then a line.
  Json many = Json::parse(SampleJsonText());
  many["structures"] = Json(std::vector<Json>(60, many["structures"][1]));
  for (Json& structure : many["structures"]) structure["Armour"] = 300;
  WriteText(json, FormatJson(many));
  r = RunTool({"build", json, out});
  EXPECT_EQ(r.code, kExitError);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 51);
  EXPECT_TRUE(StartsWith(r.err, json + ":5:17: structures[0].Armour: 300 is outside 0..255\n"))
      << r.err;
  EXPECT_TRUE(StartsWith(r.err.substr(r.err.find("structures[49].Armour")),
                         "structures[49].Armour: 300 is outside 0..255\nbrxtool: " + json +
                             ": more mistakes follow; only the first 50 are shown\n"))
      << r.err;
}

TEST(Cli, BuildReadsTheEncodingsWindowsWrites) {
  TempFolder folder;
  const std::string json = folder.File("walls.json");
  const std::string out = folder.File("walls.brx");
  const std::vector<std::uint8_t> expected = Serialized(testing::SampleDocument());
  // The sample is ASCII: UTF-16 puts a zero byte beside each character.
  const std::string sample = SampleJsonText();
  std::string le = "\xFF\xFE";
  std::string be = "\xFE\xFF";
  for (char c : sample) {
    le += std::string{c, '\0'};
    be += std::string{'\0', c};
  }
  for (const std::string& text : {"\xEF\xBB\xBF" + sample, le, be}) {
    WriteText(json, text);
    const ToolRun r = RunTool({"build", json, out});
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(ReadBytes(out), expected);
  }
  struct Case {
    std::string bytes;
    std::string err;
  };
  const Case cases[] = {
      {le.substr(2),
       "the text looks like UTF-16 LE without a byte-order mark; save it as UTF-8, "
       "or as UTF-16 with a byte-order mark"},
      {"{\"structures\": [], \"\xE9\": 1}",
       "the text is not UTF-8: byte 0xE9 at line 1, column 21 is not part of a UTF-8 character "
       "(a file saved as Windows-1252 or Latin-1?); save it as UTF-8"},
      // The arguments the wrong way round: the .brx is not overwritten and says so.
      {Text(expected),
       "this is a structure data file (it starts with \"BRXF\"), not JSON; were the files "
       "swapped? Usage: brxtool build IN.json OUT.brx"},
  };
  for (const Case& c : cases) {
    WriteText(json, c.bytes);
    const ToolRun r = RunTool({"build", json, folder.File("new.brx")});
    EXPECT_EQ(r.code, kExitError);
    EXPECT_EQ(r.err, "brxtool: " + json + ": " + c.err + "\n");
    EXPECT_EQ(ReadBytes(json), std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.end()));
  }
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"walls.brx", "walls.json"}));
}

// Every length of a damaged file: what could be read, then the damage.
TEST(Cli, LenientDumpShowsWhatCanBeReadThenTheDamage) {
  TempFolder folder;
  const std::string path = folder.File("damaged.brx");
  const std::vector<std::uint8_t> whole = Serialized(PatternDocument({2, 0, 1}));
  // Where each structure's header starts and its tiles end.
  const std::size_t starts[] = {16, 96, 112};
  const std::size_t ends[] = {96, 112, 160};
  for (std::size_t length = 0; length <= whole.size(); ++length) {
    std::vector<std::uint8_t> bytes(whole.begin(), whole.begin() + length);
    WriteBytes(path, bytes);
    std::string reason;
    StructureSet strict;
    const bool loads = ParseStructureData(bytes.data(), bytes.size(), strict, &reason);
    for (const bool json : {false, true}) {
      std::vector<std::string> args = {"dump", "--lenient", path};
      if (json) args.push_back("--json");
      const ToolRun r = RunTool(args);
      EXPECT_EQ(r.code, kExitOk) << length;
      EXPECT_EQ(r.err, "") << length;
      if (loads) {
        EXPECT_EQ(r.out, RunTool({"dump", path, json ? "--json" : "--lenient"}).out);
        continue;
      }
      const std::string damage = "damaged: " + reason + "\n";
      ASSERT_GE(r.out.size(), damage.size());
      EXPECT_EQ(r.out.substr(r.out.size() - damage.size()), damage) << length;
      const std::string shown = r.out.substr(0, r.out.size() - damage.size());
      if (length < 16) {
        EXPECT_EQ(shown, "") << length;
        continue;
      }
      std::size_t structures = 0;
      std::size_t tiles = 0;
      for (std::size_t i = 0; i < 3; ++i) {
        if (length < starts[i] + 16) break;
        ++structures;
        tiles += (std::min(length, ends[i]) - starts[i] - 16) / 32;
      }
      if (json) {
        const Json dumped = Json::parse(shown);
        ASSERT_EQ(dumped["structures"].size(), structures) << length;
        std::size_t dumped_tiles = 0;
        for (const Json& structure : dumped["structures"])
          dumped_tiles += structure["Tiles"].size();
        EXPECT_EQ(dumped_tiles, tiles) << length;
      } else {
        EXPECT_TRUE(StartsWith(shown, "File header\n  NumberOfStructures: 3\n")) << length;
        std::size_t headings = 0;
        std::size_t tile_headings = 0;
        for (std::size_t at = 0; (at = shown.find("\nStructure ", at)) != std::string::npos; ++at)
          ++headings;
        for (std::size_t at = 0; (at = shown.find("\n  Tile ", at)) != std::string::npos; ++at)
          ++tile_headings;
        EXPECT_EQ(headings, structures) << length;
        EXPECT_EQ(tile_headings, tiles) << length;
      }
    }
  }
  // A file that is not one at all: the damage line alone.
  WriteText(path, "{\"structures\": []}");
  EXPECT_EQ(RunTool({"dump", "--lenient", path}).out,
            "damaged: not a structure data file: it does not start with \"BRXF\"\n");
}

}  // namespace
}  // namespace brx::tool

// The command line run in-process: exit codes, what goes to which stream,
// and the guarantees on real files.
#include "tools/brxtool/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "model/fields.h"
#include "model/flags.h"
#include "model/structure_data.h"
#include "os/system_file_system.h"
#include "tests/support/documents.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/tool_test_support.h"
#include "tools/brxtool/output_file.h"
#include "tools/documents/json_document.h"
#include "tools/text/csv_reader.h"

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
      {{"export", "--help"}, kExitOk, "Usage: brxtool export [--sep , | ; | tab] FILE.brx", ""},
      {{"import", "--help"}, kExitOk, "Usage: brxtool import [--dry-run] [--output OUT.brx]", ""},
      {{"export", "a.brx", "s.csv"}, kExitUsage, "", "brxtool: export takes a file and 2 tables"},
      {{"export", "--sep", ":", "a.brx", "s.csv", "t.csv"}, kExitUsage, "", "brxtool: --sep takes"},
      {{"export", "a.brx", "s.csv", "t.csv", "--sep"},
       kExitUsage,
       "",
       "brxtool: --sep takes one value"},
      {{"export", "a.brx", "-", "t.csv"}, kExitUsage, "", "brxtool: export writes two files"},
      {{"import", "a.brx"}, kExitUsage, "", "brxtool: import takes a file and 1 or more tables"},
      {{"import", "-", "s.csv"}, kExitUsage, "", "brxtool: import changes FILE.brx in place"},
      {{"import", "a.brx", "-"}, kExitUsage, "", "brxtool: import reads tables from files"},
      {{"apply", "-", "p.json"}, kExitUsage, "", "brxtool: apply changes FILE.brx in place"},
      {{"apply", "--dry-run", "-", "-"}, kExitUsage, "", "brxtool: standard input (\"-\") can"},
      {{"apply", "--output", "-", "a.brx", "p.json"}, kExitUsage, "", "brxtool: --output names"},
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
      {{"diff", "--patch", "--json", "a.brx", "b.brx"}, kExitUsage, "", "brxtool: --patch goes"},
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

// An atlas usage error names the option and the value at fault, then shows
// the usage with every option; --help shows the same.
TEST(Cli, AtlasUsageErrorsNameWhatIsWrong) {
  const std::string last_structure = std::to_string(kMaxStructures - 1);
  const std::string past_the_last = std::to_string(kMaxStructures + 1);
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> facts;
  };
  const Case cases[] = {
      {{"atlas", "a.brx"}, {"atlas", "1"}},
      {{"atlas", "--from", "x", "a.brx", "a.html"}, {"--from", "\"x\"", last_structure}},
      {{"atlas", "--to=" + past_the_last, "a.brx", "a.html"},
       {"--to", "\"" + past_the_last + "\"", last_structure}},
      {{"atlas", "--from", "5", "--to", "3", "a.brx", "a.html"}, {"--from 5", "--to 3"}},
      {{"atlas", "--compare", "-", "-", "a.html"}, {"\"-\""}},
  };
  const auto names_every_option = [](const std::string& text, std::size_t from) {
    for (const char* option : {"--compare", "--from", "--to"})
      EXPECT_NE(text.find(option, from), std::string::npos) << option << " in\n" << text;
  };
  for (const Case& c : cases) {
    const ToolRun r = RunTool(c.args);
    EXPECT_EQ(r.code, kExitUsage) << c.args[1];
    EXPECT_EQ(r.out, "") << c.args[1];
    const std::size_t usage = r.err.find("Usage: brxtool atlas");
    ASSERT_NE(usage, std::string::npos) << r.err;
    for (const std::string& fact : c.facts)
      EXPECT_NE(r.err.substr(0, usage).find(fact), std::string::npos)
          << r.err << "\nexpected " << fact;
    names_every_option(r.err, usage);
  }
  const ToolRun help = RunTool({"atlas", "--help"});
  EXPECT_EQ(help.code, kExitOk);
  EXPECT_EQ(help.err, "");
  EXPECT_TRUE(StartsWith(help.out, "Usage: brxtool atlas")) << help.out;
  names_every_option(help.out, 0);
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
  const std::string good = folder.File("good.brx");
  const std::string table = folder.File("s.csv");
  const std::string table_too = folder.File("t.csv");
  const std::string patch = folder.File("p.json");
  WriteBytes(good, Serialized(PatternDocument({1})));
  WriteText(table, "Structure,Armour\n0,200\n");
  WriteText(patch, "[]");
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
      // The rest named only: their words are those above.
      {{"export", missing, table, table_too}, "brxtool: " + missing + ": "},
      {{"import", missing, table}, "brxtool: " + missing + ": "},
      {{"atlas", missing, folder.File("page.html")}, "brxtool: " + missing + ": "},
      {{"export", good, folder.File("no-folder/s.csv"), table_too},
       "brxtool: " + folder.File("no-folder/s.csv") + ": "},
      {{"import", good, folder.File("missing.csv")},
       "brxtool: " + folder.File("missing.csv") + ": "},
      {{"import", "--output", folder.File("no-folder/out.brx"), good, table},
       "brxtool: " + folder.File("no-folder/out.brx") + ": "},
      {{"apply", "--output", folder.File("no-folder/out.brx"), good, patch},
       "brxtool: " + folder.File("no-folder/out.brx") + ": "},
  };
  for (const Case& c : cases) {
    const ToolRun r = RunTool(c.args);
    const bool two = c.args[0] == "diff" || c.args[0] == "apply";
    EXPECT_EQ(r.code, two ? 2 : kExitError) << c.args[0];
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
    Console console{in, broken, err, SystemFileSystem()};
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
  // The change `changed` holds, as a patch.
  const std::string patch = folder.File("p.json");
  const std::string applied = folder.File("applied.brx");
  WriteText(patch, "[{\"op\": \"replace\", \"path\": \"/structures/0/Armour\", \"value\": 50}]");
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
      {{"apply", "--dry-run", "-", patch}, file, kExitOk, kSameAsOnFile, ""},
      {{"apply", "--output", applied, "-", patch}, file, kExitOk, "", ""},
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
  EXPECT_EQ(Text(ReadBytes(applied)), changed);
  EXPECT_EQ(ReadBytes(path), bytes);
  // Standard input that cannot be read.
  std::istream unreadable(nullptr);
  std::ostringstream out;
  std::ostringstream err;
  Console console{unreadable, out, err, SystemFileSystem()};
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
    const bool loads = ParseStructureData(bytes.data(), bytes.size(), strict, reason);
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

// ---- export and import: a file through two tables and back ----

// The tables of a file, and the file after an import of `tables`.
struct CsvRun {
  ToolRun run;
  std::vector<std::uint8_t> result;
};

CsvRun ImportInto(const TempFolder& folder, const StructureSet& document,
                  const std::vector<std::pair<std::string, std::string>>& tables,
                  const std::vector<std::string>& options = {}) {
  const std::string file = folder.File("file.brx");
  WriteBytes(file, Serialized(document));
  std::vector<std::string> args = {"import"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(file);
  for (const auto& [name, text] : tables) {
    WriteText(folder.File(name), text);
    args.push_back(folder.File(name));
  }
  ToolRun run = RunTool(args);
  return {run, ReadBytes(file)};
}

TEST(Cli, ExportThenImportLeavesTheFileAsItWas) {
  TempFolder folder;
  const std::string file = folder.File("file.brx");
  const std::string empty = folder.File("empty.brx");
  const std::string structures = folder.File("s.csv");
  const std::string tiles = folder.File("t.csv");
  for (const std::vector<std::size_t>& counts :
       std::vector<std::vector<std::size_t>>{{}, {3, 0, 1}, {255, 1}}) {
    for (const std::string sep : {",", ";", "tab"}) {
      const std::vector<std::uint8_t> bytes = Serialized(PatternDocument(counts));
      WriteBytes(file, bytes);
      ToolRun r = RunTool({"export", "--sep", sep, file, structures, tiles});
      ASSERT_EQ(r.code, kExitOk) << r.err;
      const std::string text = Text(ReadBytes(structures));
      EXPECT_TRUE(
          StartsWith(text, "\xEF\xBB\xBFStructure" + (sep == "tab" ? "\t" : sep) + "Armour"))
          << text.substr(0, 40);
      EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
      r = RunTool({"import", file, structures, tiles});
      EXPECT_EQ(r.code, kExitOk) << r.err;
      EXPECT_EQ(ReadBytes(file), bytes);
      // Into an empty file, every row adds its record: the tiles table first.
      WriteBytes(empty, Serialized(StructureSet{}));
      r = RunTool({"import", empty, tiles, structures});
      EXPECT_EQ(r.code, kExitOk) << r.err;
      EXPECT_EQ(ReadBytes(empty), bytes);
    }
  }
}

TEST(Cli, ImportChangesWhatTheTablesHoldAndNothingElse) {
  const StructureSet original = PatternDocument({2, 1, 0});
  const std::string bom = "\xEF\xBB\xBF";
  // Excel's "Unicode text": UTF-16 LE with its mark, tab-separated, CR LF.
  const auto unicode_text = [](const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (const char c : ascii) out += std::string{c, '\0'};
    return out;
  };
  struct Case {
    std::string name;
    std::vector<std::pair<std::string, std::string>> tables;
    void (*change)(StructureSet&);
  };
  const Case cases[] = {
      {"one column",
       {{"s.csv", "Structure,Armour\n2,7\n0,5\n"}},
       [](StructureSet& set) {
         StructureHeader header = set.Header(0);
         fields::kArmour.Put(header, 5);
         set.SetHeader(0, header);
         header = set.Header(2);
         fields::kArmour.Put(header, 7);
         set.SetHeader(2, header);
       }},
      {"Excel with semicolons: sep line, BOM, CR LF, quotes, blanks, booleans, any order",
       {{"s.csv", bom + "sep=;\r\nDoor;Tiles;Structure;Density;BaseTile\r\n"
                        "TRUE;99;\"1\"; \"200\" ;false\r\n;;2;;\r\n;;;;\r\n"}},
       [](StructureSet& set) {
         StructureHeader header = set.Header(1);
         StructureFlags flags(header.Flags());
         flags.Set(*StructureFlags::BitOf("Door"), true);
         flags.Set(*StructureFlags::BitOf("BaseTile"), false);
         header.SetFlags(flags.word());
         fields::kDensity.Put(header, 200);
         set.SetHeader(1, header);
       }},
      {"Excel's Unicode text",
       {{"t.tsv",
         unicode_text("Structure\tTile\tShape[1][4]\tsPosRelToBase\r\n1\t0\t9\t-300\r\n")}},
       [](StructureSet& set) {
         TileRecord tile = set.Tile(1, 0);
         tile.SetShapeByte(TileRecord::ShapeByteIndex(1, 4), 9);
         tile.Put(TileRecord::ksPosRelToBase, IntKind::I16, static_cast<std::uint32_t>(-300));
         set.SetTile(1, 0, tile);
       }},
      {"structures and tiles added, tiles table first",
       {{"t.csv", "Structure,Tile,TileFlags\n3,1,2\n3,0,1\n0,2,5\n"},
        {"s.csv", "Structure,Armour\n4,1\n3,\n"}},
       [](StructureSet& set) {
         TileRecord tile;
         tile.Put(TileRecord::kTileFlags, IntKind::U8, 5);
         set.AppendTile(0, tile);
         set.AppendStructure(StructureEntry{});
         StructureEntry added;
         fields::kArmour.Put(added.header, 1);
         set.AppendStructure(added);
         for (const std::uint32_t flags : {1u, 2u}) {
           tile.Put(TileRecord::kTileFlags, IntKind::U8, flags);
           set.AppendTile(3, tile);
         }
       }},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    StructureSet expected = original;
    c.change(expected);
    const CsvRun r = ImportInto(folder, original, c.tables);
    EXPECT_EQ(r.run.code, kExitOk) << c.name << ": " << r.run.err;
    EXPECT_EQ(r.run.out + r.run.err, "") << c.name;
    EXPECT_EQ(r.result, Serialized(expected)) << c.name;
    // A dry run says in diff's words what the import did, and writes nothing.
    const CsvRun dry = ImportInto(folder, original, c.tables, {"--dry-run"});
    EXPECT_EQ(dry.run.code, kExitOk) << c.name;
    EXPECT_EQ(dry.result, Serialized(original)) << c.name;
    WriteBytes(folder.File("expected.brx"), Serialized(expected));
    const ToolRun diff = RunTool({"diff", folder.File("file.brx"), folder.File("expected.brx")});
    EXPECT_EQ(dry.run.out, diff.out) << c.name;
    EXPECT_NE(dry.run.out, "") << c.name;
  }
}

// Where each mistake is reported: "FILE:LINE:COLUMN (NAME)" and what the
// message must name, in file order; the file stays as it was.
TEST(Cli, ImportReportsEveryMistakeWhereItIs) {
  const StructureSet original = PatternDocument({2, 1, 0});
  struct Case {
    std::vector<std::pair<std::string, std::string>> tables;
    std::vector<std::pair<std::string, std::string>> places;  // place, a word of the message
  };
  const Case cases[] = {
      {{{"s.csv", "Structure,Armor,Tlie\n0,1\n"}},
       {{"s.csv:1:11", "\"Armour\""}, {"s.csv:1:17", "\"Tile\""}}},
      {{{"s.csv",
         "Structure,Armour,HitPoints,Door,Density,WallOrientation,ZTileOffsetX\n"
         "0,1.5,1E+3,2,2024-01-05,=A1,128\n"}},
       {{"s.csv:2:3 (Armour)", "1.5"},
        {"s.csv:2:7 (HitPoints)", "1E+3"},
        {"s.csv:2:12 (Door)", "\"2\""},
        {"s.csv:2:14 (Density)", "2024-01-05"},
        {"s.csv:2:25 (WallOrientation)", "=A1"},
        {"s.csv:2:29 (ZTileOffsetX)", "-128..127"}}},
      {{{"s.csv", "Structure,Armour\n1,1\n1,2\n3,1\n5,1\n65535,1\n,1\n"}},
       {{"s.csv:3:1 (Structure)", "1"},
        {"s.csv:5:1 (Structure)", "4"},
        {"s.csv:6:1 (Structure)", "65535"},
        {"s.csv:7:1 (Structure)", "structure"}}},
      // File order: the tiles table is named first; its mistakes come first.
      {{{"t.csv", "Structure,Tile\n9,0\n0,4\n0,2\n0,2\n\"0,1\n"},
        {"s.csv", "Structure,Shape[0][0]\n"}},
       {{"t.csv:2:1 (Structure)", "9"},
        {"t.csv:3:3 (Tile)", "3"},
        {"t.csv:5:3 (Tile)", "2"},
        {"t.csv:6:1", "quote"},
        {"s.csv:1:11", "\"Shape[0][0]\""}}},
      {{{"s.csv", "Armour\n1\n"}, {"t.csv", ""}},
       {{"s.csv:1:1", "\"Structure\""}, {"t.csv", "empty"}}},
      // A column twice, a column without a name, a cell too long, rows without a tile.
      {{{"s.csv", "Structure,Armour,Armour,\n0,1,2,5\n1," +
                      std::string(text::CsvReader::kMaxCellBytes + 1, '7') + "\n"},
        {"t.csv", "Structure,Tile,TileFlags\n0,,1\n0\n"}},
       {{"s.csv:1:18 (Armour)", "twice"},
        {"s.csv:2:7", "name"},
        {"s.csv:3:3 (Armour)", std::to_string(text::CsvReader::kMaxCellBytes)},
        {"t.csv:2:3 (Tile)", std::to_string(kMaxTilesPerStructure - 1)},
        {"t.csv:3:1 (Tile)", std::to_string(kMaxTilesPerStructure - 1)}}},
      {{{"s.csv", "Structure,Armour\n0,\xE9\n"}}, {{"s.csv:2:3", "0xE9"}}},
      // A structure data file given where a table belongs.
      {{{"s.csv", std::string("BRXF\0\0", 6)}}, {{"s.csv:1:1", "swapped"}}},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const CsvRun r = ImportInto(folder, original, c.tables);
    EXPECT_EQ(r.run.code, kExitError);
    EXPECT_EQ(r.result, Serialized(original));
    std::istringstream lines(r.run.err);
    for (const auto& [place, word] : c.places) {
      std::string line;
      std::getline(lines, line);
      const std::string start = line.find("brxtool: ") == 0 ? line.substr(9) : line;
      EXPECT_TRUE(StartsWith(start, folder.File(place))) << line << "\nexpected " << place;
      EXPECT_NE(line.find(word), std::string::npos) << line << "\nexpected " << word;
    }
    std::string last;
    std::getline(lines, last);
    EXPECT_EQ(last, "brxtool: " + folder.File("file.brx") + ": not changed") << r.run.err;
  }
}

TEST(Cli, ImportShowsTheFirstFiftyMistakes) {
  TempFolder folder;
  std::string table = "Structure,Armour,Density\n";
  for (int i = 0; i < 30; ++i) table += std::to_string(i) + ",x,y\n";
  const CsvRun r = ImportInto(folder, PatternDocument({1}), {{"s.csv", table}});
  EXPECT_EQ(r.run.code, kExitError);
  std::istringstream lines(r.run.err);
  std::vector<std::string> all;
  for (std::string line; std::getline(lines, line);) all.push_back(line);
  ASSERT_EQ(all.size(), kMostProblemsShown + 2);
  EXPECT_TRUE(StartsWith(all[0], folder.File("s.csv:2:3 (Armour)")));
  EXPECT_TRUE(StartsWith(all[1], folder.File("s.csv:2:5 (Density)")));
  EXPECT_TRUE(StartsWith(all[2], folder.File("s.csv:3:3 (Armour)")));
  EXPECT_TRUE(StartsWith(all[kMostProblemsShown], "brxtool: more"));
}

TEST(Cli, CommandsRefuseToWriteOverTheirInputs) {
  TempFolder folder;
  const std::string file = folder.File("file.brx");
  const std::string table = folder.File("s.csv");
  const std::string older = folder.File("older.brx");
  const std::string patch = folder.File("p.json");
  WriteText(patch, "[]");
  const std::vector<std::uint8_t> bytes = Serialized(PatternDocument({1}));
  const std::vector<std::uint8_t> older_bytes = Serialized(PatternDocument({1, 0}));
  WriteBytes(file, bytes);
  WriteBytes(older, older_bytes);
  ASSERT_EQ(RunTool({"export", file, table, folder.File("t.csv")}).code, kExitOk);
  const std::vector<std::uint8_t> exported = ReadBytes(table);
  const std::vector<std::vector<std::string>> refused = {
      {"export", file, file, folder.File("t.csv")},
      {"export", file, table, table},
      {"import", "--output", file, file, table},
      {"import", "--output=" + table, file, table},
      {"atlas", file, file},
      {"atlas", "--compare", older, file, older},
      // The same file by another name.
      {"apply", "--output", folder.File(".") + "/file.brx", file, patch},
      {"apply", "--output", patch, file, patch},
  };
  for (const std::vector<std::string>& args : refused) {
    const ToolRun r = RunTool(args);
    EXPECT_EQ(r.code, args[0] == "apply" ? 2 : kExitError) << args[0];
    EXPECT_NE(r.err, "") << args[0];
    EXPECT_EQ(ReadBytes(file), bytes);
    EXPECT_EQ(ReadBytes(table), exported);
    EXPECT_EQ(ReadBytes(older), older_bytes);
  }
  // --output leaves the file as it is.
  WriteText(table, "Structure,Armour\n0,200\n");
  const ToolRun r = RunTool({"import", "--output", folder.File("out.brx"), file, table});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(ReadBytes(file), bytes);
  EXPECT_NE(ReadBytes(folder.File("out.brx")), bytes);
}

TEST(Cli, AtlasRefusesWhatItCannotDrawAndLeavesNoPage) {
  TempFolder folder;
  const std::string file = folder.File("file.brx");
  const std::string page = folder.File("page.html");
  const std::string empty = folder.File("empty.brx");
  WriteBytes(file, Serialized(PatternDocument({1, 0})));
  WriteBytes(empty, Serialized(PatternDocument({})));
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"atlas", "--from", "0", empty, page}, "brxtool: " + empty + ": "},
      {{"atlas", "--to", "2", file, page},
       "brxtool: " + file + ": has 2 structures (0 to 1); there is no structure 2\n"},
      {{"atlas", "--from", "2", file, page},
       "brxtool: " + file + ": has 2 structures (0 to 1); there is no structure 2\n"},
      {{"atlas", "--compare", folder.File("old.brx"), file, page},
       "brxtool: " + folder.File("old.brx") + ": cannot open the file: "},
      {{"atlas", file, folder.File("no-folder/page.html")},
       "brxtool: " + folder.File("no-folder/page.html") + ": cannot create a temporary file in " +
           folder.File("no-folder") + ": "},
  };
  for (const Case& c : cases) {
    const ToolRun r = RunTool(c.args);
    EXPECT_EQ(r.code, kExitError) << c.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(StartsWith(r.err, c.err)) << r.err;
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"empty.brx", "file.brx"}));
  }
  const ToolRun r = RunTool({"atlas", "--from", "1", file, "-"});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_TRUE(StartsWith(r.out, "<!DOCTYPE html>"));
}

// Tables and pages are saved as structure files are: through the file
// system the command is handed, whole or not at all.
TEST(OutputFile, AStreamIsSavedWholeOrNotAtAll) {
  testing::MemoryFileSystem files;
  std::string text;
  for (int k = 0; text.size() < 200000; ++k) text += std::to_string(k) + (k % 7 ? "," : "\n");
  std::string error;
  ASSERT_TRUE(WriteWholeFile(
      files, "page.html", [&text](std::ostream& out) { return static_cast<bool>(out << text); },
      error))
      << error;
  const std::vector<std::uint8_t> written = files.Bytes("page.html");
  EXPECT_EQ(std::string(written.begin(), written.end()), text);
  // A write that stops part way leaves the old file, and nothing beside it.
  EXPECT_FALSE(WriteWholeFile(
      files, "page.html",
      [](std::ostream& out) {
        out << std::string(100000, 'x');
        return false;
      },
      error));
  EXPECT_EQ(files.Bytes("page.html"), written);
  EXPECT_EQ(files.Names(), std::vector<std::string>{"page.html"});
}

}  // namespace
}  // namespace brx::tool

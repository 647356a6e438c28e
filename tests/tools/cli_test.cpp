// The command line run in-process: exit codes, what goes to which stream,
// and the guarantees on real files.
#include "tools/brxtool/cli.h"

#include <gtest/gtest.h>

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
using testing::SampleJsonPath;
using testing::SampleJsonText;
using testing::Serialized;
using testing::TempFolder;
using testing::Text;
using testing::WriteBytes;

struct Result {
  int code;
  std::string out;
  std::string err;
};

Result RunTool(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = RunBrxTool(args, out, err);
  return {code, out.str(), err.str()};
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.rfind(start, 0) == 0;
}

void WriteText(const std::string& path, const std::string& text) {
  WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
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
      {{"dump", "--help"}, kExitOk, "Usage: brxtool dump [--json] FILE", ""},
      {{"dump", "x.brx", "--json", "--help"}, kExitOk, "Usage: brxtool dump [--json] FILE", ""},
      {{"check", "--help"}, kExitOk, "Usage: brxtool check FILE", ""},
      {{"build", "--help"}, kExitOk, "Usage: brxtool build IN.json OUT.brx", ""},
      {{}, kExitUsage, "", "brxtool: no command given\n"},
      {{"list", "x.brx"}, kExitUsage, "", "brxtool: unknown command: list\n"},
      {{"--verbose"}, kExitUsage, "", "brxtool: unknown option: --verbose\n"},
      {{"--version", "dump"}, kExitUsage, "", "brxtool: --version takes no arguments\n"},
      {{"dump"}, kExitUsage, "", "brxtool: dump takes 1 file, not 0\nUsage: brxtool dump"},
      {{"dump", "a.brx", "b.brx"}, kExitUsage, "", "brxtool: dump takes 1 file, not 2\n"},
      {{"dump", "--xml", "a.brx"}, kExitUsage, "", "brxtool: unknown option for dump: --xml\n"},
      {{"check", "--json", "a.brx"}, kExitUsage, "", "brxtool: unknown option for check: --json\n"},
      {{"check"}, kExitUsage, "", "brxtool: check takes 1 file, not 0\n"},
      {{"build", "in.json"}, kExitUsage, "", "brxtool: build takes 2 files, not 1\n"},
      {{"build", "in.json", "-o", "out.brx"},
       kExitUsage,
       "",
       "brxtool: unknown option for build: -o\n"},
  };
  for (const Case& c : cases) {
    const Result r = RunTool(c.args);
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
      // A lone "-" is a file name like any other, not standard input.
      {{"dump", "-"}, "brxtool: -: cannot open the file: "},
      {{"dump", "--json", wrong_magic}, "brxtool: " + wrong_magic + ": not a structure data file"},
      {{"check", missing}, "brxtool: " + missing + ": cannot open the file: "},
      {{"check", wrong_magic}, "brxtool: " + wrong_magic + ": not a structure data file"},
      {{"check", truncated}, "brxtool: " + truncated + ": the file is truncated"},
      {{"build", folder.File("missing.json"), folder.File("out.brx")},
       "brxtool: " + folder.File("missing.json") + ": cannot open the file: "},
      {{"build", json, folder.File("no-folder/out.brx")},
       "brxtool: " + folder.File("no-folder/out.brx") + ": cannot write the file: "},
  };
  for (const Case& c : cases) {
    const Result r = RunTool(c.args);
    EXPECT_EQ(r.code, kExitError) << c.args[0];
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
  Result r = RunTool({"build", json, out});
  EXPECT_EQ(r.code, kExitError);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "brxtool: " + json + ": structures[0].Armour: 256 is outside 0..255\n");
  EXPECT_EQ(ReadBytes(out), old_content);

  WriteText(json, "{\"structures\":\n  [1,]}");
  r = RunTool({"build", json, out});
  EXPECT_EQ(r.code, kExitError);
  EXPECT_TRUE(StartsWith(r.err, "brxtool: " + json + ": line 2, column 6: ")) << r.err;
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
  Result r = RunTool({"build", SampleJsonPath(), out});
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
    const Result dumped = RunTool({"dump", "--json", folder.File("in.brx")});
    ASSERT_EQ(dumped.code, kExitOk) << dumped.err;
    WriteText(folder.File("in.json"), dumped.out);
    const Result built = RunTool({"build", folder.File("in.json"), folder.File("out.brx")});
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

  Result r = RunTool({"check", path});
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
  Result r = RunTool({"check", path});
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
  for (const std::string command : {"dump", "check"}) {
    std::ostream broken(nullptr);
    std::ostringstream err;
    EXPECT_EQ(RunBrxTool({command, path}, broken, err), kExitError) << command;
    EXPECT_EQ(err.str(), "brxtool: cannot write to the standard output\n");
  }
}

}  // namespace
}  // namespace brx::tool

// The command table: one line per command, in the order "brxtool --help"
// lists them. A new command is a new line here.
#include <limits>

#include "tools/brxtool/commands/commands.h"

namespace brx::tool {
namespace {

constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

}  // namespace

const std::vector<Command>& Commands() {
  // clang-format off
  static const std::vector<Command> kTable = {
    // {name, usage line, summary,
    //  help, options, fewest and most operands, what they are, error code, handler}
    {"dump",  "dump [--json] [--lenient] FILE",   "list the file's content, or print it as JSON",
              kDumpHelp,  {"--json", "--lenient"},  1, 1,    "1 file",                 kExitError, RunDump},
    {"check", "check [--strict] FILE...",         "load each file as the editor does and report\noddities",
              kCheckHelp, {"--strict"},             1, kAny, "1 or more files",        kExitError, RunCheck},
    {"build", "build IN.json OUT.brx",            "write a structure data file from JSON",
              kBuildHelp, {},                       2, 2,    "2 files",                kExitError, RunBuild},
    {"diff",  "diff [--json] [--bytes] A B | diff --patch A B", "list the differences between two files,\nor print them as a JSON Patch",
              kDiffHelp,  {"--json", "--bytes", "--patch"}, 2, 2, "2 files",           kTrouble,   RunDiff},
    {"set",   "set FILE ASSIGNMENT...",           "change fields of a file in place",
              kSetHelp,   {},                       2, kAny, "a file and 1 or more assignments", kExitError, RunSet},
    {"merge", "merge [--json] [--output OUT.brx] BASE.brx OURS.brx THEIRS.brx",
              "merge the changes two files made to a\nthird, field by field (git's merge driver)",
              kMergeHelp, {"--json"},               3, 3,    "3 files",                kTrouble,   RunMerge,
              {"--output"}},
    {"export", "export [--sep , | ; | tab] FILE.brx STRUCTURES.csv TILES.csv", "write the file as two tables for a spreadsheet",
              kExportHelp, {},                       3, 3,    "a file and 2 tables",    kExitError, RunExport,
              {"--sep"}},
    {"import", "import [--dry-run] [--output OUT.brx] FILE.brx TABLE.csv...", "apply tables edited in a spreadsheet",
              kImportHelp, {"--dry-run"},            2, kAny, "a file and 1 or more tables", kExitError, RunImport,
              {"--output"}},
    {"apply", "apply [--output OUT.brx] [--dry-run] [--strict] [--json] FILE.brx PATCH.json...",
              "apply JSON Patches (mods) in a load order",
              kApplyHelp, {"--dry-run", "--strict", "--json"}, 2, kAny, "a file and 1 or more patches", kTrouble, RunApply,
              {"--output"}},
    {"atlas", "atlas [--compare OLD.brx] [--from N --to M] FILE.brx OUT.html", "write a page that draws every structure, and\nwhat a change did to them",
              kAtlasHelp, {},                        2, 2,    "a file and a page",      kExitError, RunAtlas,
              {"--compare", "--from", "--to"}},
  };
  // clang-format on
  return kTable;
}

}  // namespace brx::tool

#include "tools/brxtool/cli.h"

#include <cstddef>
#include <limits>
#include <string_view>

#include "model/file_system.h"
#include "tools/brxtool/check.h"
#include "tools/brxtool/json_document.h"
#include "tools/brxtool/listing.h"
#include "tools/brxtool/loaded_file.h"

namespace brx::tool {
namespace {

constexpr char kToolHelp[] = R"(Usage: brxtool COMMAND ARGUMENTS...
       brxtool --help | --version

Inspects, checks and converts BRXEDIT structure data files (.brx).

Commands:
  dump [--json] FILE      list the file's content, or print it as JSON
  check FILE              load the file as the editor does and report oddities
  build IN.json OUT.brx   write a structure data file from JSON

Run "brxtool COMMAND --help" for the details of a command.

Exit status: 0 success, 1 error, 2 wrong usage.
)";

constexpr char kDumpHelp[] = R"(Usage: brxtool dump [--json] FILE

Lists the structure data file FILE for people: the file header as it stands,
then each structure with every field under its label in the editor, Flags in
hex with the labels of the set bits, its tile count and its tiles, each shape
as five rows laid out as in the editor's grid.

  --json   print the file as JSON instead, in the form "brxtool build" reads:
           keys in a fixed order, each value on its own line (shape rows on
           one line each), so that a diff of two dumps shows what changed.
           StructureNumber is shown as read.
)";

constexpr char kCheckHelp[] = R"(Usage: brxtool check FILE

Loads FILE as the editor does. When it loads, prints one warning line per
oddity the editor tolerates (bytes after the last record, file header fields
the editor would write differently, StructureNumbers other than the
structure's position), then "ok: S structures, T tiles", and exits 0.
When it does not load, says why and exits 1.
)";

constexpr char kBuildHelp[] = R"(Usage: brxtool build IN.json OUT.brx

Writes the structure data file OUT.brx from IN.json, a document in the form
"brxtool dump --json" prints. OUT.brx is replaced in one step: it holds either
its old content or the whole new one. OUT.brx must not be IN.json itself
(also not through a link): that is refused before anything is read.

The JSON is read strictly. An unknown or missing key (StructureNumber and the
two Reserved keys may be left out and are then 0), a number outside its
field's range, an unknown flag label, a shape that is not 5 x 5, more than 255
tiles in a structure or more than 65535 structures stop the build with a
message naming the place in the JSON, and nothing is written.
Each structure's StructureNumber is written as its position, as the editor does.
)";

struct Invocation {
  std::vector<std::string> operands;
  bool json = false;
};

using Runner = int (*)(const Invocation&, std::ostream& out, std::ostream& err);

struct Command {
  std::string_view name;
  std::string_view usage;
  const char* help;
  std::size_t operands;
  bool takes_json;
  Runner run;
};

int Failed(const std::string& file, const std::string& reason, std::ostream& err) {
  err << "brxtool: " << file << ": " << reason << "\n";
  return kExitError;
}

int UsageError(const std::string& problem, std::string_view usage, std::ostream& err) {
  err << "brxtool: " << problem << "\n"
      << "Usage: brxtool " << usage << "\n"
      << "Run \"brxtool --help\" for help.\n";
  return kExitUsage;
}

int RunDump(const Invocation& call, std::ostream& out, std::ostream& err) {
  const std::string& path = call.operands[0];
  LoadedFile file;
  std::string reason;
  if (!LoadStructureFile(path, file, reason)) return Failed(path, reason, err);
  if (call.json) {
    out << FormatJson(DocumentToJson(file.set));
  } else {
    WriteListing(file.Header(), file.set, out);
  }
  return kExitOk;
}

int RunCheck(const Invocation& call, std::ostream& out, std::ostream& err) {
  const std::string& path = call.operands[0];
  LoadedFile file;
  std::string reason;
  if (!LoadStructureFile(path, file, reason)) return Failed(path, reason, err);
  for (const std::string& warning : CheckWarnings(file)) out << "warning: " << warning << "\n";
  out << "ok: " << file.set.StructureCount() << " structures, " << file.TileCount() << " tiles\n";
  return kExitOk;
}

int RunBuild(const Invocation& call, std::ostream&, std::ostream& err) {
  const std::string& in = call.operands[0];
  const std::string& out_path = call.operands[1];
  // Swapped or repeated names would put binary over the JSON source.
  if (SameFile(in, out_path))
    return Failed(out_path, "is the input file " + in + "; nothing was read or written", err);
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!SystemFileSystem().ReadFile(in, std::numeric_limits<std::size_t>::max(), bytes, error))
    return Failed(in, "cannot open the file: " + error, err);
  StructureSet set;
  if (!DocumentFromJsonText(std::string(bytes.begin(), bytes.end()), set, error))
    return Failed(in, error, err);
  if (!set.SaveToFile(out_path.c_str(), &error)) return Failed(out_path, error, err);
  return kExitOk;
}

const Command kCommands[] = {
    {"dump", "dump [--json] FILE", kDumpHelp, 1, true, RunDump},
    {"check", "check FILE", kCheckHelp, 1, false, RunCheck},
    {"build", "build IN.json OUT.brx", kBuildHelp, 2, false, RunBuild},
};

bool IsOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

int RunCommand(const Command& command, const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err) {
  Invocation call;
  for (std::size_t k = 1; k < args.size(); ++k) {
    const std::string& arg = args[k];
    if (arg == "--help") {
      out << command.help;
      return kExitOk;
    }
    if (arg == "--json" && command.takes_json) {
      call.json = true;
    } else if (IsOption(arg)) {
      return UsageError("unknown option for " + std::string(command.name) + ": " + arg,
                        command.usage, err);
    } else {
      call.operands.push_back(arg);
    }
  }
  if (call.operands.size() != command.operands) {
    return UsageError(std::string(command.name) + " takes " + std::to_string(command.operands) +
                          (command.operands == 1 ? " file" : " files") + ", not " +
                          std::to_string(call.operands.size()),
                      command.usage, err);
  }
  const int code = command.run(call, out, err);
  out.flush();
  if (code == kExitOk && !out) {
    err << "brxtool: cannot write to the standard output\n";
    return kExitError;
  }
  return code;
}

}  // namespace

int RunBrxTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  constexpr std::string_view kToolUsage = "COMMAND ARGUMENTS... (commands: dump, check, build)";
  if (args.empty()) return UsageError("no command given", kToolUsage, err);
  const std::string& first = args[0];
  if ((first == "--help" || first == "--version") && args.size() > 1)
    return UsageError(first + " takes no arguments", kToolUsage, err);
  if (first == "--help") {
    out << kToolHelp;
    return kExitOk;
  }
  if (first == "--version") {
    out << "brxtool " << BRX_VERSION << "\n";
    return kExitOk;
  }
  for (const Command& command : kCommands) {
    if (first == command.name) return RunCommand(command, args, out, err);
  }
  if (IsOption(first)) return UsageError("unknown option: " + first, kToolUsage, err);
  return UsageError("unknown command: " + first, kToolUsage, err);
}

}  // namespace brx::tool

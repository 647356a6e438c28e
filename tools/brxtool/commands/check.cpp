// brxtool check: does each file load as the editor loads it, and does it
// hold anything the editor would write differently?
#include "tools/documents/check.h"

#include <limits>

#include "tools/brxtool/commands/commands.h"
#include "tools/documents/input.h"
#include "tools/documents/loaded_file.h"

namespace brx::tool {

const char kCheckHelp[] = R"(Usage: brxtool check [--strict] FILE...

Loads each FILE as the editor does. When it loads, prints one warning line per
oddity the editor tolerates (bytes after the last record, file header fields
the editor would write differently, StructureNumbers other than the
structure's position), then "ok: S structures, T tiles". When it does not
load, says why on the error output. With more than one FILE, each line starts
with the file's name. FILE "-" is standard input.

  --strict   a warning fails the file too: its last line is then
             "fails --strict: N warnings" instead of "ok: ...". For CI.

Exits 0 when every file passes, 1 when any fails.
)";

int RunCheck(const Invocation& call, Console& io) {
  if (!StandardInputAtMostOnce(call.operands))
    return UsageError("standard input (\"-\") can be read only once", call.usage, io.err);
  const bool strict = call.Has("--strict");
  int code = kExitOk;
  for (const std::string& operand : call.operands) {
    const std::string name = DisplayName(operand);
    const std::string prefix = call.operands.size() > 1 ? name + ": " : "";
    LoadedFile file;
    std::string reason;
    if (!LoadStructureFile(operand, io.inputs(), file, reason)) {
      code = Failed(name, reason, io.err, kExitError);
      continue;
    }
    const std::vector<std::string> warnings = CheckWarnings(file);
    for (const std::string& warning : warnings) io.out << prefix << "warning: " << warning << "\n";
    if (strict && !warnings.empty()) {
      io.out << prefix << "fails --strict: " << warnings.size()
             << (warnings.size() == 1 ? " warning\n" : " warnings\n");
      code = kExitError;
    } else {
      io.out << prefix << "ok: " << file.set.StructureCount() << " structures, " << file.TileCount()
             << " tiles\n";
    }
  }
  return code;
}

}  // namespace brx::tool

// brxtool dump: a file's content for people, or as JSON.
#include "tools/brxtool/commands/commands.h"
#include "tools/documents/input.h"
#include "tools/documents/json_document.h"
#include "tools/documents/listing.h"
#include "tools/documents/loaded_file.h"

namespace brx::tool {

const char kDumpHelp[] = R"(Usage: brxtool dump [--json] [--lenient] FILE

Lists the structure data file FILE for people: the file header as it stands,
then each structure with every field under its label in the editor, Flags in
hex with the labels of the set bits, its tile count and its tiles, each shape
as five rows laid out as in the editor's grid. FILE "-" is standard input.

  --json      print the file as JSON instead, in the form "brxtool build"
              reads: keys in a fixed order, each value on its own line (shape
              rows on one line each), so that a diff of two dumps shows what
              changed. StructureNumber is shown as read.
  --lenient   a damaged file is not an error: print everything that could be
              read (each structure whose header is whole, with its whole
              tiles), then one line "damaged: " and what the damage is, and
              exit 0. For git, which must show old versions whatever they hold.
)";

int RunDump(const Invocation& call, Console& io) {
  const std::string& operand = call.operands[0];
  LoadedFile file;
  std::string reason;
  const bool lenient = call.Has("--lenient");
  const bool loaded = lenient ? LoadStructureFileUpToDamage(operand, io.inputs(), file, reason)
                              : LoadStructureFile(operand, io.inputs(), file, reason);
  if (!loaded) return Failed(DisplayName(operand), reason, io.err, kExitError);
  if (file.HasHeader()) {
    if (call.Has("--json")) {
      text::JsonWriter writer(io.out);
      WriteDocumentJson(file.set, writer);
    } else {
      WriteListing(file.Header(), file.set, io.out);
    }
  }
  if (!file.damage.empty()) io.out << "damaged: " << file.damage << "\n";
  return kExitOk;
}

}  // namespace brx::tool

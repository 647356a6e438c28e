// brxtool set: change fields of a file in place, without JSON.
#include <limits>

#include "model/structure_files.h"
#include "tools/brxtool/commands/commands.h"
#include "tools/documents/assignment.h"
#include "tools/documents/input.h"
#include "tools/documents/loaded_file.h"

namespace brx::tool {

const char kSetHelp[] = R"(Usage: brxtool set FILE ASSIGNMENT...

Changes fields of the structure data file FILE in place. Each ASSIGNMENT names
a structure by its position and a field by its name in the JSON form:

  12.Armour=50                  a field of structure 12
  12.Flags=BaseTile,Door        all of structure 12's flags (empty: none)
  12.Flags+=Door                set flags, keeping the others
  "12.Flags-=Wire Fence"        clear flags, keeping the others
  12.tiles.1.ubVehicleHitLocation=3
  12.tiles.1.Shape[2][3]=1      the shape cell of row 2, column 3 of tile 1

Flags take labels as "brxtool dump --json" shows them, several separated by
commas. Every assignment is checked first (the structure and the tile exist,
the field's name, the value within the field's range, as "brxtool build"
checks JSON); if any is wrong, each wrong one is reported and FILE is not
touched. Assignments to the same field apply in order. StructureNumber cannot
be set: it is written as the structure's position.

FILE (not "-": it is changed in place) is written as the editor writes it,
replaced in one step: it holds either its old content or the whole new one.
Like a save from the editor, this puts each structure's position in its
StructureNumber, computes the file header, and drops bytes after the last
record ("brxtool check" names them beforehand).
)";

int RunSet(const Invocation& call, Console& io) {
  const std::string& path = call.operands[0];
  if (path == kStandardStream) {
    return UsageError("set changes a file in place; standard input (\"-\") is not one", call.usage,
                      io.err);
  }
  LoadedFile file;
  std::string reason;
  if (!LoadStructureFile(path, io.inputs(), file, reason))
    return Failed(path, reason, io.err, kExitError);
  bool applied = true;
  for (std::size_t k = 1; k < call.operands.size(); ++k) {
    const std::string& assignment = call.operands[k];
    std::string problem;
    if (!ApplyAssignment(assignment, file.set, problem)) {
      Failed(path, assignment + ": " + problem, io.err, kExitError);
      applied = false;
    }
  }
  if (!applied) return Failed(path, "not changed", io.err, kExitError);
  if (!SaveToFile(file.set, path.c_str(), io.files, reason))
    return Failed(path, reason, io.err, kExitError);
  return kExitOk;
}

}  // namespace brx::tool

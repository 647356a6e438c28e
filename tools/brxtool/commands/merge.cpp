// brxtool merge: a three-way merge of structure data files, for git.
#include <algorithm>
#include <exception>
#include <ostream>
#include <utility>

#include "model/structure_files.h"
#include "tools/brxtool/commands/commands.h"
#include "tools/documents/input.h"
#include "tools/documents/merge/conflict_report.h"
#include "tools/documents/merge/document_merge.h"

namespace brx::tool {

const char kMergeHelp[] =
    R"(Usage: brxtool merge [--json] [--output OUT.brx] BASE.brx OURS.brx THEIRS.brx

Merges the changes that OURS.brx and THEIRS.brx made to their common ancestor
BASE.brx, field by field, and writes the result into OURS.brx (or OUT.brx),
as a merge driver for git does:

  git config merge.brx.driver "brxtool merge %O %A %B"

Structures and tiles are matched by position. A field changed on one side only
takes that side's value; changed the same way on both, that value; changed
differently, it is a conflict. Flags and TileFlags merge bit by bit: one side
setting Door and the other clearing Wall is no conflict. Structures and tiles
appended on one side are taken; appended on both, they must be the same.
Trailing structures or tiles removed on one side conflict with changes to them
or additions after them on the other. What every save rewrites
(StructureNumber, NumberOfTiles, the file header, bytes after the last record)
never conflicts.

Each conflict is listed on standard error in the words of "brxtool diff":

  structure 3: Armour: base 30, ours 40, theirs 50
  structure 7 tile 1: Shape[2][3]: base 0, ours 1, theirs 2
  structure 12: added on both sides, differently
  structure 13: changed on ours, removed on theirs

The file written then holds ours' value for each conflict, and everything that
merged cleanly; settle each one in the editor or with "brxtool set".

  --output OUT.brx   write the merge to OUT.brx; OURS.brx stays as it is
  --json             list the conflicts on standard output instead, as
                     {"conflicts": [...]}: one object per conflict with
                     "structure", "tile" where it applies, and "field",
                     "base", "ours" and "theirs" (numbers), or for a whole
                     structure or tile "ours" and "theirs" ("added",
                     "changed" or "removed").

The file is written as the editor saves it, replaced in one step. Exits 0 when
the merge is clean, 1 when it has conflicts, 2 on trouble (a file that does
not load or cannot be written, wrong usage), with nothing written.
)";

namespace {

// As git expects of a merge driver: clean, conflicts, and kTrouble.
enum MergeExit : int { kClean = 0, kConflicts = 1 };

int Merge(const Invocation& call, Console& io) {
  const std::string out_path = call.Value("--output").value_or(call.operands[1]);
  StructureSet files[3];
  bool loaded = true;
  for (std::size_t k = 0; k < 3; ++k) {
    std::string reason;
    if (!LoadFromFile(files[k], call.operands[k].c_str(), io.files, reason)) {
      Failed(call.operands[k], reason, io.err, kTrouble);
      loaded = false;
    }
  }
  if (!loaded) return kTrouble;
  const MergeResult result = MergeDocuments(files[0], std::move(files[1]), files[2]);
  // The list goes out first: output that cannot be written is trouble, and
  // trouble writes nothing.
  const bool json = call.Has("--json");
  if (json) {
    text::JsonWriter writer(io.out);
    WriteConflicts(result.conflicts, writer);
    if (!io.out.flush()) return OutputFailed(io.err, kTrouble);
  }
  std::string reason;
  if (!SaveToFile(result.merged, out_path.c_str(), io.files, reason))
    return Failed(out_path, reason, io.err, kTrouble);
  if (!json) {
    for (const Conflict& conflict : result.conflicts) io.err << ConflictText(conflict) << "\n";
  }
  return result.conflicts.empty() ? kClean : kConflicts;
}

}  // namespace

int RunMerge(const Invocation& call, Console& io) {
  std::vector<std::string> files = call.operands;
  for (const auto& value : call.values) files.push_back(value.second);
  if (std::count(files.begin(), files.end(), kStandardStream)) {
    return UsageError("merge works on named files; \"-\" is not one", call.usage, io.err);
  }
  // Out of memory on huge files, mostly: trouble, never "conflicts".
  try {
    return Merge(call, io);
  } catch (const std::exception& e) {
    return Failed(call.operands[1], e.what(), io.err, kTrouble);
  }
}

}  // namespace brx::tool

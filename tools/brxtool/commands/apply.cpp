// brxtool apply: JSON Patches applied to a structure data file in a load
// order, as a game loads its mods.
#include <exception>
#include <memory>
#include <optional>
#include <ostream>
#include <utility>

#include "model/structure_files.h"
#include "tools/brxtool/commands/commands.h"
#include "tools/documents/document_diff.h"
#include "tools/documents/input.h"
#include "tools/documents/json_document.h"
#include "tools/documents/loaded_file.h"
#include "tools/documents/patch/patch_apply.h"
#include "tools/documents/patch/patch_report.h"

namespace brx::tool {

const char kApplyHelp[] =
    R"(Usage: brxtool apply [--output OUT.brx] [--dry-run] [--strict] [--json] FILE.brx PATCH.json...

Applies JSON Patches (RFC 6902) to the structure data file FILE.brx, one after
the other in the order given, as a game loads its mods, and saves once: in
place, or into OUT.brx. A patch works on the document "brxtool dump --json"
prints, e.g. /structures/3/Armour, /structures/3/Flags (a list of labels),
/structures/3/Tiles/1/Shape/2/3. "brxtool diff --patch BASE.brx MOD.brx"
makes one; patches written by hand or by any JSON Patch tool work too (add,
remove, replace, move, copy, test).

A test that does not hold is a conflict, not the end: the patch goes on and
its values win, as later mods win in a load order. Each conflict is one line
on standard error, naming the patch, its line, the record and the field:

  mod-b.json:14: structure 3: Armour: expected 30, found 40; set to 50
  mod-b.json:20: structure 9: not as the patch expected; not removed
  mod-b.json:30: structure 120: the file has one already; added as structure 125

A test and a replace of one field where the file already has the new value
is no conflict. A test and a replace of Flags set and clear the labels the
patch changes and keep the others the file has. A structure or tile that a
patch adds where the file has one already goes to the end instead, since
other game data refers to structures by number; a record to remove that is
not as the patch's test expects is kept.

Mistakes stop the run with nothing written: a patch that is not JSON or not a
patch, a path that is no part of the document, a value outside its field's
range, a file that does not load. Each is listed as PATCH:LINE:COLUMN:
message, a misspelt name with the one it may mean; after 50, a last line
says that more follow.

  --output OUT.brx   write the result to OUT.brx, which must be none of the
                     files read, and leave FILE.brx as it is
  --dry-run          print the changes in the words of "brxtool diff" and the
                     conflicts, and write nothing
  --strict           write nothing when there are conflicts
  --json             list the conflicts on standard output instead, as
                     {"conflicts": [...]} (with --dry-run, "changes" first,
                     as "brxtool diff --json" lists them): "patch", "line",
                     "structure", "tile" and "field" where they apply, and
                     "expected", "found" and "set", or for a record "change"

The file is written as the editor writes it, replaced in one step. Exits 0
when every patch applied cleanly, 1 with conflicts, 2 on trouble (mistakes, a
file that cannot be read or written, wrong usage).
)";

namespace {

enum ApplyExit : int { kClean = 0, kConflicts = 1 };

// Every patch in its order: a patch that cannot be read is a mistake of the run.
void ApplyPatches(const Invocation& call, Console& io, PatchApplier& applier) {
  for (std::size_t k = 1; k < call.operands.size(); ++k) {
    const std::string& operand = call.operands[k];
    const std::string name = DisplayName(operand);
    std::string error;
    const std::unique_ptr<InputFile> source = OpenInput(operand, io.inputs(), error);
    if (!source) {
      applier.NoteMistake("brxtool: " + name + ": " + error);
      continue;
    }
    InputText input_text(*source);
    text::TextDecoder patch_text(input_text);
    if (!patch_text.Start()) {
      applier.NoteMistake("brxtool: " + name +
                          ": cannot read the file: " + patch_text.read_error());
      continue;
    }
    std::string swapped;
    if (!IsNotStructureData(patch_text.first_bytes(), "a patch", swapped)) {
      applier.NoteMistake("brxtool: " + name + ": " + swapped + " Usage: brxtool " +
                          std::string(call.usage));
      continue;
    }
    applier.Apply(name, patch_text);
  }
}

void WriteJson(const std::vector<PatchConflict>& conflicts, const LoadedFile* before,
               const LoadedFile& after, text::JsonWriter& writer) {
  writer.BeginObject();
  if (before) {
    writer.Key("changes");
    writer.BeginArray();
    CompareFiles(*before, after, false,
                 [&writer](const Difference& change) { WriteDifference(change, writer); });
    writer.EndArray();
  }
  writer.Key("conflicts");
  writer.BeginArray();
  for (const PatchConflict& conflict : conflicts) WritePatchConflict(conflict, writer);
  writer.EndArray();
  writer.EndObject();
  writer.Finish();
}

int Apply(const Invocation& call, Console& io) {
  const std::string& path = call.operands[0];
  const std::optional<std::string> output = call.Value("--output");
  const bool dry_run = call.Has("--dry-run");
  const bool json = call.Has("--json");
  LoadedFile file;
  std::string reason;
  if (!LoadStructureFile(path, io.inputs(), file, reason))
    return Failed(DisplayName(path), reason, io.err, kTrouble);
  // Only a dry run, which tells the changes, keeps the file as it was.
  std::unique_ptr<LoadedFile> before;
  if (dry_run) before = std::make_unique<LoadedFile>(file);

  std::vector<StructureEntry> entries = file.set.TakeEntries();
  PatchApplier applier(entries);
  ApplyPatches(call, io, applier);
  file.set.Reserve(entries.size());
  for (StructureEntry& entry : entries) file.set.AppendStructure(std::move(entry));
  entries = {};

  if (!applier.mistakes().empty()) {
    for (const std::string& mistake : applier.mistakes()) io.err << mistake << "\n";
    if (applier.more_mistakes()) {
      io.err << "brxtool: " << MoreMistakes(kMostProblemsShown) << "\n";
    }
    return Failed(DisplayName(path), "not changed", io.err, kTrouble);
  }
  const std::vector<PatchConflict>& conflicts = applier.conflicts();
  const int code = conflicts.empty() ? kClean : kConflicts;
  // The lists go out first: output that cannot be written is trouble, and
  // trouble writes nothing.
  if (json) {
    text::JsonWriter writer(io.out);
    WriteJson(conflicts, before.get(), file, writer);
  } else if (dry_run) {
    CompareFiles(*before, file, false,
                 [&io](const Difference& change) { io.out << DifferenceText(change) << "\n"; });
  }
  if (!io.out.flush()) return OutputFailed(io.err, kTrouble);
  if (!json) {
    for (const PatchConflict& conflict : conflicts) io.err << PatchConflictText(conflict) << "\n";
  }
  if (dry_run) return code;
  if (code == kConflicts && call.Has("--strict"))
    return Failed(DisplayName(path), "not changed (--strict, and there are conflicts)", io.err,
                  kConflicts);
  const std::string& target = output ? *output : path;
  if (!SaveToFile(file.set, target.c_str(), io.files, reason))
    return Failed(target, reason, io.err, kTrouble);
  return code;
}

}  // namespace

int RunApply(const Invocation& call, Console& io) {
  const std::string& path = call.operands[0];
  if (!StandardInputAtMostOnce(call.operands))
    return UsageError("standard input (\"-\") can be read only once", call.usage, io.err);
  if (const auto refused = RefusedInPlaceStandardInput(call, io.err)) return *refused;
  if (const auto refused = RefusedOutput(call, io, kTrouble)) return *refused;
  // Out of memory on huge files, mostly: trouble, never "conflicts".
  try {
    return Apply(call, io);
  } catch (const std::exception& e) {
    return Failed(DisplayName(path), e.what(), io.err, kTrouble);
  }
}

}  // namespace brx::tool

// brxtool atlas: a page that draws every structure, and what a change did.
#include <optional>

#include "model/number_text.h"
#include "model/structure_data.h"
#include "tools/brxtool/commands/commands.h"
#include "tools/brxtool/output_file.h"
#include "tools/documents/atlas/atlas_page.h"
#include "tools/documents/input.h"
#include "tools/documents/loaded_file.h"
#include "tools/text/quoting.h"

namespace brx::tool {

const char kAtlasHelp[] =
    R"(Usage: brxtool atlas [--compare OLD.brx] [--from N --to M] FILE.brx OUT.html

Writes OUT.html, one page that draws the structures of FILE.brx: each with
its number, its fields, its flags, and its tiles placed at their offsets from
the base tile, every shape cell shaded by its value (0 blank, 255 darkest).
At the top: the file's counts and a histogram of each field; a find box takes
a structure number, a flag label, a comparison (Armour>50, HitPoints=0) or
several of them (Door Armour<20). OUT.html#12 opens at structure 12.

The page stands alone (its style, script and data inside it, nothing fetched)
and opens offline in Chromium, Firefox and Edge.

  --compare OLD.brx   mark what FILE.brx changed against OLD.brx, as
                      "brxtool diff OLD.brx FILE.brx" lists it: changed
                      fields with the old value beside, changed shape cells
                      outlined, added structures and tiles, flags set and
                      cleared; with a "changes only" switch
  --from N --to M     draw structures N to M only (either may be left out:
                      the first, the last), under their own numbers

A page carries at most 160 MiB of data (about 120 MB of records: 65,535
structures of up to 59 tiles), so that a browser can open it; a larger file
is refused, naming a range that fits. FILE.brx or OLD.brx "-" is standard
input; OUT.html "-" is standard output. OUT.html is saved as "set" saves a
file: whole or not at all, an old page left as it was on a failure.
)";

namespace {

constexpr std::size_t kMebibyte = std::size_t{1} << 20;

// "--from 12": a structure's number. Nothing when the option is not given;
// false when its value is not a number.
bool StructureNumberOption(const Invocation& call, std::string_view option,
                           std::optional<std::size_t>& number) {
  const std::optional<std::string> text = call.Value(option);
  if (!text) return true;
  std::uint32_t bits = 0;
  if (FieldNumber(*text, IntKind::U16, bits) != NumberProblem::kNone) return false;
  number = bits;
  return true;
}

// The page's name for a file: its name without its folder.
std::string PageName(const std::string& operand) {
  if (operand == kStandardStream) return DisplayName(operand);
  const std::size_t slash = operand.find_last_of("/\\");
  return slash == std::string::npos ? operand : operand.substr(slash + 1);
}

std::string Megabytes(std::size_t bytes) {
  return std::to_string((bytes + kMebibyte - 1) / kMebibyte) + " MiB";
}

std::string FittingRange(const StructureSet& set, std::size_t first) {
  const std::size_t last = first + StructuresThatFit(set, first) - 1;
  return "--from " + std::to_string(first) + " --to " + std::to_string(last);
}

bool Load(const std::string& operand, Console& io, LoadedFile& file) {
  std::string reason;
  if (LoadStructureFile(operand, io.inputs(), file, reason)) return true;
  Failed(DisplayName(operand), reason, io.err, kExitError);
  return false;
}

}  // namespace

int RunAtlas(const Invocation& call, Console& io) {
  const std::string& in = call.operands[0];
  const std::string& out_path = call.operands[1];
  const std::optional<std::string> old_path = call.Value("--compare");
  std::optional<std::size_t> from;
  std::optional<std::size_t> to;
  for (const auto& [option, number] : {std::pair{"--from", &from}, std::pair{"--to", &to}}) {
    if (!StructureNumberOption(call, option, *number)) {
      return UsageError(std::string(option) + " takes a structure number (0 to " +
                            std::to_string(kMaxStructures - 1) + "), not " +
                            text::Quoted(*call.Value(option)),
                        call.usage, io.err);
    }
  }
  if (from && to && *from > *to)
    return UsageError("--from " + std::to_string(*from) + " is past --to " + std::to_string(*to),
                      call.usage, io.err);
  std::vector<std::string> inputs = {in};
  if (old_path) inputs.push_back(*old_path);
  if (!StandardInputAtMostOnce(inputs))
    return UsageError("standard input (\"-\") can be read only once", call.usage, io.err);
  for (const std::string& input : inputs) {
    // Swapped names would put the page over a structure data file.
    if (out_path != kStandardStream && input != kStandardStream &&
        io.files.SameFile(input, out_path))
      return Failed(out_path, "is the input file " + input + "; nothing was written", io.err,
                    kExitError);
  }

  LoadedFile file;
  LoadedFile old;
  if (!Load(in, io, file) || (old_path && !Load(*old_path, io, old))) return kExitError;
  const std::size_t structures = file.set.StructureCount();
  const std::size_t first = from.value_or(0);
  if ((from || to) && to.value_or(first) >= structures) {
    return Failed(DisplayName(in),
                  "has " + std::to_string(structures) + " structures" +
                      (structures ? " (0 to " + std::to_string(structures - 1) + ")" : "") +
                      "; there is no structure " + std::to_string(to.value_or(first)),
                  io.err, kExitError);
  }
  const std::size_t count = to ? *to - first + 1 : structures - first;
  const std::size_t record_bytes = PageRecordBytes(file.set, first, count);
  if (record_bytes > kMostPageDataBytes) {
    return Failed(DisplayName(in),
                  "too large for one page: its structures take " + Megabytes(record_bytes) +
                      " in a page, which carries at most " + Megabytes(kMostPageDataBytes) +
                      " so that a browser can open it; draw a range of structures at a time "
                      "with --from N --to M (" +
                      FittingRange(file.set, first) + " fits)",
                  io.err, kExitError);
  }

  AtlasPage page;
  page.facts.name = PageName(in);
  page.facts.first = first;
  page.facts.count = count;
  page.facts.file_structures = structures;
  page.set = &file.set;
  PageChanges changes;
  if (old_path) {
    if (!CollectChanges(old, file, first, count, kMostPageDataBytes - record_bytes, changes)) {
      return Failed(DisplayName(in),
                    "too many changes against " + DisplayName(*old_path) +
                        " for one page, which carries at most " + Megabytes(kMostPageDataBytes) +
                        "; mark them a range of structures at a time with --from N --to M",
                    io.err, kExitError);
    }
    page.facts.compared_with = PageName(*old_path);
    page.facts.changed_structures = changes.changed_structures;
    page.facts.removed_structures = changes.removed_structures;
    page.changes = &changes;
  }
  if (out_path == kStandardStream) {
    WriteAtlasPage(page, io.out);
    return kExitOk;
  }
  std::string error;
  const bool written = WriteWholeFile(
      io.files, out_path,
      [&page](std::ostream& out) {
        WriteAtlasPage(page, out);
        return static_cast<bool>(out);
      },
      error);
  return written ? kExitOk : Failed(out_path, error, io.err, kExitError);
}

}  // namespace brx::tool

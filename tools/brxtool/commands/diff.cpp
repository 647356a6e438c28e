// brxtool diff: what changed between two structure data files.
#include "tools/brxtool/commands/commands.h"
#include "tools/documents/document_diff.h"
#include "tools/documents/input.h"
#include "tools/documents/loaded_file.h"
#include "tools/documents/patch/patch_writer.h"

namespace brx::tool {

const char kDiffHelp[] = R"(Usage: brxtool diff [--json] [--bytes] A B
       brxtool diff --patch A B

Lists the differences between the structure data files A and B, one per line,
by structure, tile and field, under the names of the JSON form, in file order:

  structure 12: Armour 40 -> 50
  structure 3 Flags: +Door -Wall
  structure 12 tile 1: Shape[2][3] 0 -> 1
  structure 12 tile 2: removed
  structure 13: added

Shape[r][c] is the cell of row r and column c, as in "brxtool dump --json".
Structures and tiles are matched by position. What the editor rewrites on
saving does not count: StructureNumbers, the file header past
NumberOfStructures, and bytes after the last record. A or B "-" is standard
input.

  --json    print {"differences": [...]}, one object per difference, with the
            keys "structure", "tile", "part", "field" where they apply, and
            "from" and "to" (a changed value), "change" ("added" or
            "removed"), or "added" and "removed" (the Flags labels set and
            cleared).
  --bytes   count what the editor rewrites too: StructureNumber, the
            "file header" fields NumberOfStructuresCopy, DataSize, FormatByte
            and Reserved (bytes 11 to 15, in hex), and the "trailing bytes"
            (in hex, the first 16 and their count). Files without a
            difference are then byte for byte the same.
  --patch   print a JSON Patch (RFC 6902) that turns A's "brxtool dump
            --json" document into B's, one operation a line: for each
            changed field a "test" of A's value and a "replace" with B's,
            records B appends as "add", trailing records B lacks as a
            "test" and a "remove". "brxtool apply" applies it.

Exits 0 when the files are equal, 1 when they differ, 2 on trouble (a file
that cannot be read or does not load, wrong usage), as diff(1) does.
)";

int RunDiff(const Invocation& call, Console& io) {
  if (!StandardInputAtMostOnce(call.operands))
    return UsageError("standard input (\"-\") can be read only once", call.usage, io.err);
  if (call.Has("--patch") && (call.Has("--json") || call.Has("--bytes")))
    return UsageError("--patch goes with neither --json nor --bytes", call.usage, io.err);
  LoadedFile files[2];
  bool loaded = true;
  for (std::size_t k = 0; k < 2; ++k) {
    std::string reason;
    if (!LoadStructureFile(call.operands[k], io.inputs(), files[k], reason)) {
      Failed(DisplayName(call.operands[k]), reason, io.err, kTrouble);
      loaded = false;
    }
  }
  if (!loaded) return kTrouble;
  if (call.Has("--patch")) {
    text::JsonWriter writer(io.out);
    PatchWriter patch(files[0].set, files[1].set, writer);
    const std::size_t count =
        CompareFiles(files[0], files[1], false, [&patch](const Difference& d) { patch.Write(d); });
    patch.Finish();
    return count == 0 ? kEqual : kDifferent;
  }
  const bool json = call.Has("--json");
  text::JsonWriter writer(io.out);
  if (json) {
    writer.BeginObject();
    writer.Key("differences");
    writer.BeginArray();
  }
  const std::size_t count =
      CompareFiles(files[0], files[1], call.Has("--bytes"), [&](const Difference& difference) {
        if (json) {
          WriteDifference(difference, writer);
        } else {
          io.out << DifferenceText(difference) << "\n";
        }
      });
  if (json) {
    writer.EndArray();
    writer.EndObject();
    writer.Finish();
  }
  return count == 0 ? kEqual : kDifferent;
}

}  // namespace brx::tool

// brxtool import: tables edited in a spreadsheet put back into a structure
// data file.
#include <algorithm>
#include <limits>

#include "model/file_system.h"
#include "model/structure_files.h"
#include "tools/brxtool/commands/commands.h"
#include "tools/documents/input.h"
#include "tools/documents/json_document.h"
#include "tools/documents/loaded_file.h"
#include "tools/documents/tables/table_import.h"

namespace brx::tool {

const char kImportHelp[] =
    R"(Usage: brxtool import [--dry-run] [--output OUT.brx] FILE.brx TABLE.csv...

Applies tables in the form "brxtool export" writes, edited in a spreadsheet
or by hand, to the structure data file FILE.brx: in place, or into OUT.brx.
A table with a Tile column is a table of tiles; any other, a table of
structures. Tables of structures are applied first.

Each row changes the record its key columns name (Structure, and Tile for a
tile), in the columns the table has and in the cells that are not empty: a
table of just Structure and Armour changes Armour and nothing else, and
records without a row keep what they have. Columns may stand in any order;
the Tiles column is ignored. Rows whose Structure continues the file without
a gap (N, N+1, ... for a file of N structures) add structures, and rows whose
Tile continues a structure's tiles add tiles, with 0 in what they leave out.
Nothing is ever removed.

Read: UTF-8 with or without a byte-order mark, UTF-16 with one (Excel's
"Unicode text"); comma, semicolon or tab as the separator, taken from the
first line (or from Excel's "sep=;" line before it); CR LF, LF or CR line
ends; quoted cells, blanks around values; 0, 1, TRUE or FALSE in a flag
column. Values are checked as "brxtool set" checks them: a whole number
within the field's range, never cut to fit.

Every mistake is reported, in the order of the tables and of their lines,
one per line as FILE:LINE:COLUMN (NAME): message, where NAME is the column:
an unknown column (with the known one it may mean: "Armor" for "Armour"), a
value that is not a whole number (a spreadsheet's 1.5, 1E+3 or date
included) or outside its field's range, a key given twice, a gap among the
added records, a tile of a structure that does not exist. After 50 mistakes a
last line says that more follow. Any mistake leaves every file as it was.

  --dry-run          print the changes in the words of "brxtool diff" and
                     write nothing
  --output OUT.brx   write the result to OUT.brx and leave FILE.brx as it is;
                     OUT.brx must be none of the files read

The file is written as the editor writes it, replaced in one step: it holds
either its old content or the whole new one. Like a save from the editor,
this puts each structure's position in its StructureNumber, computes the
file header, and drops bytes after the last record, so that an export and an
import without edits leave a file the editor wrote as it was, byte for byte.
)";

namespace {

using csv::TableImport;
using csv::TableKind;
using csv::TableSource;

}  // namespace

int RunImport(const Invocation& call, Console& io) {
  const std::string& path = call.operands[0];
  const std::optional<std::string> output = call.Value("--output");
  const bool dry_run = call.Has("--dry-run");
  if (const auto refused = RefusedInPlaceStandardInput(call, io.err)) return *refused;
  for (std::size_t k = 1; k < call.operands.size(); ++k) {
    if (call.operands[k] == kStandardStream)
      return UsageError("import reads tables from files; standard input (\"-\") is not one",
                        call.usage, io.err);
  }
  if (const auto refused = RefusedOutput(call, io, kExitError)) return *refused;
  LoadedFile file;
  std::string reason;
  if (!LoadStructureFile(path, io.inputs(), file, reason))
    return Failed(DisplayName(path), reason, io.err, kExitError);

  TableImport table_import(file.set, dry_run);
  std::vector<std::unique_ptr<TableSource>> tables;
  for (std::size_t k = 1; k < call.operands.size(); ++k) {
    const std::string& name = call.operands[k];
    std::string error;
    std::unique_ptr<InputFile> source = io.files.OpenForReading(name, error);
    if (!source) {
      table_import.NoteTable(k, "brxtool: " + name + ": cannot open the file: " + error);
      continue;
    }
    auto table = std::make_unique<TableSource>(name, k, std::move(source));
    if (table_import.ReadHeader(*table)) tables.push_back(std::move(table));
  }
  // Structures first, so that tiles may go under the structures a table adds.
  for (const TableKind kind : {TableKind::kStructures, TableKind::kTiles}) {
    for (const auto& table : tables) {
      if (table->kind == kind) table_import.ReadRows(*table);
    }
  }
  table_import.Finish();

  const auto& problems = table_import.problems().items();
  const std::size_t shown = std::min(problems.size(), kMostProblemsShown);
  for (std::size_t k = 0; k < shown; ++k) io.err << problems[k].text << "\n";
  if (problems.size() > shown) {
    io.err << "brxtool: " << MoreMistakes(shown) << "\n";
  }
  if (!problems.empty()) return Failed(DisplayName(path), "not changed", io.err, kExitError);
  if (dry_run) {
    table_import.Changes(
        [&io](const Difference& change) { io.out << DifferenceText(change) << "\n"; });
    return kExitOk;
  }
  const std::string& target = output ? *output : path;
  if (!SaveToFile(file.set, target.c_str(), io.files, reason))
    return Failed(target, reason, io.err, kExitError);
  return kExitOk;
}

}  // namespace brx::tool

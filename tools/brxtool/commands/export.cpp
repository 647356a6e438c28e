// brxtool export: a structure data file as two tables for a spreadsheet.
#include <optional>

#include "model/file_system.h"
#include "tools/brxtool/commands/commands.h"
#include "tools/brxtool/output_file.h"
#include "tools/documents/input.h"
#include "tools/documents/loaded_file.h"
#include "tools/documents/tables/table_columns.h"
#include "tools/documents/tables/table_export.h"
#include "tools/text/quoting.h"

namespace brx::tool {

const char kExportHelp[] =
    R"(Usage: brxtool export [--sep , | ; | tab] FILE.brx STRUCTURES.csv TILES.csv

Writes the structures and the tiles of the structure data file FILE.brx as
two tables, for balancing in a spreadsheet; "brxtool import" puts them back.

STRUCTURES.csv has one row per structure: Structure (its position, counting
from 0), one column per field under its name in the JSON form (Armour,
HitPoints, Density, WallOrientation, DestructionPartner, PartnerDelta,
ZTileOffsetX, ZTileOffsetY, Reserved), one column per flag under its label
(BaseTile ... Person) holding 0 or 1, and Tiles, the tile count, for reading
only (import ignores it).

TILES.csv has one row per tile: Structure and Tile (the tile's position under
its structure), sPosRelToBase, bXPosRelToBase, bYPosRelToBase, the 25 shape
cells Shape[r][c] (row r, column c, as in the JSON form), TileFlags,
ubVehicleHitLocation and Reserved.

The tables are UTF-8 with a byte-order mark and CR LF line ends, which Excel
on Windows opens correctly by double-click. Every cell is a whole number or a
name, which no spreadsheet turns into anything else.

  --sep SEP   the separator: "," (the default; Excel where the decimal sign
              is a point), ";" (Excel where the decimal sign is a comma, as
              in most of Europe), or "tab" (tab-separated text)

FILE.brx "-" is standard input. STRUCTURES.csv and TILES.csv are two files,
neither of them FILE.brx; each is saved as "set" saves a file: whole or not
at all, an old table left as it was on a failure.
)";

namespace {

using csv::TableKind;

// ',' for ",", ';' for ";", a tab for "tab"; 0 for anything else.
char SeparatorNamed(const std::string& name) {
  if (name == "," || name == ";") return name[0];
  return name == "tab" ? '\t' : 0;
}

bool WriteTableFile(FileSystem& files, const std::string& path, TableKind kind,
                    const StructureSet& set, char separator, std::string& error) {
  return WriteWholeFile(
      files, path, [&](std::ostream& out) { return csv::WriteTable(out, kind, set, separator); },
      error);
}

}  // namespace

int RunExport(const Invocation& call, Console& io) {
  const std::string& in = call.operands[0];
  const std::string tables[] = {call.operands[1], call.operands[2]};
  const std::optional<std::string> sep = call.Value("--sep");
  const char separator = SeparatorNamed(sep.value_or(","));
  if (!separator) {
    return UsageError("--sep takes \",\", \";\" or \"tab\", not " + text::Quoted(*sep), call.usage,
                      io.err);
  }
  for (const std::string& table : tables) {
    if (table == kStandardStream)
      return UsageError("export writes two files; standard output (\"-\") is not one", call.usage,
                        io.err);
    // Swapped names would put a table over the structure data file.
    if (in != kStandardStream && io.files.SameFile(in, table))
      return Failed(table, "is the input file " + in + "; nothing was written", io.err, kExitError);
  }
  if (tables[0] == tables[1] || io.files.SameFile(tables[0], tables[1]))
    return Failed(tables[1], "names the same file as " + tables[0] + "; nothing was written",
                  io.err, kExitError);
  LoadedFile file;
  std::string reason;
  if (!LoadStructureFile(in, io.inputs(), file, reason))
    return Failed(DisplayName(in), reason, io.err, kExitError);
  const TableKind kinds[] = {TableKind::kStructures, TableKind::kTiles};
  for (std::size_t k = 0; k < 2; ++k) {
    if (!WriteTableFile(io.files, tables[k], kinds[k], file.set, separator, reason))
      return Failed(tables[k], reason, io.err, kExitError);
  }
  return kExitOk;
}

}  // namespace brx::tool

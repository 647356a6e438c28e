#include "tools/documents/tables/table_export.h"

#include "model/flags.h"
#include "tools/text/csv_writer.h"

namespace brx::tool::csv {
namespace {

void Row(text::CsvWriter& out, const std::vector<Column>& columns, std::size_t structure,
         std::size_t tile, const StructureEntry& entry, const TileRecord* record) {
  for (const Column& column : columns) {
    switch (column.role) {
      case Column::Role::kStructureKey:
        out.Cell(static_cast<std::int64_t>(structure));
        break;
      case Column::Role::kTileKey:
        out.Cell(static_cast<std::int64_t>(tile));
        break;
      case Column::Role::kInteger:
        out.Cell(record ? column.field.ValueIn(*record) : column.field.ValueIn(entry.header));
        break;
      case Column::Role::kFlag:
        out.Cell(std::int64_t{StructureFlags(entry.header.Flags()).Test(column.bit)});
        break;
      case Column::Role::kReadOnly:
        out.Cell(static_cast<std::int64_t>(entry.tiles.size()));
        break;
    }
  }
  out.EndRow();
}

}  // namespace

bool WriteTable(std::ostream& stream, TableKind kind, const StructureSet& set, char separator) {
  text::CsvWriter out(stream, separator);
  const std::vector<Column>& columns = ColumnsOf(kind);
  for (const Column& column : columns) out.Cell(column.name);
  out.EndRow();
  for (std::size_t i = 0; i < set.StructureCount(); ++i) {
    const StructureEntry& entry = set.Entry(i);
    if (kind == TableKind::kStructures) Row(out, columns, i, 0, entry, nullptr);
    for (std::size_t j = 0; kind == TableKind::kTiles && j < entry.tiles.size(); ++j)
      Row(out, columns, i, j, entry, &entry.tiles[j]);
  }
  return out.Flush();
}

}  // namespace brx::tool::csv

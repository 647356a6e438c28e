#include "tools/documents/tables/table_columns.h"

#include "model/flags.h"

namespace brx::tool::csv {
namespace {

Column FieldColumn(std::string name, Column::Role role, const Field& field) {
  return {std::move(name), role, field, 0};
}

std::vector<Column> StructureColumns() {
  std::vector<Column> columns{FieldColumn(std::string(kStructureKey), Column::Role::kStructureKey,
                                          fields::kStructureNumber)};
  // The position stands in for StructureNumber, which every save rewrites.
  for (const Field& field : fields::kStructureFields) {
    if (field.role == FieldRole::kInteger && !field.rewritten_on_save)
      columns.push_back(FieldColumn(std::string(field.name), Column::Role::kInteger, field));
  }
  const auto& labels = StructureFlags::Labels();
  for (std::size_t bit = 0; bit < labels.size(); ++bit)
    columns.push_back({std::string(labels[bit]), Column::Role::kFlag, fields::kFlags, bit});
  columns.push_back(
      FieldColumn(std::string(fields::kTiles.name), Column::Role::kReadOnly, fields::kTiles));
  return columns;
}

std::vector<Column> TileColumns() {
  std::vector<Column> columns{
      FieldColumn(std::string(kStructureKey), Column::Role::kStructureKey,
                  fields::kStructureNumber),
      FieldColumn(std::string(kTileKey), Column::Role::kTileKey, fields::kTiles)};
  for (const Field& field : fields::kTileFields) {
    if (field.role != FieldRole::kShape) {
      columns.push_back(FieldColumn(std::string(field.name), Column::Role::kInteger, field));
      continue;
    }
    for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
      for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
        columns.push_back(FieldColumn(ShapeCellName(row, column), Column::Role::kInteger,
                                      ShapeCellField(row, column)));
      }
    }
  }
  return columns;
}

}  // namespace

const std::vector<Column>& ColumnsOf(TableKind kind) {
  static const std::vector<Column> kStructureColumns = StructureColumns();
  static const std::vector<Column> kTileColumns = TileColumns();
  return kind == TableKind::kTiles ? kTileColumns : kStructureColumns;
}

const Column* FindColumn(TableKind kind, std::string_view name) {
  for (const Column& column : ColumnsOf(kind)) {
    if (column.name == name) return &column;
  }
  return nullptr;
}

std::vector<std::string_view> ColumnNames(TableKind kind) {
  std::vector<std::string_view> names;
  for (const Column& column : ColumnsOf(kind)) names.push_back(column.name);
  // A tile table is one with a Tile column: a mistyped one is worth naming.
  if (kind == TableKind::kStructures) names.push_back(kTileKey);
  return names;
}

}  // namespace brx::tool::csv

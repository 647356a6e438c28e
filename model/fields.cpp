#include "model/fields.h"

namespace brx {

Field ShapeCellField(std::size_t row, std::size_t column) {
  Field cell = fields::kShape;
  cell.role = FieldRole::kInteger;
  cell.offset = fields::kShape.offset + TileRecord::ShapeByteIndex(row, column);
  return cell;
}

std::string ShapeCellName(std::size_t row, std::size_t column) {
  return std::string(fields::kShape.name) + "[" + std::to_string(row) + "][" +
         std::to_string(column) + "]";
}

std::optional<std::size_t> ShapeByteOfName(std::string_view name) {
  // Exactly the name, then "[r][c]" with one digit each.
  const std::string_view base = fields::kShape.name;
  const std::size_t at = base.size();
  const bool cell = name.size() == at + 6 && name.substr(0, at) == base && name[at] == '[' &&
                    name[at + 2] == ']' && name[at + 3] == '[' && name[at + 5] == ']';
  if (!cell) return std::nullopt;
  // A character below '0' wraps round to a large index.
  const std::size_t row = static_cast<std::size_t>(name[at + 1] - '0');
  const std::size_t column = static_cast<std::size_t>(name[at + 4] - '0');
  if (row >= TileRecord::kShapeSide || column >= TileRecord::kShapeSide) return std::nullopt;
  return TileRecord::ShapeByteIndex(row, column);
}

}  // namespace brx

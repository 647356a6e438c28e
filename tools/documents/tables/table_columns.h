// The columns of the two tables, taken from the field table and the flag
// labels: one table of structures and one of tiles, each led by its key
// columns, so that a row names the record it belongs to.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/fields.h"

namespace brx::tool::csv {

enum class TableKind { kStructures, kTiles };

inline constexpr std::string_view kStructureKey = "Structure";
inline constexpr std::string_view kTileKey = "Tile";

struct Column {
  enum class Role {
    kStructureKey,  // the structure's position
    kTileKey,       // the tile's position under its structure
    kInteger,       // a field of the record, or one shape cell: `field`
    kFlag,          // bit `bit` of the structure's Flags, 0 or 1
    kReadOnly,      // the tile count: shown, not read back
  };
  std::string name;
  Role role;
  Field field;
  std::size_t bit;
};

// In the order export writes them.
const std::vector<Column>& ColumnsOf(TableKind kind);

// The column of that name, or null.
const Column* FindColumn(TableKind kind, std::string_view name);

// The names a mistyped column name may have meant.
std::vector<std::string_view> ColumnNames(TableKind kind);

}  // namespace brx::tool::csv

// A document written as one of the two tables, a row as it goes.
#pragma once

#include <ostream>

#include "model/structure_set.h"
#include "tools/documents/tables/table_columns.h"

namespace brx::tool::csv {

// The header and a row per structure (or per tile), in the columns of
// ColumnsOf(kind). False when the stream fails.
bool WriteTable(std::ostream& out, TableKind kind, const StructureSet& set, char separator);

}  // namespace brx::tool::csv

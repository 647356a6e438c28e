// One change to a document, written on the command line as
// STRUCTURE.FIELD=VALUE or STRUCTURE.tiles.TILE.FIELD=VALUE, with
// Flags+=LABEL and Flags-=LABEL to set and clear flags one by one.
#pragma once

#include <string>

#include "model/structure_set.h"

namespace brx::tool {

// Checks the assignment against the document (the path, the field's name,
// the value's range, as `build` checks JSON) and makes the change in `set`.
// On failure `set` is unchanged and `error` says what is wrong.
bool ApplyAssignment(const std::string& assignment, StructureSet& set, std::string& error);

}  // namespace brx::tool

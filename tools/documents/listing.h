// The listing of `brxtool dump`: a file's content for people to read, every
// field under the label the editor's forms give it.
#pragma once

#include <ostream>

#include "model/records.h"
#include "model/structure_set.h"

namespace brx::tool {

// The file header as read, then each structure with its fields, its flags in
// hex with the labels of the set bits, its tile count and its tiles, each
// tile's shape as five rows laid out as in the editor's grid.
void WriteListing(const FileHeader& header, const StructureSet& set, std::ostream& out);

}  // namespace brx::tool

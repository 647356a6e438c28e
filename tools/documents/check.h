// What `brxtool check` reports about a file the editor loads without
// complaint, but would not write the same way.
#pragma once

#include <string>
#include <vector>

#include "tools/documents/loaded_file.h"

namespace brx::tool {

// How many StructureNumber mismatches are named one by one before the rest
// are only counted.
constexpr std::size_t kNamedStructureNumberMismatches = 5;

// One line per oddity, in file order: bytes after the last record; file
// header fields other than what the writer puts there; StructureNumbers that
// are not the structure's position (the first few, then a count).
std::vector<std::string> CheckWarnings(const LoadedFile& file);

}  // namespace brx::tool

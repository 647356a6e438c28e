// What a file changed against an older one, for the page to mark: the
// differences `brxtool diff` finds, kept for the structures on the page and
// written compactly, six numbers each.
#pragma once

#include <cstddef>
#include <string>

#include "tools/documents/loaded_file.h"

namespace brx::tool {

struct PageChanges {
  // "kind,structure,tile,field,a,b," for each difference: the kind and the
  // field by their codes in the page's model (-1: a whole record), tile -1
  // for the structure's own fields; a and b are the old and the new value of
  // a changed value, the bits set and cleared of Flags, else 0.
  std::string numbers;
  // Structures on the page with a difference, and structures of the older
  // file past the newer one's end (counted only when the page reaches it).
  std::size_t changed_structures = 0;
  std::size_t removed_structures = 0;
};

// The changes within structures first to first + count - 1. False, with
// `changes` incomplete, when their text would pass `most_bytes`.
bool CollectChanges(const LoadedFile& old, const LoadedFile& file, std::size_t first,
                    std::size_t count, std::size_t most_bytes, PageChanges& changes);

}  // namespace brx::tool

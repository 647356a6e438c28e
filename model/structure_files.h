// Loading a StructureSet from a file and saving it to one, through the file
// system the caller hands in.
#pragma once

#include <string>

#include "model/file_system.h"
#include "model/structure_set.h"

namespace brx {

// Replaces the document by the file's content. The document is cleared
// first, whatever follows; on failure it stays empty and `error` says why
// in words fit for a user.
bool LoadFromFile(StructureSet& set, const char* name, FileSystem& files, std::string& error);

// Writes the document to the file, atomically: the file holds either its
// old content or the whole new one, never a mixture. Only the bytes change:
// a symbolic link is written through and stays, and the file keeps its
// permissions (and owner and group where the process may set them). A
// file the user could not write in place, or that is no regular file, is
// refused. The document itself is not changed. On failure nothing on disk
// changes and `error` says why.
bool SaveToFile(const StructureSet& set, const char* name, FileSystem& files, std::string& error);

}  // namespace brx

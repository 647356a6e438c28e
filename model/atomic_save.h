// Saving a file so that it holds either its old content or the whole new
// one, never a mixture, whatever writes its bytes: the structure data of the
// editor and of brxtool, and brxtool's tables and pages alike.
#pragma once

#include <functional>
#include <string>

#include "model/file_system.h"

namespace brx {

// Hands `write` a sink for the bytes of the file `name`, and puts them in
// its place once `write` returns true. A symbolic link is written through
// and stays, and a file keeps its permissions (and owner and group where the
// process may set them). A file the user could not write in place, or that
// is no regular file, is refused. On failure nothing on disk changes and
// `error` says why in words fit for a user.
bool SaveAtomically(FileSystem& files, const std::string& name,
                    const std::function<bool(const ByteSink& sink)>& write, std::string& error);

}  // namespace brx

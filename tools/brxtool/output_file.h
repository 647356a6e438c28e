// A file a command writes as a stream (a table, a page), saved as the
// structure data is: atomically, so that a file cut short never passes for a
// whole one and a failed write leaves the old file as it was.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "model/file_system.h"

namespace brx::tool {

// Hands `write` a stream for the file `path`, which takes the file's place
// when `write` returns true (it returns false when it could not write
// everything). On failure `error` says why.
bool WriteWholeFile(FileSystem& files, const std::string& path,
                    const std::function<bool(std::ostream&)>& write, std::string& error);

}  // namespace brx::tool

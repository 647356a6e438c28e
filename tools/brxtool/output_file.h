// A file a command writes as it goes (a table, a page): when it cannot be
// written whole it is removed again, so that a file cut short never passes
// for a whole one.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace brx::tool {

// Creates or truncates `path` and hands it to `write`, which returns false
// when it could not write everything. On failure `error` says why.
bool WriteWholeFile(const std::string& path, const std::function<bool(std::ostream&)>& write,
                    std::string& error);

}  // namespace brx::tool

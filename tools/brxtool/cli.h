// The brxtool command line, apart from the process so that tests can run it.
#pragma once

#include <string>
#include <vector>

#include "tools/brxtool/command.h"

namespace brx::tool {

// Runs one command. `args` are the arguments after the program name; data
// goes to `console.out`, errors to `console.err`. Returns the process's exit
// code.
int RunBrxTool(const std::vector<std::string>& args, Console& console);

}  // namespace brx::tool

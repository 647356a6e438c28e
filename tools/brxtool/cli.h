// The brxtool command line, apart from the process so that tests can run it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brx::tool {

enum ExitCode : int {
  kExitOk = 0,
  kExitError = 1,  // the file or the JSON could not be read, converted or written
  kExitUsage = 2,  // the command line itself is wrong
};

// Runs one command. `args` are the arguments after the program name; data
// goes to `out`, errors to `err`. Returns the process's exit code.
int RunBrxTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace brx::tool

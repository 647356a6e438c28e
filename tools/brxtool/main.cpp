// brxtool: the command-line companion of the editor.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/brxtool/cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return brx::tool::RunBrxTool(args, std::cout, std::cerr);
  } catch (const std::exception& e) {
    // Out of memory on a huge input, mostly: still an error, not a crash.
    std::cerr << "brxtool: " << e.what() << "\n";
    return brx::tool::kExitError;
  }
}

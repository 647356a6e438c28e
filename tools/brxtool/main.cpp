// brxtool: the command-line companion of the editor.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "os/system_file_system.h"
#include "tools/brxtool/cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// The same bytes on every system: without this, Windows would turn each line
// break written into CR LF, and each CR LF read into a line break, and would
// end binary data read or written through the standard streams at a byte 0x1A.
void UseBinaryStandardStreams() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

bool StandardOutputIsTerminal() {
#ifdef _WIN32
  // _isatty would say yes for the NUL device too; only a console has a mode.
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
#else
  return isatty(fileno(stdout));
#endif
}

}  // namespace

int main(int argc, char** argv) {
  UseBinaryStandardStreams();
  const std::vector<std::string> args(argv + 1, argv + argc);
  brx::tool::Console console{std::cin, std::cout, std::cerr, brx::SystemFileSystem(),
                             StandardOutputIsTerminal()};
  try {
    return brx::tool::RunBrxTool(args, console);
  } catch (const std::exception& e) {
    // Out of memory on a huge input, mostly: still an error, not a crash.
    std::cerr << "brxtool: " << e.what() << "\n";
    return brx::tool::kExitError;
  }
}

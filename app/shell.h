// The life of the program: start-up, the one run of the message loop with
// the main frame, and shutdown.
#pragma once

#include <windows.h>

namespace brx {

// Creates the loop and the main frame (loading the start-up file named by
// `commandLineText`, if any, before the frame is shown), shows the frame with
// `showCommand` and runs the loop. Returns the quit code, 1 after a normal
// close, or 0 at once when the frame window cannot be created.
int RunShell(const char* commandLineText, int showCommand);

// The whole entry routine: COM and the common-control classes, the module,
// RunShell, then shutdown in reverse. Returns the exit code.
int RunProgram(HINSTANCE instance, const char* commandLineText, int showCommand);

}  // namespace brx

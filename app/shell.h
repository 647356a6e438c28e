// The life of the program: start-up, the one run of the message loop with
// the main frame, and shutdown.
#pragma once

#include <windows.h>

#include "model/file_system.h"

namespace brx {

// Creates the loop and the main frame (loading the start-up file named by
// `commandLineText`, if any, before the frame is shown), shows the frame with
// `showCommand` and runs the loop. Returns the quit code, 1 after a normal
// close, or 0 at once when the frame window cannot be created. Documents are
// loaded and saved through `files`.
int RunShell(const char* commandLineText, int showCommand, FileSystem& files);

// The whole entry routine: COM and the common-control classes, the module,
// RunShell, then shutdown in reverse. Returns the exit code.
int RunProgram(HINSTANCE instance, const char* commandLineText, int showCommand, FileSystem& files);

}  // namespace brx

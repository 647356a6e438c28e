// The GUI entry point. The runtime start-up code hands over the command line
// without the program name and the show command from the start-up
// information (SW_SHOWDEFAULT when it carries none).
#include <windows.h>

#include "app/shell.h"
#include "os/system_file_system.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLineText, int showCommand) {
  return brx::RunProgram(instance, commandLineText, showCommand, brx::SystemFileSystem());
}

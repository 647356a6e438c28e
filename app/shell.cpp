#include "app/shell.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/main_frame.h"
#include "app/message_loop.h"
#include "app/program_module.h"
#include "app/startup_file_name.h"

namespace brx {
namespace {

// The loop is this thread's from construction to the end of the run, on
// every way out, so the registry never names a loop that is gone.
class ThreadLoopRegistration {
 public:
  explicit ThreadLoopRegistration(CMessageLoop& loop) {
    ProgramModule().RegisterLoop(GetCurrentThreadId(), &loop);
  }
  ~ThreadLoopRegistration() { ProgramModule().UnregisterLoop(GetCurrentThreadId()); }
  ThreadLoopRegistration(const ThreadLoopRegistration&) = delete;
  ThreadLoopRegistration& operator=(const ThreadLoopRegistration&) = delete;
};

}  // namespace

int RunShell(const char* commandLineText, int showCommand, FileSystem& files) {
  CMessageLoop loop;
  ThreadLoopRegistration registration(loop);
  CMainFrame frame(StartupFileName(commandLineText), files);
  HWND window = frame.CreateMainWindow();
  if (!window) {
    OutputDebugStringA("Main window creation failed!\n");
    return 0;
  }
  ShowWindow(window, showCommand);
  return loop.Run();
}

int RunProgram(HINSTANCE instance, const char* commandLineText, int showCommand,
               FileSystem& files) {
  // Start-up goes on whatever these report: the window layer copes with
  // what is missing.
  CoInitialize(nullptr);
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  ProgramModule().Init(instance);

  const int exit_code = RunShell(commandLineText, showCommand, files);

  ProgramModule().Term();
  CoUninitialize();
  return exit_code;
}

}  // namespace brx

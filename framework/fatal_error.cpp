#include "framework/fatal_error.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace brx::framework {
namespace {

void ReportToUser(const char* text) {
  OutputDebugStringA(text);
  std::fputs(text, stderr);
  std::fflush(stderr);
  MessageBoxA(nullptr, text, "BRXEDIT", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

FatalErrorReporter reporter = ReportToUser;

}  // namespace

void EndWithFatalError(const char* what) {
  const std::string text =
      std::string("BRXEDIT met an internal error and must close: ") + what + "\n";
  reporter(text.c_str());
  ExitProcess(3);
}

FatalErrorReporter SetFatalErrorReporter(FatalErrorReporter replacement) {
  const FatalErrorReporter old = reporter;
  reporter = replacement;
  return old;
}

}  // namespace brx::framework

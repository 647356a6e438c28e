// The one way out for an error that escapes a message handler: exceptions
// must not unwind through the system's window procedures, so the boundary
// catches them and ends the program with a diagnostic.
#pragma once

#include <exception>

namespace brx::framework {

using FatalErrorReporter = void (*)(const char* text);

// Reports `what` through the current reporter, then ends the process with
// exit code 3. The default reporter writes to the debugger output and standard
// error and shows a message box.
[[noreturn]] void EndWithFatalError(const char* what);

// Replaces the reporter (tests use this to keep message boxes away); returns the old one.
FatalErrorReporter SetFatalErrorReporter(FatalErrorReporter reporter);

// Runs `body` and turns any exception into EndWithFatalError.
template <typename Body>
auto CatchAtBoundary(Body&& body) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (const std::exception& error) {
    EndWithFatalError(error.what());
  } catch (...) {
    EndWithFatalError("an unknown exception");
  }
}

}  // namespace brx::framework

// What windows and controls show, read the one way every Windows test reads it.
#pragma once

#include <windows.h>

#include <string>

namespace brx::testing {

// A window's title, or a control's text.
std::string WindowText(HWND window);

// The status bar's text: the simple part's while in simple mode, else part 0's.
std::string StatusText(HWND status_bar);

}  // namespace brx::testing

// The program's private window messages, numbered in one place so that no
// two of them share a number. Each is posted to a window of the program's
// own to finish something once the input being handled is done.
#pragma once

#include <windows.h>

namespace brx {

// To the main frame: tell the user that the file named on the command line
// did not load, once the frame is shown and the loop runs.
constexpr UINT kReportStartupFailure = WM_APP + 1;

// To a property pane: put the focus on the field in wparam. A tree whose
// change of selection was refused during a mouse click takes the focus
// itself after the click, whatever was focused meanwhile.
constexpr UINT kFocusFieldMessage = WM_APP + 2;

}  // namespace brx

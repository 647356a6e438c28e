#include "tests/support/window_text.h"

// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

namespace brx::testing {

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string StatusText(HWND status_bar) {
  // Windows answers for the simple part as part 255, Wine as part 0.
  char text[512] = {};
  if (SendMessageA(status_bar, SB_ISSIMPLE, 0, 0))
    SendMessageA(status_bar, SB_GETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text));
  if (!text[0]) SendMessageA(status_bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

}  // namespace brx::testing

// The popups of a menu bar while one is open: the popup of a button opens
// under it, and while it is open the mouse and the arrow keys move on to the
// neighbouring buttons' popups, until an item is chosen or the menu closed.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/menu_bar_buttons.h"

namespace brx::framework {

class PopupTracker {
 public:
  // `owner` receives the menu messages (WM_INITMENUPOPUP, WM_MENUSELECT,
  // WM_COMMAND) of every popup opened.
  PopupTracker(const MenuBarButtons& buttons, HWND owner) : buttons_(buttons), owner_(owner) {}
  PopupTracker(const PopupTracker&) = delete;
  PopupTracker& operator=(const PopupTracker&) = delete;

  struct Outcome {
    int last_button;
    bool escaped;  // closed with Escape at its top level, not by a choice or a click
  };

  // Modal: returns once no popup is open any more. `select_first_item` starts
  // with the first item highlighted, as opening from the keyboard does.
  Outcome Run(int button, bool select_first_item);

 private:
  struct Request {
    int button = -1;
    bool select_first_item = false;
  };

  void TrackOne(const Request& request);
  // Ends the open popup and names the one to open next (-1: none).
  void SwitchTo(int button, bool select_first_item);
  // True when the message is used up here and the menu must not see it.
  bool Filter(const MSG& message);
  bool FilterKey(WPARAM key);
  bool HighlightedItemOpensSubmenu() const;

  static LRESULT CALLBACK MenuMessageHook(int code, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK CreationHook(int code, WPARAM wparam, LPARAM lparam);

  const MenuBarButtons& buttons_;
  const HWND owner_;
  int current_ = -1;
  Request next_;
  bool escaped_ = false;
  POINT last_mouse_{};
  // The menu windows on screen, top popup first, submenus after it.
  std::vector<HWND> menu_windows_;
};

}  // namespace brx::framework

// The base of a top-level frame window: a rebar at the top, a status bar at
// the bottom and a client window in between, kept laid out as the frame and
// the bars change size; menu help in the status bar and toolbar tooltips,
// both from string resources ("help text\ntooltip" under the command's id).
#pragma once

#include <windows.h>

#include "framework/window.h"

namespace brx::framework {

// The string that holds the status-bar help for a menu item: system
// commands share one string per 16 ids, the rest use their own id.
WORD MenuHelpStringId(WORD item_id);

class CFrameWindowBase : public CWindowImpl {
 public:
  HWND toolbarHost() const { return toolbarHost_; }
  HWND statusBar() const { return statusBar_; }
  HWND client() const { return client_; }

  // Rebar at the top and status bar at the bottom, each only while visible;
  // the client takes the rest. `resize_bars` lets the bars re-fit themselves
  // to the frame's width first.
  void LayoutChildren(bool resize_bars);

 protected:
  // The frame entries of a message map, to be chained after the frame's own.
  bool ProcessFrameMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                           LRESULT& result);

  HWND toolbarHost_ = nullptr;
  HWND statusBar_ = nullptr;
  HWND client_ = nullptr;

 private:
  LRESULT OnSize(UINT, WPARAM wparam, LPARAM, bool& handled);
  LRESULT OnRebarAutoSize(int, NMHDR*, bool&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnMenuSelect(UINT, WPARAM wparam, LPARAM lparam, bool& handled);
  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnToolTipTextA(int, NMHDR* header, bool&);
  LRESULT OnToolTipTextW(int, NMHDR* header, bool&);
};

}  // namespace brx::framework

// The About box: a modal dialog centred over its owner, closed by OK, Enter,
// Escape or its close box.
#pragma once

#include <windows.h>

#include "framework/dialog.h"

namespace brx {

// Where a box of `size` goes to be centred over `over`, then moved back
// inside `work` if it sticks out (never resized; the top left wins when the
// box is larger than the work area).
POINT CentredPosition(SIZE size, const RECT& over, const RECT& work);

class CAboutBox : public framework::CDialog {
 public:
  // Shows the box modally; returns the id that closed it (IDOK or IDCANCEL).
  INT_PTR Show(HWND owner);

  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result) override;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnCloseCommand(WORD, WORD id, HWND, bool&);
};

}  // namespace brx

// Dialog windows made from dialog templates: modeless children (bound through
// the init parameter, so the object sees WM_INITDIALOG and everything after
// it) and modal boxes.
#pragma once

#include <windows.h>

#include "framework/window.h"

namespace brx::framework {

class CDialog : public CWindowBase {
 public:
  CDialog() : CWindowBase(DWLP_USER) {}

  // Creates the dialog as a modeless window; null on failure.
  HWND CreateModeless(int template_id, HWND parent);
  // Runs the dialog modally and returns the code given to EndDialog (-1 on failure).
  INT_PTR RunModal(int template_id, HWND owner);

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
};

}  // namespace brx::framework

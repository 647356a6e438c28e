#include "framework/dialog.h"

#include "framework/dpi.h"

namespace brx::framework {
namespace {

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
      return true;
    default:
      return false;
  }
}

}  // namespace

HWND CDialog::CreateModeless(int template_id, HWND parent) {
  return CreateDialogParamA(ResourceInstance(), MAKEINTRESOURCEA(template_id), parent,
                            DialogProcedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialog::RunModal(int template_id, HWND owner) {
  return DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(template_id), owner, DialogProcedure,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialog::DialogProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = static_cast<CDialog*>(Bound(window, DWLP_USER));
  if (!self && message == WM_INITDIALOG) {
    // Before the dialog's own code sees its controls, so it sees them as shown.
    FitLabelsToScaledText(window);
    self = reinterpret_cast<CDialog*>(lparam);
    if (self) self->Bind(window);
  }
  // Before WM_INITDIALOG (WM_SETFONT) and after the release: the dialog
  // manager's own processing.
  if (!self) return FALSE;

  LRESULT result = 0;
  const bool handled = self->Dispatch(window, message, wparam, lparam, result);
  if (message == WM_NCDESTROY) self->ReleaseAfterLastMessage(window);
  if (!handled) return FALSE;
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
  SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace brx::framework

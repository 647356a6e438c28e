// Window objects bound to platform windows. An object is bound to its window
// while the window is created and released at the window's last message
// (WM_NCDESTROY); between the two, every message goes through the object's
// message map and then to default processing.
#pragma once

#include <windows.h>

namespace brx::framework {

// The module that holds the program's resources.
HINSTANCE ResourceInstance();

class CWindowBase {
 public:
  // `binding_slot` is where the window stores its object: GWLP_USERDATA for
  // windows of our own classes, DWLP_USER for dialogs.
  explicit CWindowBase(int binding_slot) : binding_slot_(binding_slot) {}
  CWindowBase(const CWindowBase&) = delete;
  CWindowBase& operator=(const CWindowBase&) = delete;
  // A window still alive is released from the object and destroyed, so it
  // can never call into a dead object.
  virtual ~CWindowBase();

  HWND hwnd() const { return window_; }

  // The message map: true when handled, with `result` set.
  virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    LRESULT& result) = 0;

 protected:
  // Called after the window's last message, when the binding is gone.
  virtual void OnFinalMessage(HWND) {}

  // Ties the object and the window to each other.
  void Bind(HWND window);
  // The object bound to a window, or null before binding and after release.
  static CWindowBase* Bound(HWND window, int binding_slot);
  // Runs the message map behind the exception boundary.
  bool Dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  // Called by the window procedures once WM_NCDESTROY is fully processed:
  // releases the binding and calls OnFinalMessage.
  void ReleaseAfterLastMessage(HWND window);

 private:
  const int binding_slot_;
  HWND window_ = nullptr;
};

// How a window class is registered. A class with no name gets one made from
// the record's address ("BrxWnd:%p"), unique per window class.
struct WindowClassInfo {
  const char* name = nullptr;
  UINT style = 0;
  int background_colour = COLOR_WINDOW;  // a system colour index
  int icon_id = 0;                       // 0: no icon
  ATOM atom = 0;                         // set at registration
  char generated_name[32] = {};
};

// A window of its own window class, made with CreateWindowExA.
class CWindowImpl : public CWindowBase {
 public:
  CWindowImpl() : CWindowBase(GWLP_USERDATA) {}

  // Registers the class on first use and creates the window; null on failure.
  HWND Create(HWND parent, const RECT* rect, const char* title, DWORD style, DWORD ex_style,
              HMENU menu_or_id);

 protected:
  virtual WindowClassInfo& ClassInfo();
  // Processing for messages no map entry handled.
  virtual LRESULT DefaultProcessing(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static ATOM Register(WindowClassInfo& info);
};

}  // namespace brx::framework

#include "framework/window.h"

#include <cstdio>

#include "framework/fatal_error.h"

namespace brx::framework {

HINSTANCE ResourceInstance() {
  return GetModuleHandleA(nullptr);
}

CWindowBase::~CWindowBase() {
  if (window_ && IsWindow(window_)) {
    HWND window = window_;
    SetWindowLongPtrA(window, binding_slot_, 0);
    window_ = nullptr;
    DestroyWindow(window);
  }
}

void CWindowBase::Bind(HWND window) {
  window_ = window;
  SetWindowLongPtrA(window, binding_slot_, reinterpret_cast<LONG_PTR>(this));
}

CWindowBase* CWindowBase::Bound(HWND window, int binding_slot) {
  return reinterpret_cast<CWindowBase*>(GetWindowLongPtrA(window, binding_slot));
}

bool CWindowBase::Dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                           LRESULT& result) {
  return CatchAtBoundary(
      [&] { return ProcessWindowMessage(window, message, wparam, lparam, result); });
}

void CWindowBase::ReleaseAfterLastMessage(HWND window) {
  SetWindowLongPtrA(window, binding_slot_, 0);
  window_ = nullptr;
  CatchAtBoundary([&] { OnFinalMessage(window); });
}

WindowClassInfo& CWindowImpl::ClassInfo() {
  static WindowClassInfo info;
  return info;
}

ATOM CWindowImpl::Register(WindowClassInfo& info) {
  if (info.atom) return info.atom;
  const char* name = info.name;
  if (!name) {
    std::snprintf(info.generated_name, sizeof info.generated_name, "BrxWnd:%p",
                  static_cast<void*>(&info));
    name = info.generated_name;
  }
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = info.style;
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = ResourceInstance();
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground =
      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(info.background_colour + 1));
  window_class.lpszClassName = name;
  if (info.icon_id) {
    window_class.hIcon = static_cast<HICON>(
        LoadImageA(ResourceInstance(), MAKEINTRESOURCEA(info.icon_id), IMAGE_ICON,
                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    window_class.hIconSm = static_cast<HICON>(
        LoadImageA(ResourceInstance(), MAKEINTRESOURCEA(info.icon_id), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  }
  info.atom = RegisterClassExA(&window_class);
  // Another module instance of the program may have registered it already.
  if (!info.atom) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    info.atom = static_cast<ATOM>(GetClassInfoExA(ResourceInstance(), name, &existing));
  }
  return info.atom;
}

HWND CWindowImpl::Create(HWND parent, const RECT* rect, const char* title, DWORD style,
                         DWORD ex_style, HMENU menu_or_id) {
  const ATOM atom = Register(ClassInfo());
  if (!atom) return nullptr;
  const int x = rect ? rect->left : CW_USEDEFAULT;
  const int y = rect ? rect->top : CW_USEDEFAULT;
  const int width = rect ? rect->right - rect->left : CW_USEDEFAULT;
  const int height = rect ? rect->bottom - rect->top : CW_USEDEFAULT;
  return CreateWindowExA(ex_style, MAKEINTATOM(atom), title, style, x, y, width, height, parent,
                         menu_or_id, ResourceInstance(), this);
}

LRESULT CWindowImpl::DefaultProcessing(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK CWindowImpl::WindowProcedure(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
  auto* self = static_cast<CWindowImpl*>(Bound(window, GWLP_USERDATA));
  if (!self && message == WM_NCCREATE) {
    self = static_cast<CWindowImpl*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    if (self) self->Bind(window);
  }
  // Messages before the binding (WM_GETMINMAXINFO comes before WM_NCCREATE)
  // and after its release get default processing.
  if (!self) return DefWindowProcA(window, message, wparam, lparam);

  LRESULT result = 0;
  if (!self->Dispatch(window, message, wparam, lparam, result))
    result =
        CatchAtBoundary([&] { return self->DefaultProcessing(window, message, wparam, lparam); });
  if (message == WM_NCDESTROY) self->ReleaseAfterLastMessage(window);
  return result;
}

}  // namespace brx::framework

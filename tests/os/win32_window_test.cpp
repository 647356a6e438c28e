// The test harness itself: real windows work under this build's Wine setup.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

constexpr UINT kPing = WM_APP + 1;

struct Seen {
  bool created = false;
  bool final_message = false;
};

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* seen = reinterpret_cast<Seen*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_CREATE:
      seen->created = true;
      return 0;
    case kPing:
      return static_cast<LRESULT>(wparam * 2 + lparam);
    case WM_NCDESTROY:
      seen->final_message = true;
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

TEST(Win32, WindowIsCreatedAnswersAndIsDestroyed) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "BrxHarnessWindow";
  ASSERT_NE(RegisterClassA(&window_class), 0);

  Seen seen;
  HWND window = CreateWindowExA(0, "BrxHarnessWindow", "harness", WS_OVERLAPPEDWINDOW, 10, 10, 200,
                                100, nullptr, nullptr, window_class.hInstance, &seen);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(seen.created);
  ShowWindow(window, SW_SHOW);
  EXPECT_EQ(SendMessageA(window, kPing, 20, 2), 42);

  // A posted message arrives through the queue.
  PostMessageA(window, WM_NULL, 0, 0);
  MSG message;
  EXPECT_TRUE(PeekMessageA(&message, window, 0, 0, PM_REMOVE));

  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_TRUE(seen.final_message);
  EXPECT_FALSE(IsWindow(window));
  UnregisterClassA("BrxHarnessWindow", window_class.hInstance);
}

}  // namespace

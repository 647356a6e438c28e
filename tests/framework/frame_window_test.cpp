// The frame-window base on real windows: layout of bars and client, menu
// help in the status bar, tooltip texts, focus and the quit message.
#include "framework/frame_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "framework/message_map.h"
#include "res/resource.h"
#include "tests/support/window_text.h"

namespace brx::framework {
namespace {

using testing::StatusText;

TEST(MenuHelpStringId, SystemCommandsShareStringsAndOtherIdsKeepTheirOwn) {
  const struct {
    WORD id;
    WORD string;
  } rows[] = {
      {57600, 57600},   {0xEFFF, 0xEFFF},  {0xF000, 0xEF00},    {0xF00F, 0xEF00},
      {0xF010, 0xEF01}, {SC_CLOSE, 61190}, {SC_RESTORE, 61202}, {0xF1EF, 0xEF1E},
      {0xF1F0, 0xF1F0}, {0xE10F, 0xE10F},  {0xE110, 0xEFDA},    {0xE11F, 0xEFDA},
      {0xE120, 0xE120}, {0xFEFF, 0xFEFF},  {0xFF00, 0xEF1F},    {0xFFFF, 0xEF1F},
      {0, 0},
  };
  for (const auto& row : rows) EXPECT_EQ(MenuHelpStringId(row.id), row.string) << row.id;
}

// Counts the WM_SIZE (0, 0) that asks a bar to re-fit itself.
int refits = 0;
LRESULT CALLBACK FakeBarProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_SIZE && wparam == 0 && lparam == 0) ++refits;
  return DefWindowProcA(window, message, wparam, lparam);
}

class TestFrame : public CFrameWindowBase {
 public:
  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result) override {
    return ProcessFrameMessage(window, message, wparam, lparam, result);
  }
  void SetChildren(HWND rebar, HWND status, HWND client) {
    toolbarHost_ = rebar;
    statusBar_ = status;
    client_ = client;
  }
};

class FrameTest : public ::testing::Test {
 protected:
  static constexpr int kRebarHeight = 40;
  static constexpr int kStatusHeight = 20;

  void SetUp() override {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    WNDCLASSA bar_class{};
    bar_class.lpfnWndProc = FakeBarProcedure;
    bar_class.hInstance = GetModuleHandleA(nullptr);
    bar_class.lpszClassName = "BrxFakeBar";
    RegisterClassA(&bar_class);
    const RECT place{0, 0, 400, 300};
    window_ = frame_.Create(nullptr, &place, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, nullptr);
    ASSERT_NE(window_, nullptr);
    GetClientRect(window_, &area_);
    refits = 0;
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }

  HWND Child(const char* class_name, int height, bool visible) {
    return CreateWindowExA(0, class_name, "", WS_CHILD | (visible ? WS_VISIBLE : 0), 0, 0, 50,
                           height, window_, nullptr, nullptr, nullptr);
  }
  RECT ClientPlace(HWND client) {
    RECT rect{};
    GetWindowRect(client, &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  TestFrame frame_;
  HWND window_ = nullptr;
  RECT area_{};
};

TEST_F(FrameTest, ClientTakesWhatTheVisibleBarsLeave) {
  const struct {
    const char* name;
    bool rebar_shown, status_shown, resize;
    int top, bottom_gap, refits;
  } rows[] = {
      {"both bars, resized", true, true, true, kRebarHeight, kStatusHeight, 2},
      {"both bars, not resized", true, true, false, kRebarHeight, kStatusHeight, 0},
      {"status bar hidden", true, false, true, kRebarHeight, 0, 1},
      {"rebar hidden", false, true, true, 0, kStatusHeight, 1},
      {"no bar shown", false, false, true, 0, 0, 0},
  };
  for (const auto& row : rows) {
    HWND rebar = Child("BrxFakeBar", kRebarHeight, row.rebar_shown);
    HWND status = Child("BrxFakeBar", kStatusHeight, row.status_shown);
    HWND client = Child("STATIC", 10, true);
    frame_.SetChildren(rebar, status, client);
    refits = 0;
    frame_.LayoutChildren(row.resize);
    const RECT placed = ClientPlace(client);
    EXPECT_EQ(placed.left, 0) << row.name;
    EXPECT_EQ(placed.right, area_.right) << row.name;
    EXPECT_EQ(placed.top, row.top) << row.name;
    EXPECT_EQ(placed.bottom, area_.bottom - row.bottom_gap) << row.name;
    EXPECT_EQ(refits, row.refits) << row.name;
    for (HWND child : {rebar, status, client}) DestroyWindow(child);
  }
}

TEST_F(FrameTest, MissingBarsAndClientAreSkipped) {
  frame_.SetChildren(nullptr, nullptr, nullptr);
  frame_.LayoutChildren(true);  // nothing to place, nothing to crash on
  HWND client = Child("STATIC", 10, true);
  frame_.SetChildren(nullptr, nullptr, client);
  frame_.LayoutChildren(true);
  const RECT placed = ClientPlace(client);
  EXPECT_EQ(placed.bottom - placed.top, area_.bottom);
}

TEST_F(FrameTest, SizeMessagesLayOutUnlessMinimised) {
  HWND client = Child("STATIC", 10, true);
  frame_.SetChildren(nullptr, nullptr, client);
  SendMessageA(window_, WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(ClientPlace(client).bottom, 10);
  SendMessageA(window_, WM_SIZE, SIZE_RESTORED, 0);
  EXPECT_EQ(ClientPlace(client).bottom, area_.bottom);
}

// Erasing under the client would only flicker: with a client the frame
// claims the message and leaves the pixels alone.
TEST_F(FrameTest, TheClientCoversTheBackground) {
  HDC screen = GetDC(window_);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, area_.right, area_.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const COLORREF red = RGB(255, 0, 0);
  auto erase = [&] {
    SetPixel(memory, 5, 5, red);
    return SendMessageA(window_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
  };

  erase();  // no client: default processing paints the class brush
  EXPECT_NE(GetPixel(memory, 5, 5), red);
  frame_.SetChildren(nullptr, nullptr, Child("STATIC", 10, true));
  EXPECT_EQ(erase(), 1);
  EXPECT_EQ(GetPixel(memory, 5, 5), red);

  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window_, screen);
}

TEST_F(FrameTest, MenuHelpFollowsTheHighlightedItem) {
  HWND status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Ready", window_, IDW_STATUS_BAR);
  frame_.SetChildren(nullptr, status, nullptr);
  HMENU menu = CreatePopupMenu();
  const LPARAM open = reinterpret_cast<LPARAM>(menu);
  const struct {
    const char* name;
    WORD id, flags;
    LPARAM menu;
    bool simple;
    const char* text;
  } rows[] = {
      {"an item: the help before the line break", ID_FILE_NEW, 0, open, true,
       "Create a new document"},
      {"an item without a tooltip part", ID_APP_EXIT, MF_HILITE, open, true,
       "Quit the application; prompts to save documents"},
      {"a popup title: an empty line", 0, MF_POPUP | MF_HILITE, open, true, ""},
      {"a separator", 0, MF_SEPARATOR, open, true, ""},
      {"an id without a string", 4242, 0, open, true, ""},
      {"system menu Close", SC_CLOSE, MF_SYSMENU, open, true,
       "Close the active window and prompts to save the documents"},
      {"system menu Restore", SC_RESTORE, MF_SYSMENU, open, true,
       "Restore the window to normal size"},
      {"the menu closed", 0, 0xFFFF, 0, false, "Ready"},
      {"all flags but a menu: not a close", 0, 0xFFFF, open, true, ""},
  };
  for (const auto& row : rows) {
    SendMessageA(window_, WM_MENUSELECT, MAKEWPARAM(row.id, row.flags), row.menu);
    EXPECT_EQ(SendMessageA(status, SB_ISSIMPLE, 0, 0) != 0, row.simple) << row.name;
    EXPECT_EQ(StatusText(status), row.text) << row.name;
  }
  DestroyMenu(menu);
}

TEST_F(FrameTest, MenuHelpNeedsAStatusBar) {
  frame_.SetChildren(nullptr, nullptr, nullptr);
  SendMessageA(window_, WM_MENUSELECT, MAKEWPARAM(ID_FILE_NEW, 0), 0);  // no crash, no effect
  SendMessageA(window_, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  SUCCEED();
}

struct TipRow {
  UINT_PTR id;
  UINT flags;
  const char* text;
  bool keep;
};

const TipRow kTipRows[] = {
    {ID_FILE_NEW, 0, "New", true},
    {ID_FILE_OPEN, 0, "Open", true},
    {ID_FILE_SAVE_AS, 0, "Save As", true},
    {ID_APP_EXIT, 0, "", true},  // a string without a tooltip part
    {4242, 0, "", false},        // no string at all
    {0, 0, "", false},
    {ID_FILE_NEW, TTF_IDISHWND, "", false},
};

TEST_F(FrameTest, TooltipsInNarrowCharacters) {
  for (const TipRow& row : kTipRows) {
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = window_;
    info.hdr.idFrom = row.id;
    info.hdr.code = TTN_GETDISPINFOA;
    info.uFlags = row.flags;
    std::strcpy(info.szText, "stale");
    info.lpszText = info.szText;
    EXPECT_EQ(SendMessageA(window_, WM_NOTIFY, row.id, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_STREQ(info.lpszText, row.text) << row.id;
    EXPECT_EQ((info.uFlags & TTF_DI_SETITEM) != 0, row.keep) << row.id;
  }
}

TEST_F(FrameTest, TooltipsInWideCharacters) {
  for (const TipRow& row : kTipRows) {
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = window_;
    info.hdr.idFrom = row.id;
    info.hdr.code = TTN_GETDISPINFOW;
    info.uFlags = row.flags;
    wcscpy(info.szText, L"stale");
    info.lpszText = info.szText;
    EXPECT_EQ(SendMessageA(window_, WM_NOTIFY, row.id, reinterpret_cast<LPARAM>(&info)), 0);
    const std::wstring expected(row.text, row.text + std::strlen(row.text));
    EXPECT_EQ(std::wstring(info.lpszText), expected) << row.id;
    EXPECT_EQ((info.uFlags & TTF_DI_SETITEM) != 0, row.keep) << row.id;
  }
}

TEST_F(FrameTest, FocusGoesToAVisibleClient) {
  HWND client =
      CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 50, 20, window_, nullptr, nullptr, nullptr);
  frame_.SetChildren(nullptr, nullptr, client);
  SetForegroundWindow(window_);
  SetFocus(window_);
  EXPECT_EQ(GetFocus(), window_);  // hidden client: the frame keeps the focus
  ShowWindow(client, SW_SHOW);
  SetFocus(nullptr);
  SetFocus(window_);
  EXPECT_EQ(GetFocus(), client);
}

TEST_F(FrameTest, OnlyATopLevelFrameEndsTheProgram) {
  const struct {
    const char* name;
    DWORD style;
    bool quits;
  } rows[] = {
      {"top level", WS_OVERLAPPEDWINDOW, true},
      {"pop-up", WS_POPUP, false},
      {"child", WS_CHILD, false},
  };
  for (const auto& row : rows) {
    TestFrame frame;
    HWND parent = (row.style & WS_CHILD) ? window_ : nullptr;
    HWND window = frame.Create(parent, nullptr, "f", row.style, 0, nullptr);
    ASSERT_NE(window, nullptr) << row.name;
    DestroyWindow(window);
    MSG quit{};
    EXPECT_EQ(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, row.quits)
        << row.name;
    if (row.quits) {
      EXPECT_EQ(quit.wParam, 1u);
    }
  }
}

}  // namespace
}  // namespace brx::framework

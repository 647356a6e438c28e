// The menu bar control on real windows with real input (SendInput, under
// Wine and Xvfb in CI): buttons from a menu, images from a toolbar resource,
// popups opened and switched with the mouse and the keyboard, the menu
// messages reaching the frame, and the thread's keys left alone once the bar
// is gone.
#include "framework/menu_bar.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "framework/menu_bar_buttons.h"
#include "framework/menu_bar_images.h"
#include "framework/message_map.h"
#include "framework/window.h"
#include "tests/framework/input_script.h"
#include "tests/framework/menu_bar_test_ids.h"

namespace brx::framework {
namespace {

using gui_test::InputScript;

// The main frame's style for its menu bar: visible child, flat, list style,
// no divider, sized and placed by its container.
constexpr DWORD kBarStyle = 0x5600184C;
constexpr UINT kFocusEditMessage = WM_APP + 1;
constexpr UINT kVisitOtherMessage = WM_APP + 2;

// A menu text as the user reads it: no &, no shortcut.
std::string Plain(const std::string& text) {
  std::string plain;
  for (char c : text.substr(0, text.find('\t')))
    if (c != '&') plain += c;
  return plain;
}

std::string ItemText(HMENU menu, int position) {
  char text[256] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return Plain(text);
}

void NamePopups(HMENU menu, std::map<HMENU, std::string>& names) {
  for (int position = 0; position < GetMenuItemCount(menu); ++position) {
    if (HMENU popup = GetSubMenu(menu, position)) {
      names[popup] = ItemText(menu, position);
      NamePopups(popup, names);
    }
  }
}

POINT Centre(const RECT& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// A frame with an edit box to hold the focus and a window of its own to take
// the activation away, logging the menu messages it gets.
class TestFrame : public CWindowImpl {
 public:
  HWND edit = nullptr;
  HWND other = nullptr;
  std::map<HMENU, std::string> popup_names;
  std::vector<std::string> log;

  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result) override {
    using Map = MessageMap<TestFrame>;
    static const Map map{
        Map::Entry::Message(WM_CREATE, &TestFrame::OnCreate),
        Map::Entry::Message(WM_INITMENUPOPUP, &TestFrame::OnInitMenuPopup),
        Map::Entry::Message(WM_MENUSELECT, &TestFrame::OnMenuSelect),
        Map::Entry::Message(WM_SYSCOMMAND, &TestFrame::OnSysCommand),
        Map::Entry::Message(kFocusEditMessage, &TestFrame::OnFocusEdit),
        Map::Entry::Message(kVisitOtherMessage, &TestFrame::OnVisitOther),
        Map::Entry::AnyCommand(&TestFrame::OnCommand),
    };
    return map.Dispatch(*this, window, message, wparam, lparam, result);
  }

  // The log without item selections, which depend on where the mouse passes.
  std::vector<std::string> MenuEvents() const {
    std::vector<std::string> events;
    for (const std::string& entry : log)
      if (entry.rfind("select", 0) != 0 && entry != "closed") events.push_back(entry);
    return events;
  }

 private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, bool&) {
    // Right of and below where the popups open, so that a click on it never lands on one.
    edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 260, 170, 150, 24,
                           hwnd(), nullptr, ResourceInstance(), nullptr);
    other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_CAPTION, 700, 500, 150, 80, hwnd(),
                            nullptr, ResourceInstance(), nullptr);
    return 0;
  }
  LRESULT OnInitMenuPopup(UINT, WPARAM wparam, LPARAM, bool&) {
    log.push_back("init " + popup_names[reinterpret_cast<HMENU>(wparam)]);
    return 0;
  }
  LRESULT OnMenuSelect(UINT, WPARAM wparam, LPARAM lparam, bool&) {
    const WORD flags = HIWORD(wparam);
    std::string entry;
    if (flags == 0xFFFF && lparam == 0) {
      entry = "closed";
    } else if (flags & MF_POPUP) {
      entry = "select popup " +
              popup_names[GetSubMenu(reinterpret_cast<HMENU>(lparam), LOWORD(wparam))];
    } else if (LOWORD(wparam) != 0) {
      entry = "select " + std::to_string(LOWORD(wparam));
    }
    if (!entry.empty() && (log.empty() || log.back() != entry)) log.push_back(entry);
    return 0;
  }
  // Never lets the system start its own menu mode, which would wait for keys.
  LRESULT OnSysCommand(UINT, WPARAM wparam, LPARAM lparam, bool& handled) {
    if ((wparam & 0xFFF0) != SC_KEYMENU) {
      handled = false;
      return 0;
    }
    log.push_back(lparam ? std::string("keymenu ") + static_cast<char>(lparam) : "keymenu alone");
    return 0;
  }
  LRESULT OnFocusEdit(UINT, WPARAM, LPARAM, bool&) {
    SetForegroundWindow(hwnd());
    SetFocus(edit);
    return 0;
  }
  LRESULT OnVisitOther(UINT, WPARAM, LPARAM, bool&) {
    ShowWindow(other, SW_SHOW);
    SetForegroundWindow(other);
    return 0;
  }
  LRESULT OnCommand(WORD, WORD id, HWND control, bool& handled) {
    if (control) {
      handled = false;
      return 0;
    }
    log.push_back("command " + std::to_string(id));
    return 0;
  }
};

// What a script thread looks at, taken while the test's thread sets up, and
// read back through calls that are safe from another thread.
struct Scene {
  DWORD ui_thread = 0;
  HWND frame = nullptr;
  HWND bar = nullptr;
  HWND edit = nullptr;
  std::vector<std::string> buttons;
  std::vector<RECT> button_rects;
  std::map<HMENU, std::string> popup_names;

  // Visible popup menu windows, top popup first (submenus lie above it).
  std::vector<HWND> MenuWindows() const {
    std::vector<HWND> windows;
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32768", nullptr); window;
         window = FindWindowExA(nullptr, window, "#32768", nullptr)) {
      if (IsWindowVisible(window)) windows.insert(windows.begin(), window);
    }
    return windows;
  }

  static HMENU MenuOf(HWND window) {
    DWORD_PTR menu = 0;
    SendMessageTimeoutA(window, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 1000, &menu);
    return reinterpret_cast<HMENU>(menu);
  }

  static LRESULT Ask(HWND window, UINT message) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
    return static_cast<LRESULT>(result);
  }

  // "menu Edit>Insert [Row]": the open popups and the highlighted item of the
  // deepest, and the bar's hot button if it is not the top popup's; otherwise
  // "focus bar hot File": who has the focus, and the bar's hot button if any.
  std::string State() const {
    const int hot = bar ? static_cast<int>(Ask(bar, TB_GETHOTITEM)) : -1;
    const std::string hot_button =
        hot >= 0 && hot < static_cast<int>(buttons.size()) ? buttons[hot] : "";
    const std::vector<HWND> menus = MenuWindows();
    if (!menus.empty()) {
      std::string state = "menu ";
      HMENU menu = nullptr;
      for (HWND window : menus) {
        menu = MenuOf(window);
        state += (window == menus.front() ? "" : ">") + PopupName(menu);
      }
      for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        if (GetMenuState(menu, position, MF_BYPOSITION) & MF_HILITE)
          state += " [" + ItemText(menu, position) + "]";
      }
      if (hot_button != PopupName(MenuOf(menus.front()))) state += " hot " + hot_button;
      return state;
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(ui_thread, &info);
    std::string state = "focus ";
    state += info.hwndFocus == bar ? "bar" : info.hwndFocus == edit ? "edit" : "elsewhere";
    if (!hot_button.empty()) state += " hot " + hot_button;
    return state;
  }

  std::string PopupName(HMENU menu) const {
    const auto found = popup_names.find(menu);
    return found == popup_names.end() ? "?" : found->second;
  }

  POINT ButtonCentre(const std::string& label) const {
    for (size_t i = 0; i < buttons.size(); ++i)
      if (buttons[i] == label) return Centre(button_rects[i]);
    return {0, 0};
  }

  // The centre of an item of an open popup, found by its text.
  POINT ItemCentre(const std::string& text) const {
    for (HWND window : MenuWindows()) {
      HMENU menu = MenuOf(window);
      for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        RECT rect{};
        if (ItemText(menu, position) == text && GetMenuItemRect(nullptr, menu, position, &rect))
          return Centre(rect);
      }
    }
    return {0, 0};
  }

  // A point of the frame away from the bar and the edit box.
  POINT RestingPoint() const {
    RECT rect{};
    GetWindowRect(frame, &rect);
    return {rect.right - 40, rect.bottom - 40};
  }

  // Acts out one step: a key ("alt", "f10", "left", "enter"...), Alt alone
  // going down or up ("alt down", "alt up"), a chord ("alt+v", "ctrl+alt"), a
  // plain letter ("h"), a mouse action ("click File", "move View", "click item
  // Open...", "move item Open...", "click edit"), the system's request for the
  // menu ("keymenu", "keymenu h"), the program activating the frame's other
  // window ("visit other") or moving the focus back into the frame ("focus
  // edit"), or the system's late word that the mouse has left the bar ("mouse
  // leaves"). False for an unknown step.
  bool Perform(InputScript& input, const std::string& step) const {
    static const std::map<std::string, WORD> keys{
        {"alt", VK_MENU}, {"f10", VK_F10},   {"left", VK_LEFT},    {"right", VK_RIGHT},
        {"up", VK_UP},    {"down", VK_DOWN}, {"enter", VK_RETURN}, {"escape", VK_ESCAPE}};
    const auto starts = [&step](const char* prefix) { return step.rfind(prefix, 0) == 0; };
    const auto rest = [&step](const char* prefix) {
      return step.substr(std::string(prefix).size());
    };
    if (const auto key = keys.find(step); key != keys.end()) {
      input.Tap(key->second);
    } else if (step == "alt down") {
      input.Hold(VK_MENU);
    } else if (step == "alt up") {
      input.Release(VK_MENU);
    } else if (step == "ctrl+alt") {
      input.Chord(VK_CONTROL, VK_MENU);
    } else if (starts("alt+")) {
      input.Chord(VK_MENU, static_cast<WORD>(VkKeyScanA(step[4]) & 0xFF));
    } else if (step.size() == 1) {
      input.Tap(static_cast<WORD>(VkKeyScanA(step[0]) & 0xFF));
    } else if (step == "click edit") {
      RECT rect{};
      GetWindowRect(edit, &rect);
      input.Click(Centre(rect));
    } else if (starts("click item ")) {
      input.Click(ItemCentre(rest("click item ")));
    } else if (starts("move item ")) {
      input.MoveTo(ItemCentre(rest("move item ")));
    } else if (starts("click ")) {
      input.Click(ButtonCentre(rest("click ")));
    } else if (starts("move ")) {
      input.MoveTo(ButtonCentre(rest("move ")));
    } else if (starts("keymenu")) {
      const LPARAM character = step.size() > 8 ? step[8] : 0;
      DWORD_PTR result = 0;
      SendMessageTimeoutA(frame, WM_SYSCOMMAND, SC_KEYMENU, character, SMTO_ABORTIFHUNG, 1000,
                          &result);
    } else if (step == "focus edit") {
      input.Post(frame, kFocusEditMessage);
    } else if (step == "visit other") {
      input.Post(frame, kVisitOtherMessage);
    } else if (step == "mouse leaves") {
      // What the system posts, on a timer, once the mouse has left the bar.
      input.Post(bar, WM_MOUSELEAVE);
    } else {
      return false;
    }
    return true;
  }
};

struct Step {
  std::string action;
  std::string expected;  // the state after it, see Scene::State
};

bool OpenFrame(TestFrame& frame, CMenuBar& bar, int left, int top) {
  const RECT rect{left, top, left + 480, top + 260};
  if (!frame.Create(nullptr, &rect, "menu bar test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                    nullptr) ||
      !bar.Create(frame.hwnd(), kBarStyle) ||
      !bar.AttachMenu(LoadMenuA(ResourceInstance(), MAKEINTRESOURCEA(IDR_TEST_MENU))) ||
      !bar.LoadImages(IDR_TEST_IMAGES)) {
    return false;
  }
  NamePopups(bar.menu(), frame.popup_names);
  // What the frame's rebar would do: size the bar to its buttons.
  const auto count = static_cast<int>(SendMessageA(bar.hwnd(), TB_BUTTONCOUNT, 0, 0));
  RECT last{};
  SendMessageA(bar.hwnd(), TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));
  SetWindowPos(bar.hwnd(), nullptr, 0, 0, last.right, last.bottom, SWP_NOZORDER);
  ShowWindow(frame.hwnd(), SW_SHOW);
  SetForegroundWindow(frame.hwnd());
  SetFocus(frame.edit);
  return gui_test::PumpUntil(
      [&] { return GetForegroundWindow() == frame.hwnd() && GetFocus() == frame.edit; });
}

// The program does this at start-up: the toolbar class comes from it.
const bool common_controls_ready = [] {
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  return InitCommonControlsEx(&controls) != FALSE;
}();

class MenuBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(common_controls_ready);
    ASSERT_TRUE(OpenFrame(frame_, *bar_, 120, 100));
  }

  Scene TakeScene() const {
    Scene scene;
    scene.ui_thread = GetCurrentThreadId();
    scene.frame = frame_.hwnd();
    scene.bar = bar_ ? bar_->hwnd() : nullptr;
    scene.edit = frame_.edit;
    scene.popup_names = frame_.popup_names;
    for (int position = 0; bar_ && position < GetMenuItemCount(bar_->menu()); ++position) {
      if (!GetSubMenu(bar_->menu(), position)) continue;
      RECT rect{};
      SendMessageA(scene.bar, TB_GETITEMRECT, scene.buttons.size(),
                   reinterpret_cast<LPARAM>(&rect));
      MapWindowPoints(scene.bar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
      scene.buttons.push_back(ItemText(bar_->menu(), position));
      scene.button_rects.push_back(rect);
    }
    return scene;
  }

  // Plays the steps with real input and returns the state seen after each.
  std::vector<std::string> Play(const std::vector<Step>& steps) {
    const Scene scene = TakeScene();
    std::vector<std::string> seen;
    const bool finished = gui_test::RunInputScript([&](InputScript& input) {
      input.MoveTo(scene.RestingPoint());
      for (const Step& step : steps) {
        if (!scene.Perform(input, step.action)) {
          seen.push_back("unknown step " + step.action);
          continue;
        }
        input.WaitFor([&] { return scene.State() == step.expected; });
        seen.push_back(scene.State());
      }
    });
    EXPECT_TRUE(finished) << "the watchdog had to end the script";
    return seen;
  }

  static std::vector<std::string> ExpectedStates(const std::vector<Step>& steps) {
    std::vector<std::string> states;
    for (const Step& step : steps) states.push_back(step.expected);
    return states;
  }

  TestFrame frame_;
  std::unique_ptr<CMenuBar> bar_ = std::make_unique<CMenuBar>();
};

struct ScriptCase {
  const char* name;
  std::vector<Step> steps;
  std::vector<std::string> menu_events;  // what reached the frame, see TestFrame::MenuEvents
};

void PrintTo(const ScriptCase& script, std::ostream* out) {
  *out << script.name;
}

class MenuBarScript : public MenuBarTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(MenuBarScript, StatesAndWhatReachesTheFrame) {
  const ScriptCase& script = GetParam();
  EXPECT_EQ(Play(script.steps), ExpectedStates(script.steps));
  EXPECT_EQ(frame_.MenuEvents(), script.menu_events);
}

const std::vector<ScriptCase> kKeyboardCases{
    {"AltAloneHighlightsTheBarAndEndsTheHighlight",
     {{"alt", "focus bar hot File"}, {"alt", "focus edit"}},
     {}},
    {"F10HighlightsAndEscapeEnds", {{"f10", "focus bar hot File"}, {"escape", "focus edit"}}, {}},
    {"LeftAndRightMoveAlongTheBarAndWrapRound",
     {{"f10", "focus bar hot File"},
      {"left", "focus bar hot Help"},
      {"right", "focus bar hot File"},
      {"right", "focus bar hot Edit"},
      {"escape", "focus edit"}},
     {}},
    {"DownOpensTheHotPopupAtItsFirstItem",
     {{"f10", "focus bar hot File"},
      {"right", "focus bar hot Edit"},
      {"down", "menu Edit [Insert]"},
      {"escape", "focus bar hot Edit"},
      {"escape", "focus edit"}},
     {"init Edit"}},
    {"EnterOpensAndEnterChooses",
     {{"f10", "focus bar hot File"},
      {"enter", "menu File [New]"},
      {"down", "menu File [Open...]"},
      {"enter", "focus edit"}},
     {"init File", "command 57601"}},
    {"AltAndMnemonicOpenThatPopup",
     {{"alt+v", "menu View [Toolbar]"}, {"escape", "focus bar hot View"}, {"escape", "focus edit"}},
     {"init View"}},
    {"AltAndAnUnknownLetterOpenNothing", {{"alt+q", "focus edit"}}, {}},
    {"AltGrIsNotAlt", {{"ctrl+alt", "focus edit"}}, {}},
    {"AMnemonicAloneOpensItsPopupWhileHighlighted",
     {{"f10", "focus bar hot File"},
      {"h", "menu Help [About]"},
      {"escape", "focus bar hot Help"},
      {"escape", "focus edit"}},
     {"init Help"}},
    {"LeftAndRightMoveBetweenPopupsButEnterAndLeaveSubmenus",
     {{"alt+f", "menu File [New]"},
      {"right", "menu Edit [Insert]"},
      {"right", "menu Edit>Insert [Row]"},
      {"left", "menu Edit [Insert]"},
      {"left", "menu File [New]"},
      {"left", "menu Help [About]"},
      {"right", "menu File [New]"},
      {"escape", "focus bar hot File"},
      {"escape", "focus edit"}},
     {"init File", "init Edit", "init Insert", "init File", "init Help", "init File"}},
    {"RightOnAnItemWithoutSubmenuMovesOn",
     {{"alt+e", "menu Edit [Insert]"},
      {"down", "menu Edit [Copy]"},
      {"right", "menu View [Toolbar]"},
      {"escape", "focus bar hot View"},
      {"escape", "focus edit"}},
     {"init Edit", "init View"}},
    {"EscapeInASubmenuClosesOnlyTheSubmenu",
     {{"alt+e", "menu Edit [Insert]"},
      {"right", "menu Edit>Insert [Row]"},
      {"escape", "menu Edit [Insert]"},
      {"escape", "focus bar hot Edit"},
      {"escape", "focus edit"}},
     {"init Edit", "init Insert"}},
    {"TheSystemsRequestForTheMenuGoesToTheBar",
     {{"keymenu", "focus bar hot File"},
      {"keymenu", "focus edit"},
      {"keymenu h", "menu Help [About]"},
      {"escape", "focus bar hot Help"},
      {"escape", "focus edit"}},
     {"init Help"}},
    {"TheMouseLeavingLateLeavesTheHotButton",
     {{"f10", "focus bar hot File"},
      {"mouse leaves", "focus bar hot File"},
      {"down", "menu File [New]"},
      {"mouse leaves", "menu File [New]"},
      {"escape", "focus bar hot File"},
      {"escape", "focus edit"}},
     {"init File"}},
    {"AltLetGoAfterTheFocusHasBeenElsewhereIsNotAltAlone",
     {{"alt down", "focus edit"},
      {"visit other", "focus elsewhere"},
      {"focus edit", "focus edit"},
      {"alt up", "focus edit"},
      {"f10", "focus bar hot File"},
      {"alt down", "focus bar hot File"},
      {"focus edit", "focus edit"},
      {"alt up", "focus edit"}},
     {}},
    {"AClickElsewhereEndsTheHighlight",
     {{"f10", "focus bar hot File"}, {"click edit", "focus edit"}},
     {}},
    {"AFocusChangeEndsTheHighlight",
     {{"f10", "focus bar hot File"}, {"focus edit", "focus edit"}},
     {}},
};

const std::vector<ScriptCase> kMouseCases{
    {"AClickOpensAndMovingOntoAnotherButtonSwitches",
     {{"click File", "menu File"},
      {"move Edit", "menu Edit"},
      {"move Help", "menu Help"},
      {"move View", "menu View"},
      {"click View", "focus edit hot View"}},
     {"init File", "init Edit", "init Help", "init View"}},
    {"AClickElsewhereClosesWithoutACommand",
     {{"click File", "menu File"}, {"click edit", "focus edit"}},
     {"init File"}},
    {"AClickOnAnItemSendsItsCommand",
     {{"click File", "menu File"}, {"click item Save As...", "focus edit"}},
     {"init File", "command 57604"}},
    {"EscapeLeavesTheButtonHighlighted",
     {{"click Help", "menu Help"}, {"escape", "focus bar hot Help"}, {"escape", "focus edit"}},
     {"init Help"}},
    {"ArrowsWorkInAPopupOpenedWithTheMouse",
     {{"click View", "menu View"},
      {"right", "menu Help [About]"},
      {"escape", "focus bar hot Help"},
      {"escape", "focus edit"}},
     {"init View", "init Help"}},
};

std::string CaseName(const ::testing::TestParamInfo<ScriptCase>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Keyboard, MenuBarScript, ::testing::ValuesIn(kKeyboardCases), CaseName);
INSTANTIATE_TEST_SUITE_P(Mouse, MenuBarScript, ::testing::ValuesIn(kMouseCases), CaseName);

TEST_F(MenuBarTest, MenuMessagesReachTheFrameInTheirOrder) {
  Play({{"click File", "menu File"},
        {"move item Open...", "menu File [Open...]"},
        {"click item Open...", "focus edit"}});
  const std::vector<std::string> expected{"select popup File", "init File", "select 57601",
                                          "closed", "command 57601"};
  EXPECT_EQ(frame_.log, expected);
}

TEST_F(MenuBarTest, APopupOpensUnderItsButton) {
  const Scene scene = TakeScene();
  RECT popup{};
  gui_test::RunInputScript([&](InputScript& input) {
    input.Click(scene.ButtonCentre("Edit"));
    if (input.WaitFor([&] { return scene.State() == "menu Edit"; }))
      GetWindowRect(scene.MenuWindows().front(), &popup);
    input.Tap(VK_ESCAPE);
    input.Tap(VK_ESCAPE);
  });
  EXPECT_NEAR(popup.left, scene.button_rects[1].left, 2);
  EXPECT_NEAR(popup.top, scene.button_rects[1].bottom, 2);
}

// How many pixels of each of the test images' pure colours lie in a rectangle.
std::string CountColours(const RECT& rect) {
  int red = 0, green = 0, blue = 0;
  for (std::uint32_t pixel : gui_test::ReadScreen(rect)) {
    red += pixel == 0xFF0000;
    green += pixel == 0x00FF00;
    blue += pixel == 0x0000FF;
  }
  return "red " + std::to_string(red) + " green " + std::to_string(green) + " blue " +
         std::to_string(blue);
}

TEST_F(MenuBarTest, ImagesShowBesideTheirItems) {
  // Each image is 12 x 11 pixels of its colour inside a transparent border.
  const std::map<std::string, std::string> expected{{"New", "red 132 green 0 blue 0"},
                                                    {"Open...", "red 0 green 132 blue 0"},
                                                    {"Save As...", "red 0 green 0 blue 132"},
                                                    {"Exit", "red 0 green 0 blue 0"}};
  const Scene scene = TakeScene();
  std::map<std::string, std::string> colours_by_item;
  const auto read_colours = [&] {
    colours_by_item.clear();
    const HMENU menu = Scene::MenuOf(scene.MenuWindows().front());
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
      RECT item{};
      if (!ItemText(menu, position).empty() && GetMenuItemRect(nullptr, menu, position, &item))
        colours_by_item[ItemText(menu, position)] = CountColours(item);
    }
    return colours_by_item == expected;
  };
  gui_test::RunInputScript([&](InputScript& input) {
    input.MoveTo(scene.RestingPoint());
    input.Click(scene.ButtonCentre("File"));
    // Read until the popup is painted, or the time is up.
    if (input.WaitFor([&] { return scene.State() == "menu File"; })) input.WaitFor(read_colours);
    input.Tap(VK_ESCAPE);
    input.Tap(VK_ESCAPE);
  });
  EXPECT_EQ(colours_by_item, expected);
}

class GoneBar : public MenuBarTest, public ::testing::WithParamInterface<bool> {};

// Without the bar, Alt and F10 reach default processing again, which asks the
// frame for its (system) menu.
TEST_P(GoneBar, LeavesAltAndF10ToTheSystem) {
  const bool window_destroyed_first = GetParam();
  if (window_destroyed_first) {
    DestroyWindow(bar_->hwnd());
    EXPECT_EQ(bar_->hwnd(), nullptr);
  } else {
    bar_.reset();
  }
  EXPECT_EQ(Play({{"alt", "focus edit"}, {"f10", "focus edit"}}),
            (std::vector<std::string>{"focus edit", "focus edit"}));
  EXPECT_EQ(frame_.MenuEvents(), (std::vector<std::string>{"keymenu alone", "keymenu alone"}));
}

INSTANTIATE_TEST_SUITE_P(MenuBar, GoneBar, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "WindowDestroyedFirst" : "ObjectDestroyed";
                         });

TEST_F(MenuBarTest, ABarThatGoesLeavesTheOtherBarsOfTheThreadWorking) {
  {
    TestFrame other;
    CMenuBar other_bar;
    ASSERT_TRUE(OpenFrame(other, other_bar, 640, 100));
  }
  SetForegroundWindow(frame_.hwnd());
  SetFocus(frame_.edit);
  EXPECT_EQ(Play({{"alt", "focus bar hot File"}, {"alt", "focus edit"}}),
            (std::vector<std::string>{"focus bar hot File", "focus edit"}));
}

// --- Buttons and the menu they come from --------------------------------------

// A frame with a bar, neither shown, for what needs no input.
struct QuietBar {
  TestFrame frame;
  CMenuBar bar;
  bool made = frame.Create(nullptr, nullptr, "quiet", WS_OVERLAPPEDWINDOW, 0, nullptr) &&
              bar.Create(frame.hwnd(), kBarStyle) != nullptr;
};

struct ButtonsCase {
  const char* name;
  std::vector<std::pair<const char*, bool>> items;  // text, is a popup
  std::vector<std::string> labels;
};

TEST(MenuBarButtons, OneDropDownButtonPerTopLevelPopupLabelledWithItsText) {
  const std::vector<ButtonsCase> cases{
      {"popups", {{"&File", true}, {"&View", true}, {"&Help", true}}, {"&File", "&View", "&Help"}},
      {"plain commands", {{"&Go", false}, {"&Tools", true}, {"&Stop", false}}, {"&Tools"}},
      {"empty menu", {}, {}},
      {"ampersands", {{"A && &B", true}}, {"A && &B"}},
  };
  for (const ButtonsCase& test : cases) {
    SCOPED_TRACE(test.name);
    QuietBar quiet;
    ASSERT_TRUE(quiet.made);
    CMenuBar& bar = quiet.bar;
    HMENU menu = CreateMenu();
    for (const auto& [text, popup] : test.items) {
      AppendMenuA(menu, popup ? MF_POPUP : MF_STRING,
                  popup ? reinterpret_cast<UINT_PTR>(CreatePopupMenu()) : 1, text);
    }
    ASSERT_TRUE(bar.AttachMenu(menu));
    std::vector<std::string> labels;
    const auto count = static_cast<int>(SendMessageA(bar.hwnd(), TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
      TBBUTTON button{};
      SendMessageA(bar.hwnd(), TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
      EXPECT_TRUE(button.fsStyle & BTNS_DROPDOWN);
      char text[64] = {};
      SendMessageA(bar.hwnd(), TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(text));
      labels.emplace_back(text);
    }
    EXPECT_EQ(labels, test.labels);
  }
}

TEST(MenuBarOwnership, TheBarDestroysEveryMenuGivenToIt) {
  HMENU before_creation = CreateMenu();
  HMENU replacement = CreateMenu();
  {
    TestFrame frame;
    CMenuBar bar;
    EXPECT_FALSE(bar.AttachMenu(before_creation)) << "no bar window yet";
    EXPECT_EQ(bar.menu(), before_creation);
    ASSERT_TRUE(frame.Create(nullptr, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, nullptr));
    ASSERT_NE(bar.Create(frame.hwnd(), kBarStyle), nullptr);
    EXPECT_EQ(bar.Create(frame.hwnd(), kBarStyle), nullptr) << "one window per bar";
    EXPECT_TRUE(bar.AttachMenu(replacement));
    EXPECT_FALSE(IsMenu(before_creation));
    EXPECT_FALSE(bar.AttachMenu(nullptr));
    EXPECT_EQ(bar.menu(), replacement);
  }
  EXPECT_FALSE(IsMenu(replacement));
}

// --- Images -----------------------------------------------------------------

constexpr std::uint32_t kMagenta = 0xFF00FF;

// What the frame draws for a menu item's image on a magenta ground twice the
// margin larger than the image: the pixels at the image's centre and corner.
struct DrawnImage {
  bool drawn;
  std::uint32_t centre;
  std::uint32_t corner;
};

DrawnImage DrawItemImage(HWND frame, WORD command, UINT state) {
  constexpr int kWidth = 24, kHeight = 19, kLeft = 4, kTop = 2;  // a 16 x 15 image, centred
  const BITMAPINFO info = TopDown32BitInfo(kWidth, kHeight);
  void* bits = nullptr;
  HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* pixels = static_cast<std::uint32_t*>(bits);
  std::fill(pixels, pixels + kWidth * kHeight, kMagenta);
  HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, canvas);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_MENU;
  item.itemID = command;
  item.itemState = state;
  item.hDC = dc;
  item.rcItem = {0, 0, kWidth, kHeight};
  const bool drawn = SendMessageA(frame, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)) == TRUE;
  GdiFlush();
  const DrawnImage result{drawn, pixels[(kTop + 7) * kWidth + kLeft + 8] & 0xFFFFFF,
                          pixels[kTop * kWidth + kLeft] & 0xFFFFFF};
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(canvas);
  return result;
}

struct ImagesCase {
  const char* name;
  bool images_first;  // loaded before the menu is attached
  std::vector<int> loads;
  bool last_load_succeeds;
  // The colour of each command's image; commands not listed have none.
  std::map<WORD, std::uint32_t> colours;
};

TEST(MenuBarImages, TheFrameDrawsTheToolbarImagesOfItsCommandsItems) {
  const std::map<WORD, std::uint32_t> three{
      {ID_TEST_NEW, 0xFF0000}, {ID_TEST_OPEN, 0x00FF00}, {ID_TEST_SAVE_AS, 0x0000FF}};
  const std::vector<ImagesCase> cases{
      {"after the menu", false, {IDR_TEST_IMAGES}, true, three},
      {"before the menu", true, {IDR_TEST_IMAGES}, true, three},
      {"fewer images than buttons", false, {IDR_SHORT_STRIP}, true, three},
      {"wrong version", false, {IDR_BAD_VERSION}, false, {}},
      {"no bitmap", false, {IDR_NO_BITMAP}, false, {}},
      {"no resource", false, {999}, false, {}},
      {"a failed load takes the old images away",
       false,
       {IDR_TEST_IMAGES, IDR_NO_BITMAP},
       false,
       {}},
  };
  const WORD commands[] = {ID_TEST_NEW,  ID_TEST_OPEN, ID_TEST_SAVE_AS,
                           ID_TEST_EXIT, ID_TEST_ROW,  ID_TEST_COPY};
  for (const ImagesCase& test : cases) {
    SCOPED_TRACE(test.name);
    QuietBar quiet;
    ASSERT_TRUE(quiet.made);
    CMenuBar& bar = quiet.bar;
    const HWND frame = quiet.frame.hwnd();
    HMENU menu = LoadMenuA(ResourceInstance(), MAKEINTRESOURCEA(IDR_TEST_MENU));
    if (!test.images_first) bar.AttachMenu(menu);
    bool loaded = false;
    for (int id : test.loads) loaded = bar.LoadImages(id);
    if (test.images_first) bar.AttachMenu(menu);
    EXPECT_EQ(loaded, test.last_load_succeeds);

    for (WORD command : commands) {
      SCOPED_TRACE(command);
      const auto colour = test.colours.find(command);
      const bool has_image = colour != test.colours.end();
      MENUITEMINFOA item{};
      item.cbSize = sizeof item;
      item.fMask = MIIM_BITMAP;
      ASSERT_TRUE(GetMenuItemInfoA(bar.menu(), command, FALSE, &item));
      EXPECT_EQ(item.hbmpItem, has_image ? HBMMENU_CALLBACK : nullptr);

      MEASUREITEMSTRUCT size{ODT_MENU, 0, command, 0, 0, 0};
      EXPECT_EQ(SendMessageA(frame, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&size)), has_image);
      const DrawnImage drawn = DrawItemImage(frame, command, 0);
      EXPECT_EQ(drawn.drawn, has_image);
      if (!has_image) {
        EXPECT_EQ(drawn.centre, kMagenta) << "nothing drawn";
        continue;
      }
      EXPECT_EQ(size.itemWidth, 20u) << "the image and a margin each side";
      EXPECT_EQ(size.itemHeight, 15u);
      EXPECT_EQ(drawn.centre, colour->second);
      EXPECT_EQ(drawn.corner, kMagenta) << "the background is left out";
    }
  }
}

TEST(MenuBarImages, ADisabledItemsImageIsFaded) {
  QuietBar quiet;
  ASSERT_TRUE(quiet.made);
  quiet.bar.AttachMenu(LoadMenuA(ResourceInstance(), MAKEINTRESOURCEA(IDR_TEST_MENU)));
  ASSERT_TRUE(quiet.bar.LoadImages(IDR_TEST_IMAGES));
  // Red at 96/255 over magenta: the red stays, the blue of the ground shows through.
  const std::uint32_t centre = DrawItemImage(quiet.frame.hwnd(), ID_TEST_NEW, ODS_GRAYED).centre;
  EXPECT_EQ(centre >> 8, 0xFF00u);
  EXPECT_NEAR(static_cast<int>(centre & 0xFF), 159, 2);
}

struct LayoutCase {
  const char* name;
  std::vector<WORD> words;
  bool valid;
  std::vector<WORD> commands;
};

TEST(ToolbarResource, ReadsVersionOneWithItsCommands) {
  const std::vector<LayoutCase> cases{
      {"buttons and a separator",
       {1, 16, 15, 4, 57600, 57601, 0, 57604},
       true,
       {57600, 57601, 0, 57604}},
      {"no buttons", {1, 16, 15, 0}, true, {}},
      {"padding after the ids", {1, 16, 15, 1, 57600, 0}, true, {57600}},
      {"version 2", {2, 16, 15, 0}, false, {}},
      {"no image width", {1, 0, 15, 0}, false, {}},
      {"no image height", {1, 16, 0, 0}, false, {}},
      {"fewer ids than the count", {1, 16, 15, 3, 57600, 57601}, false, {}},
  };
  for (const LayoutCase& test : cases) {
    SCOPED_TRACE(test.name);
    const auto layout = ParseToolbarResource(test.words.data(), test.words.size() * sizeof(WORD));
    ASSERT_EQ(layout.has_value(), test.valid);
    if (!layout) continue;
    EXPECT_EQ(layout->image_width, 16);
    EXPECT_EQ(layout->image_height, 15);
    EXPECT_EQ(layout->commands, test.commands);
  }
}

TEST(ToolbarResource, EveryTruncationIsRefused) {
  const WORD words[] = {1, 16, 15, 3, 57600, 57601, 57604};
  for (size_t size = 0; size < sizeof words; ++size)
    EXPECT_FALSE(ParseToolbarResource(words, size).has_value()) << size << " bytes";
  EXPECT_TRUE(ParseToolbarResource(words, sizeof words).has_value());
  EXPECT_FALSE(ParseToolbarResource(nullptr, sizeof words).has_value());
}

TEST(MenuBarMnemonic, IsTheCharacterAfterASingleAmpersand) {
  const std::vector<std::pair<const char*, char>> cases{
      {"&File", 'F'}, {"Save &As...", 'A'}, {"&view", 'V'}, {"A && B", 0}, {"A && &B", 'B'},
      {"&&&C", 'C'},  {"End&", 0},          {"", 0},        {"None", 0},
  };
  for (const auto& [text, mnemonic] : cases) EXPECT_EQ(MnemonicOf(text), mnemonic) << text;
}

}  // namespace
}  // namespace brx::framework

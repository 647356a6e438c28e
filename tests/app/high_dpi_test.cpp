// The main frame at the screen's scale: run once per DPI, each in a Wine
// prefix of its own (high_dpi_test.sh). The images, buttons and bars take
// the size drawn for that scale, and the panes show no more cut text or
// clipped controls than at 96 DPI.
//
// BRX_EXPECTED_DPI says which DPI the run must see; BRX_CUT_CONTROLS names a
// file: the run at 96 DPI writes the controls it finds cut there, the others
// read it.
#include <windows.h>
// commctrl.h needs the types above.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "app/main_frame.h"
#include "framework/dpi.h"
#include "res/resource.h"
#include "tests/app/gui_driver.h"
#include "tests/app/running_frame.h"
#include "tests/framework/input_script.h"
#include "tests/support/temp_folder.h"

namespace brx::testing {
namespace {

// What the user sees at each scale: image and button sizes in pixels.
struct Scale {
  int dpi;
  SIZE image;
  SIZE button;
};
constexpr Scale kScales[] = {
    {96, {16, 15}, {23, 22}},
    {120, {20, 19}, {29, 28}},
    {144, {24, 23}, {35, 34}},
    {192, {32, 30}, {46, 44}},
};

const Scale* ScaleOfThisRun() {
  const int dpi = framework::SystemDpi();
  for (const Scale& scale : kScales)
    if (scale.dpi == dpi) return &scale;
  return nullptr;
}

TEST(HighDpi, TheRunSeesTheDpiItWasStartedFor) {
  const char* expected = std::getenv("BRX_EXPECTED_DPI");
  if (!expected) GTEST_SKIP() << "BRX_EXPECTED_DPI is not set";
  EXPECT_EQ(framework::SystemDpi(), std::atoi(expected));
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), std::atoi(expected));
  ReleaseDC(nullptr, screen);
}

TEST(HighDpi, ToolbarAndMenuImagesAreTheSizeOfTheScale) {
  const Scale* scale = ScaleOfThisRun();
  ASSERT_NE(scale, nullptr) << "no sizes known for " << framework::SystemDpi() << " DPI";
  RunningFrame running;
  HWND toolbar = running.frame().toolbar();
  ASSERT_NE(toolbar, nullptr);
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 3);
  int width = 0, height = 0;
  ImageList_GetIconSize(images, &width, &height);
  EXPECT_EQ(width, scale->image.cx);
  EXPECT_EQ(height, scale->image.cy);
  const LRESULT button = SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);
  EXPECT_EQ(LOWORD(button), scale->button.cx);
  EXPECT_EQ(HIWORD(button), scale->button.cy);

  // The menu's images for New, Open and Save As, as the menu asks for them.
  for (const UINT command : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE_AS}) {
    MEASUREITEMSTRUCT size{ODT_MENU, 0, command, 0, 0, 0};
    ASSERT_TRUE(SendMessageA(running.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&size)));
    EXPECT_EQ(size.itemHeight, static_cast<UINT>(scale->image.cy)) << command;
    EXPECT_GT(size.itemWidth, static_cast<UINT>(scale->image.cx)) << command;
  }
}

// The height a line of text in `window`'s font takes.
int TextHeightIn(HWND window) {
  HDC dc = GetDC(window);
  auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  const HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return metrics.tmHeight;
}

int HeightOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

TEST(HighDpi, BandsAndStatusBarHoldWhatTheyShow) {
  RunningFrame running;
  CMainFrame& frame = running.frame();
  HWND rebar = frame.toolbarHost();
  ASSERT_NE(rebar, nullptr);
  const LRESULT button = SendMessageA(frame.toolbar(), TB_GETBUTTONSIZE, 0, 0);
  for (int index = 0; index < 2; ++index) {
    RECT band{};
    SendMessageA(rebar, RB_GETRECT, index, reinterpret_cast<LPARAM>(&band));
    HWND child = index == 0 ? frame.menuBar().hwnd() : frame.toolbar();
    EXPECT_GE(band.bottom - band.top, HeightOf(child)) << "band " << index;
  }
  EXPECT_GE(HeightOf(frame.toolbar()), HIWORD(button));
  EXPECT_GE(HeightOf(frame.menuBar().hwnd()), TextHeightIn(frame.menuBar().hwnd()));
  // The status bar's text and its sizing grip, with room for the borders.
  RECT status{};
  GetClientRect(frame.statusBar(), &status);
  EXPECT_GT(status.bottom - status.top, TextHeightIn(frame.statusBar()));
}

// How a control is cut, empty when it is not: its text is wider than the room
// the control gives it, or it reaches out of the pane, or out of the view
// that holds the pane.
std::string HowCut(HWND control, HWND pane, HWND view) {
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, pane, reinterpret_cast<POINT*>(&place), 2);
  RECT pane_area{};
  GetClientRect(pane, &pane_area);
  RECT view_area{};
  GetClientRect(view, &view_area);
  MapWindowPoints(view, pane, reinterpret_cast<POINT*>(&view_area), 2);
  RECT shown{};
  IntersectRect(&shown, &pane_area, &view_area);
  RECT inside{};
  IntersectRect(&inside, &place, &shown);
  if (!EqualRect(&inside, &place))
    return "reaches out of what is shown: " + std::to_string(place.right) + "," +
           std::to_string(place.bottom) + " beyond " + std::to_string(shown.right) + "," +
           std::to_string(shown.bottom);

  char class_name[16] = {};
  GetClassNameA(control, class_name, sizeof class_name);
  const std::string text = WindowText(control);
  if (text.empty() || lstrcmpiA(class_name, "Edit") == 0) return "";
  HDC dc = GetDC(control);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  RECT needed{};
  DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  int room = place.right - place.left;
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
  const DWORD type = style & BS_TYPEMASK;
  const bool is_box = lstrcmpiA(class_name, "Button") == 0 &&
                      (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_GROUPBOX);
  // A check box's square and its gap take room from the text; a group box's
  // title sits between its corners.
  if (is_box) room -= framework::ScaleForDpi(type == BS_GROUPBOX ? 16 : 18, framework::SystemDpi());
  const bool multi_line =
      lstrcmpiA(class_name, "Static") == 0 && HeightOf(control) >= 2 * (needed.bottom - needed.top);
  if (multi_line || needed.right <= room) return "";
  return "the text needs " + std::to_string(needed.right) + " pixels, the control gives " +
         std::to_string(room);
}

// The cut controls by name, with how each is cut.
std::map<std::string, std::string> CutControlsOf(HWND pane, HWND view, const char* pane_name) {
  std::map<std::string, std::string> cut;
  for (HWND child = GetWindow(pane, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string how = IsWindowVisible(child) ? HowCut(child, pane, view) : "";
    if (how.empty()) continue;
    const int id = GetDlgCtrlID(child);
    cut[std::string(pane_name) + " " +
        (id > 0 && id != 0xFFFF ? std::to_string(id) : "\"" + WindowText(child) + "\"")] = how;
  }
  return cut;
}

TEST(HighDpi, PanesCutNoMoreThanAt96Dpi) {
  const char* record = std::getenv("BRX_CUT_CONTROLS");
  if (!record) GTEST_SKIP() << "BRX_CUT_CONTROLS is not set";
  TempFolder folder;
  RunningFrame running(WriteSampleFile(folder.path().string(), "one.brx", {1}));
  CEditorView& view = running.frame().view();
  HWND tree = running.Tree();
  std::map<std::string, std::string> cut;
  // The first structure is selected at start; its first tile comes next.
  ASSERT_NE(view.PaneWindow(), nullptr);
  cut.merge(CutControlsOf(view.PaneWindow(), view.hwnd(), "structure pane"));
  HTREEITEM tile = TreeView_GetChild(tree, TreeView_GetRoot(tree));
  ASSERT_NE(tile, nullptr);
  TreeView_SelectItem(tree, tile);
  ASSERT_TRUE(running.RunUntil(gui_test::QueueDrained));
  ASSERT_NE(view.PaneWindow(), nullptr);
  cut.merge(CutControlsOf(view.PaneWindow(), view.hwnd(), "tile pane"));

  if (framework::SystemDpi() == 96) {
    std::ofstream out(record);
    for (const auto& [name, how] : cut) out << name << '\n';
    ASSERT_TRUE(out.good()) << record;
    return;
  }
  std::ifstream in(record);
  ASSERT_TRUE(in.good()) << "no list from the run at 96 DPI: " << record;
  std::set<std::string> at_96;
  for (std::string line; std::getline(in, line);) at_96.insert(line);
  for (const auto& [name, how] : cut)
    EXPECT_TRUE(at_96.count(name))
        << name << " is cut at " << framework::SystemDpi() << " DPI only: " << how;
}

}  // namespace
}  // namespace brx::testing

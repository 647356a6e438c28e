// Bars made from the program's resources: the toolbar from toolbar resource
// 128, its band in a rebar, and the status bar.
#include "framework/toolbar.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/dpi.h"
#include "res/resource.h"

namespace brx::framework {
namespace {

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | CCS_NODIVIDER | CCS_NORESIZE |
                              CCS_NOPARENTALIGN | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS;

class BarsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&classes);
    parent_ = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500,
                              300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override { DestroyWindow(parent_); }

  HWND parent_ = nullptr;
};

TEST_F(BarsTest, ToolbarHasTheResourcesButtonsImagesAndSizes) {
  HWND toolbar = CreateToolbarFromResource(parent_, IDR_MAINFRAME, kChildStyle, IDW_TOOLBAR);
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(GetDlgCtrlID(toolbar), IDW_TOOLBAR);
  RECT placed{};
  GetWindowRect(toolbar, &placed);
  EXPECT_EQ(placed.right - placed.left, 100);
  EXPECT_EQ(placed.bottom - placed.top, 100);

  ASSERT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 3);
  const int commands[] = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE_AS};
  for (int i = 0; i < 3; ++i) {
    TBBUTTON button{};
    ASSERT_TRUE(SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)));
    EXPECT_EQ(button.idCommand, commands[i]);
    EXPECT_EQ(button.iBitmap, i);
    EXPECT_EQ(button.fsState, TBSTATE_ENABLED);
    EXPECT_EQ(button.fsStyle, BTNS_BUTTON);
  }
  const LRESULT size = SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);
  EXPECT_EQ(LOWORD(size), 23);
  EXPECT_EQ(HIWORD(size), 22);
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 3);
  int width = 0, height = 0;
  ImageList_GetIconSize(images, &width, &height);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 15);
}

// The images of the largest scale the screen reaches, never larger ones: at
// 175 % the 150 % set, below 100 % the 100 % one. The list's order is free.
TEST(PickForDpi, TakesTheLargestScaleTheDpiReaches) {
  constexpr ScaledResource kSets[] = {{150, 3}, {100, 1}, {200, 4}, {125, 2}};
  const struct {
    int dpi;
    int picked;
  } cases[] = {{72, 1},  {96, 1},  {119, 1}, {120, 2}, {143, 2},
               {144, 3}, {168, 3}, {191, 3}, {192, 4}, {288, 4}};
  for (const auto& c : cases) EXPECT_EQ(PickForDpi(kSets, c.dpi), c.picked) << c.dpi << " DPI";
  EXPECT_EQ(PickForDpi(kSets, 0, 96), 0);
}

TEST_F(BarsTest, NoToolbarWithoutItsResource) {
  EXPECT_EQ(CreateToolbarFromResource(parent_, 4242, kChildStyle, IDW_TOOLBAR), nullptr);
  EXPECT_EQ(GetWindow(parent_, GW_CHILD), nullptr);  // nothing left behind
}

TEST_F(BarsTest, BandsAreNumberedInOrderAndSizedFromTheirButtons) {
  HWND rebar = CreateRebar(parent_, WS_CHILD | WS_VISIBLE | RBS_VARHEIGHT | RBS_AUTOSIZE, 77);
  ASSERT_NE(rebar, nullptr);
  EXPECT_EQ(GetDlgCtrlID(rebar), 77);
  HWND first = CreateToolbarFromResource(parent_, IDR_MAINFRAME, kChildStyle, 1);
  HWND second = CreateToolbarFromResource(parent_, IDR_MAINFRAME, kChildStyle, 2);
  EXPECT_EQ(AddToolbarBand(rebar, first, false), kFirstBandId);
  EXPECT_EQ(AddToolbarBand(rebar, second, true), kFirstBandId + 1);
  EXPECT_EQ(AddToolbarBand(rebar, nullptr, true), 0u);
  ASSERT_EQ(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0), 2);

  RECT first_button{}, last_button{};
  SendMessageA(second, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first_button));
  SendMessageA(second, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&last_button));
  for (int index = 0; index < 2; ++index) {
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask =
        RBBIM_ID | RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
    ASSERT_TRUE(SendMessageA(rebar, RB_GETBANDINFOA, index, reinterpret_cast<LPARAM>(&band)));
    EXPECT_EQ(band.wID, kFirstBandId + index);
    EXPECT_EQ(band.hwndChild, index == 0 ? first : second);
    EXPECT_NE(band.fStyle & RBBS_CHILDEDGE, 0u);
    EXPECT_EQ((band.fStyle & RBBS_BREAK) != 0, index == 1);
    EXPECT_EQ(band.cxMinChild, static_cast<UINT>(first_button.right));
    EXPECT_EQ(band.cyMinChild, static_cast<UINT>(last_button.bottom - last_button.top));
    EXPECT_EQ(band.cxIdeal, static_cast<UINT>(last_button.right));
  }
  EXPECT_EQ(SendMessageA(rebar, RB_IDTOINDEX, kFirstBandId + 1, 0), 1);
}

TEST_F(BarsTest, StatusBarShowsItsString) {
  HWND status =
      CreateStatusBar(parent_, IDS_READY, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, IDW_STATUS_BAR);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(GetDlgCtrlID(status), IDW_STATUS_BAR);
  char text[64] = {};
  SendMessageA(status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Ready");
}

}  // namespace
}  // namespace brx::framework

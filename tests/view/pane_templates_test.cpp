// The three dialog templates as the dialog manager builds them: every
// control's id, kind, label, position and size in dialog units, the tab
// order, and the templates' own styles. The labels of fields and flags come
// from the field table and the flag labels (model/), so this test is what
// holds the templates in res/ and those tables together.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "model/fields.h"
#include "model/flags.h"
#include "os/system_file_system.h"
#include "res/resource.h"
#include "tests/view/view_test_support.h"
#include "view/editor_view.h"
#include "view/structure_pane.h"
#include "view/tile_pane.h"

namespace brx {
namespace {

enum class Kind { kLabel, kEtchedLine, kGroupBox, kEdit, kCheckbox, kPushButton, kTree };

struct Control {
  int id;
  Kind kind;
  std::string text;  // empty for edit boxes: their text is the loaded value
  RECT units;        // x, y, width, height in dialog units
};

Control At(int id, Kind kind, std::string_view text, int x, int y, int width, int height) {
  return {id, kind, std::string(text), {x, y, width, height}};
}

// The dialog manager maps a control's position and size each on its own.
RECT ToPixels(HWND dialog, RECT units) {
  MapDialogRect(dialog, &units);
  return units;
}

bool HasBorder(HWND window) {
  // Edit boxes and tree views turn a thin border into a sunken edge.
  return (GetWindowLongA(window, GWL_STYLE) & WS_BORDER) ||
         (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

Kind KindOf(HWND control) {
  char name[64] = {};
  GetClassNameA(control, name, sizeof name);
  const std::string type = name;
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  if (type == "Edit") return Kind::kEdit;
  if (type == WC_TREEVIEWA) return Kind::kTree;
  if (type == "Static")
    return (style & SS_TYPEMASK) == SS_ETCHEDHORZ ? Kind::kEtchedLine : Kind::kLabel;
  switch (style & BS_TYPEMASK) {
    case BS_GROUPBOX:
      return Kind::kGroupBox;
    case BS_AUTOCHECKBOX:
      return Kind::kCheckbox;
    default:
      return Kind::kPushButton;
  }
}

// The controls in template order (the order of the window list) with their
// rectangles compared in pixels, as the dialog's font maps the units.
void ExpectControls(HWND dialog, const std::vector<Control>& expected) {
  std::size_t n = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT), ++n) {
    ASSERT_LT(n, expected.size()) << "more controls than expected";
    const Control& want = expected[n];
    SCOPED_TRACE("control " + std::to_string(n) + " (" + want.text + ", id " +
                 std::to_string(want.id) + ")");
    EXPECT_EQ(static_cast<int>(static_cast<short>(GetDlgCtrlID(child))), want.id);
    EXPECT_EQ(KindOf(child), want.kind);
    if (want.kind != Kind::kEdit) {
      EXPECT_EQ(testing::WindowText(child), want.text);
    }
    const RECT pixels = ToPixels(dialog, want.units);
    RECT actual{};
    GetWindowRect(child, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, pixels.left);
    EXPECT_EQ(actual.top, pixels.top);
    // The static control draws an etched line with an edge of its own,
    // which Wine adds to the line's window.
    const int slack = want.kind == Kind::kEtchedLine ? 2 : 0;
    EXPECT_NEAR(actual.right - actual.left, pixels.right, slack);
    EXPECT_NEAR(actual.bottom - actual.top, pixels.bottom, slack);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    const bool tab_stop = want.kind == Kind::kEdit || want.kind == Kind::kCheckbox ||
                          want.kind == Kind::kPushButton || want.kind == Kind::kTree;
    EXPECT_EQ((style & WS_TABSTOP) != 0, tab_stop);
    if (want.kind == Kind::kEdit) {
      EXPECT_TRUE(style & ES_AUTOHSCROLL);
      EXPECT_TRUE(HasBorder(child));
      EXPECT_EQ(style & (ES_NUMBER | ES_MULTILINE), 0);
    }
  }
  EXPECT_EQ(n, expected.size());
}

// The ids of the tab stops in the order the dialog manager visits them.
std::vector<int> TabOrder(HWND dialog) {
  std::vector<int> ids;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) ids.push_back(GetDlgCtrlID(child));
  }
  return ids;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> ids;
  for (int id = first; id <= last; ++id) ids.push_back(id);
  return ids;
}

std::vector<int> Joined(std::initializer_list<std::vector<int>> parts) {
  std::vector<int> ids;
  for (const auto& part : parts) ids.insert(ids.end(), part.begin(), part.end());
  return ids;
}

void ExpectPaneWindow(HWND pane, bool visible) {
  const LONG style = GetWindowLongA(pane, GWL_STYLE);
  EXPECT_EQ((style & WS_VISIBLE) != 0, visible);
  EXPECT_EQ(style & (WS_CHILD | WS_CAPTION), WS_CHILD);
  // A control container: its controls join the view's Tab navigation.
  EXPECT_TRUE(GetWindowLongA(pane, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  RECT size{0, 0, 368, 215};
  MapDialogRect(pane, &size);
  RECT client{};
  GetClientRect(pane, &client);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);
}

TEST(PaneTemplates, StructurePane) {
  testing::HostWindow host;
  CStructurePane pane{StructureHeader{}};
  ASSERT_NE(pane.Create(host.hwnd()), nullptr);
  ExpectPaneWindow(pane.hwnd(), false);

  std::vector<Control> controls{
      At(-1, Kind::kGroupBox, "Structure properties", 0, 0, 368, 215),
      At(-1, Kind::kLabel, fields::kArmour.label, 11, 15, 47, 8),
      At(IDC_ARMOUR, Kind::kEdit, "", 75, 12, 40, 14),
      At(-1, Kind::kLabel, fields::kHitPoints.label, 11, 33, 53, 8),
      At(IDC_HIT_POINTS, Kind::kEdit, "", 75, 30, 40, 14),
      At(-1, Kind::kLabel, fields::kDensity.label, 11, 51, 48, 8),
      At(IDC_DENSITY, Kind::kEdit, "", 75, 49, 40, 14),
      At(-1, Kind::kLabel, fields::kWallOrientation.label, 127, 14, 49, 8),
      At(IDC_WALL_ORIENTATION, Kind::kEdit, "", 185, 11, 40, 14),
      At(-1, Kind::kLabel, fields::kZTileOffsetX.label, 127, 32, 38, 8),
      At(IDC_Z_TILE_OFFSET_X, Kind::kEdit, "", 185, 29, 40, 14),
      At(-1, Kind::kLabel, fields::kZTileOffsetY.label, 127, 50, 40, 8),
      At(IDC_Z_TILE_OFFSET_Y, Kind::kEdit, "", 185, 48, 40, 14),
      At(-1, Kind::kLabel, fields::kDestructionPartner.label, 13, 73, 223, 8),
      At(IDC_DESTRUCTION_PARTNER, Kind::kEdit, "", 243, 72, 40, 14),
      At(-1, Kind::kLabel, fields::kPartnerDelta.label, 13, 89, 187, 8),
      At(IDC_PARTNER_DELTA, Kind::kEdit, "", 243, 89, 40, 14),
      At(-1, Kind::kEtchedLine, "", 5, 113, 359, 1),
  };
  struct Flag {
    int bit, x, y, width;
  };
  // Template order of the checkboxes, which is their tab order.
  const std::vector<Flag> flags{
      {0, 304, 9, 43},    {1, 304, 22, 33},   {2, 304, 35, 47},   {3, 304, 48, 39},
      {4, 304, 61, 37},   {5, 304, 74, 45},   {6, 304, 87, 46},   {7, 304, 100, 54},
      {8, 15, 120, 41},   {9, 15, 131, 31},   {10, 15, 142, 36},  {11, 15, 153, 53},
      {16, 128, 120, 30}, {17, 128, 131, 72}, {18, 128, 142, 53}, {19, 128, 153, 31},
      {12, 15, 164, 65},  {13, 15, 175, 39},  {14, 15, 186, 56},  {15, 15, 197, 39},
      {23, 128, 197, 57}, {22, 128, 186, 50}, {20, 128, 164, 59}, {21, 128, 175, 49},
      {24, 244, 120, 55}, {25, 244, 131, 54}, {26, 244, 142, 41}, {27, 244, 153, 37},
      {28, 244, 164, 80}, {29, 244, 175, 84}, {31, 244, 197, 38}, {30, 244, 186, 38},
  };
  for (const Flag& flag : flags)
    controls.push_back(At(IDC_FIRST_FLAG + flag.bit, Kind::kCheckbox,
                          StructureFlags::Label(flag.bit), flag.x, flag.y, flag.width, 10));
  ExpectControls(pane.hwnd(), controls);

  const std::vector<int> tab_order = Joined({{1003, 1004, 1005, 1006, 1009, 1010, 1007, 1008},
                                             Range(1022, 1033),
                                             Range(1038, 1041),
                                             Range(1034, 1037),
                                             {1045, 1044, 1042, 1043},
                                             Range(1046, 1051),
                                             {1053, 1052}});
  EXPECT_EQ(TabOrder(pane.hwnd()), tab_order);
}

TEST(PaneTemplates, TilePane) {
  testing::HostWindow host;
  CTilePane pane{TileRecord{}};
  ASSERT_NE(pane.Create(host.hwnd()), nullptr);
  ExpectPaneWindow(pane.hwnd(), true);

  std::vector<Control> controls{
      At(-1, Kind::kGroupBox, "Tile properties", 0, 0, 368, 215),
      At(-1, Kind::kLabel, fields::ksPosRelToBase.label, 12, 17, 92, 8),
      At(IDC_S_POS_REL_TO_BASE, Kind::kEdit, "", 111, 16, 40, 14),
      At(-1, Kind::kLabel, fields::kbXPosRelToBase.label, 12, 38, 57, 8),
      At(IDC_B_X_POS_REL_TO_BASE, Kind::kEdit, "", 111, 36, 40, 14),
      At(-1, Kind::kLabel, fields::kbYPosRelToBase.label, 12, 59, 57, 8),
      At(IDC_B_Y_POS_REL_TO_BASE, Kind::kEdit, "", 111, 56, 40, 14),
      At(IDC_TILE_ON_ROOF, Kind::kCheckbox, TileFlags::Label(TileFlags::kOnRoof), 186, 33, 51, 10),
      At(IDC_TILE_PASSABLE, Kind::kCheckbox, TileFlags::Label(TileFlags::kPassable), 186, 16, 57,
         10),
      At(-1, Kind::kLabel, fields::kubVehicleHitLocation.label, 186, 59, 68, 8),
      At(IDC_UB_VEHICLE_HIT_LOCATION, Kind::kEdit, "", 265, 56, 40, 14),
      At(-1, Kind::kLabel, fields::kShape.label, 23, 86, 22, 8),
      At(-1, Kind::kEtchedLine, "", 52, 90, 303, 1),
  };
  // Cell 1024 + k holds shape byte k in column k / 5, row k % 5.
  const int columns[] = {26, 51, 77, 102, 127};
  const int rows[] = {102, 120, 138, 155, 172};
  for (int k = 0; k < 25; ++k)
    controls.push_back(
        At(IDC_FIRST_SHAPE_CELL + k, Kind::kEdit, "", columns[k / 5], rows[k % 5], 21, 14));
  ExpectControls(pane.hwnd(), controls);

  EXPECT_EQ(TabOrder(pane.hwnd()),
            Joined({{1013, 1014, 1015, 1016, 1017, 1019}, Range(1024, 1048)}));
}

TEST(PaneTemplates, EditorView) {
  testing::HostWindow host;
  CEditorView view(SystemFileSystem());
  ASSERT_NE(view.Create(host.hwnd()), nullptr);
  const LONG style = GetWindowLongA(view.hwnd(), GWL_STYLE);
  const LONG wanted = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  EXPECT_EQ(style & (wanted | WS_CAPTION), wanted);
  EXPECT_TRUE(GetWindowLongA(view.hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

  ExpectControls(view.hwnd(),
                 {
                     At(IDC_STRUCTURE_TREE, Kind::kTree, "", 0, 0, 132, 260),
                     At(IDC_ADD_STRUCT, Kind::kPushButton, "&Add Struct", 136, 2, 50, 14),
                     At(IDC_DELETE, Kind::kPushButton, "&Delete", 244, 2, 50, 14),
                     At(IDC_ADD_TILE, Kind::kPushButton, "Add Tile", 189, 2, 50, 14),
                 });
  EXPECT_EQ(TabOrder(view.hwnd()),
            (std::vector<int>{IDC_STRUCTURE_TREE, IDC_ADD_STRUCT, IDC_DELETE, IDC_ADD_TILE}));

  HWND tree_control = GetDlgItem(view.hwnd(), IDC_STRUCTURE_TREE);
  EXPECT_TRUE(HasBorder(tree_control));
  const LONG tree = GetWindowLongA(tree_control, GWL_STYLE);
  const LONG tree_on =
      TVS_HASBUTTONS | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | TVS_NOTOOLTIPS | TVS_FULLROWSELECT;
  const LONG tree_off = TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS | TVS_CHECKBOXES;
  EXPECT_EQ(tree & (tree_on | tree_off), tree_on);
}

}  // namespace
}  // namespace brx

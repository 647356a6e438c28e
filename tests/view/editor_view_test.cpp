// The editor view on a real tree control from template 129: the buttons,
// the insertion rule, the store into the record left and the fresh pane
// for the item entered, and the document operations.
#include "view/editor_view.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/structure_data.h"
#include "res/resource.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"
#include "tests/view/view_test_support.h"

namespace brx {
namespace {

using testing::TreeRow;

class EditorViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(view_.Create(host_.hwnd()), nullptr);
    tree_ = GetDlgItem(view_.hwnd(), IDC_STRUCTURE_TREE);
    ASSERT_NE(tree_, nullptr);
  }

  // Loads a document the way a user would get one: from a file.
  void Open(const StructureSet& set) {
    const std::string path = folder_.File("open.brx");
    ASSERT_TRUE(set.SaveToFile(path.c_str()));
    std::string reason;
    ASSERT_TRUE(view_.LoadDocument(path.c_str(), &reason)) << reason;
  }
  // The document as the reader gives it back (counts and positions put in).
  StructureSet AsLoaded(const StructureSet& set) {
    const std::string path = folder_.File("expected.brx");
    EXPECT_TRUE(set.SaveToFile(path.c_str()));
    StructureSet loaded;
    EXPECT_TRUE(loaded.LoadFromFile(path.c_str()));
    return loaded;
  }
  StructureSet Saved() {
    const std::string path = folder_.File("saved.brx");
    std::string reason;
    EXPECT_TRUE(view_.SaveDocument(path.c_str(), &reason)) << reason;
    StructureSet saved;
    EXPECT_TRUE(saved.LoadFromFile(path.c_str()));
    return saved;
  }

  void Click(int button) { testing::ClickButton(view_.hwnd(), button); }
  void Select(HTREEITEM item) { TreeView_SelectItem(tree_, item); }
  HTREEITEM Top(int n) { return testing::TopItem(tree_, n); }
  HWND Pane() { return view_.PaneWindow(); }
  // The pane's dialog template, told by a control only that template has.
  bool ShowsStructurePane() { return Pane() && GetDlgItem(Pane(), IDC_ARMOUR); }
  bool ShowsTilePane() { return Pane() && GetDlgItem(Pane(), IDC_S_POS_REL_TO_BASE); }

  testing::TempFolder folder_;
  testing::HostWindow host_;
  CEditorView view_;
  HWND tree_ = nullptr;
};

TEST_F(EditorViewTest, StartsEmptyAndTheTreeButtonsDoNothingWithoutASelection) {
  testing::BeepCounter beeps;
  Click(IDC_ADD_TILE);
  Click(IDC_DELETE);
  EXPECT_TRUE(testing::TreeRows(tree_).empty());
  EXPECT_EQ(Pane(), nullptr);
  EXPECT_EQ(view_.Document().StructureCount(), 0u);
  EXPECT_EQ(beeps.count(), 0);
}

TEST_F(EditorViewTest, AddStructOnAnEmptyTreeSelectsAZeroStructureBelowTheButtons) {
  Click(IDC_ADD_STRUCT);
  EXPECT_EQ(testing::TreeRows(tree_), (std::vector<TreeRow>{{0, 0, true}}));
  EXPECT_EQ(testing::ItemText(tree_, Top(0)), "Structure item");
  ASSERT_EQ(view_.Document().StructureCount(), 1u);
  EXPECT_EQ(view_.Document().Header(0), StructureHeader{});

  ASSERT_TRUE(ShowsStructurePane());
  EXPECT_TRUE(IsWindowVisible(Pane()));
  for (int control :
       {IDC_ARMOUR, IDC_HIT_POINTS, IDC_DENSITY, IDC_WALL_ORIENTATION, IDC_Z_TILE_OFFSET_X,
        IDC_Z_TILE_OFFSET_Y, IDC_DESTRUCTION_PARTNER, IDC_PARTNER_DELTA})
    EXPECT_EQ(testing::ControlText(Pane(), control), "0") << control;
  for (int control = IDC_FIRST_FLAG; control <= IDC_LAST_FLAG; ++control)
    EXPECT_FALSE(testing::IsChecked(Pane(), control)) << control;

  // Left edge under "&Add Struct", 10 pixels below it, at the template's size.
  RECT button{};
  GetWindowRect(GetDlgItem(view_.hwnd(), IDC_ADD_STRUCT), &button);
  MapWindowPoints(nullptr, view_.hwnd(), reinterpret_cast<POINT*>(&button), 2);
  RECT pane{};
  GetWindowRect(Pane(), &pane);
  MapWindowPoints(nullptr, view_.hwnd(), reinterpret_cast<POINT*>(&pane), 2);
  RECT size{0, 0, 368, 215};
  MapDialogRect(Pane(), &size);
  EXPECT_EQ(pane.left, button.left);
  EXPECT_EQ(pane.top, button.bottom + 10);
  EXPECT_EQ(pane.right - pane.left, size.right);
  EXPECT_EQ(pane.bottom - pane.top, size.bottom);
}

}  // namespace
}  // namespace brx

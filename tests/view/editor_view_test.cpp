// The editor view on a real tree control from template 129: the buttons,
// the insertion rule, the store into the record left and the fresh pane
// for the item entered, and the document operations.
#include "view/editor_view.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/fields.h"
#include "model/structure_data.h"
#include "model/structure_files.h"
#include "os/system_file_system.h"
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
    std::string reason;
    ASSERT_TRUE(SaveToFile(set, path.c_str(), SystemFileSystem(), reason)) << reason;
    ASSERT_TRUE(view_.LoadDocument(path.c_str(), reason)) << reason;
  }
  // The document as the reader gives it back (counts and positions put in).
  StructureSet AsLoaded(const StructureSet& set) {
    const std::string path = folder_.File("expected.brx");
    std::string reason;
    EXPECT_TRUE(SaveToFile(set, path.c_str(), SystemFileSystem(), reason)) << reason;
    StructureSet loaded;
    EXPECT_TRUE(LoadFromFile(loaded, path.c_str(), SystemFileSystem(), reason)) << reason;
    return loaded;
  }
  StructureSet Saved() {
    const std::string path = folder_.File("saved.brx");
    std::string reason;
    EXPECT_TRUE(view_.SaveDocument(path.c_str(), reason)) << reason;
    StructureSet saved;
    EXPECT_TRUE(LoadFromFile(saved, path.c_str(), SystemFileSystem(), reason)) << reason;
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
  CEditorView view_{SystemFileSystem()};
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

TEST_F(EditorViewTest, AddStructGoesAfterASelectedStructureAndLastAfterATile) {
  Open(testing::PatternDocument({0, 0, 0}));
  Select(Top(0));
  Click(IDC_ADD_STRUCT);
  EXPECT_EQ(testing::TreeRows(tree_),
            (std::vector<TreeRow>{{0, 0, false}, {0, 3, true}, {0, 1, false}, {0, 2, false}}));
  ASSERT_TRUE(ShowsStructurePane());
  EXPECT_EQ(testing::ControlText(Pane(), IDC_ARMOUR), "0");

  // Saved as the fourth structure, and listed last once read back.
  const StructureSet saved = Saved();
  ASSERT_EQ(saved.StructureCount(), 4u);
  StructureHeader added;
  added.SetStructureNumber(3);
  EXPECT_EQ(saved.Header(3), added);
  Open(saved);
  EXPECT_EQ(testing::TreeRows(tree_),
            (std::vector<TreeRow>{{0, 0, true}, {0, 1, false}, {0, 2, false}, {0, 3, false}}));
}

TEST_F(EditorViewTest, AddStructWithATileSelectedStoresTheTileAndGoesLast) {
  Open(testing::PatternDocument({1, 0}));
  Select(testing::ChildItem(tree_, Top(0), 0));
  ASSERT_TRUE(ShowsTilePane());
  testing::SetControlText(Pane(), IDC_S_POS_REL_TO_BASE, "-300");
  Click(IDC_ADD_STRUCT);
  EXPECT_EQ(testing::TreeRows(tree_),
            (std::vector<TreeRow>{{0, 0, false}, {1, 0, false}, {0, 1, false}, {0, 2, true}}));
  EXPECT_EQ(fields::ksPosRelToBase.ValueIn(view_.Document().Tile(0, 0)), -300);
  EXPECT_TRUE(ShowsStructurePane());
}

TEST_F(EditorViewTest, AddTileGoesLastUnderTheStructureAndLeavesSelectionAndPane) {
  const StructureSet loaded = AsLoaded(testing::PatternDocument({2, 1}));
  Open(loaded);
  TreeView_Expand(tree_, Top(0), TVE_COLLAPSE);
  const HWND pane = Pane();
  testing::SetControlText(pane, IDC_ARMOUR, "77");  // not stored yet

  Click(IDC_ADD_TILE);
  EXPECT_EQ(testing::TreeRows(tree_), (std::vector<TreeRow>{{0, 0, true},
                                                            {1, 0, false},
                                                            {1, 1, false},
                                                            {1, 2, false},
                                                            {0, 1, false},
                                                            {1, 0, false}}));
  EXPECT_EQ(testing::ItemText(tree_, testing::ChildItem(tree_, Top(0), 2)), "Tile item");
  EXPECT_TRUE(testing::IsExpanded(tree_, Top(0)));
  EXPECT_EQ(Pane(), pane);
  EXPECT_EQ(testing::ControlText(pane, IDC_ARMOUR), "77");
  ASSERT_EQ(view_.Document().TileCount(0), 3u);
  EXPECT_EQ(view_.Document().Tile(0, 2), TileRecord{});
  // The header, its tile count byte included, is the one read.
  EXPECT_EQ(view_.Document().Header(0), loaded.Header(0));
}

TEST_F(EditorViewTest, AddTileAndDeleteDoNothingWithATileSelected) {
  Open(testing::PatternDocument({1}));
  Select(testing::ChildItem(tree_, Top(0), 0));
  const HWND pane = Pane();
  const std::vector<TreeRow> rows = testing::TreeRows(tree_);
  const StructureSet before = view_.Document();
  testing::BeepCounter beeps;
  Click(IDC_ADD_TILE);
  Click(IDC_DELETE);
  EXPECT_EQ(testing::TreeRows(tree_), rows);
  EXPECT_TRUE(view_.Document() == before);
  EXPECT_EQ(Pane(), pane);
  EXPECT_EQ(beeps.count(), 0);
}

TEST_F(EditorViewTest, DeleteRemovesTheStructureFromTheTreeOnly) {
  const StructureSet loaded = AsLoaded(testing::PatternDocument({1, 2, 0}));
  Open(loaded);
  Select(Top(1));
  testing::SetControlText(Pane(), IDC_ARMOUR, "99");
  Click(IDC_DELETE);

  const std::vector<TreeRow> rows = testing::TreeRows(tree_);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].data, 0u);
  EXPECT_EQ(rows[1].depth, 1);
  EXPECT_EQ(rows[2].depth, 0);
  EXPECT_EQ(rows[2].data, 2u);
  // The pane is the selected item's, whichever the tree chose.
  HTREEITEM selected = TreeView_GetSelection(tree_);
  ASSERT_NE(selected, nullptr);
  EXPECT_NE(Pane(), nullptr);
  EXPECT_EQ(TreeView_GetParent(tree_, selected) == nullptr, ShowsStructurePane());

  // Still in the document, with the edit made before the delete, and saved.
  StructureSet expected = loaded;
  StructureHeader edited = loaded.Header(1);
  fields::kArmour.Put(edited, 99);
  expected.SetHeader(1, edited);
  EXPECT_TRUE(Saved() == expected);
}

TEST_F(EditorViewTest, DeletingTheLastItemLeavesNoPane) {
  Open(testing::PatternDocument({2}));
  Click(IDC_DELETE);
  EXPECT_TRUE(testing::TreeRows(tree_).empty());
  EXPECT_EQ(Pane(), nullptr);
  EXPECT_EQ(view_.Document().StructureCount(), 1u);
}

TEST_F(EditorViewTest, LeavingAStructureStoresItsPaneAndReturningShowsTheEdit) {
  const StructureSet loaded = AsLoaded(testing::PatternDocument({0, 0}));
  Open(loaded);
  testing::SetControlText(Pane(), IDC_ARMOUR, "42");
  testing::SetChecked(Pane(), IDC_FIRST_FLAG + 19, true);  // "Door"
  testing::SetChecked(Pane(), IDC_FIRST_FLAG + 0, false);  // "BaseTile"
  Select(Top(1));

  StructureHeader expected = loaded.Header(0);
  fields::kArmour.Put(expected, 42);
  expected.SetFlags((expected.Flags() | 1u << 19) & ~1u);
  EXPECT_EQ(view_.Document().Header(0), expected);
  EXPECT_EQ(view_.Document().Header(1), loaded.Header(1));

  Select(Top(0));
  EXPECT_EQ(testing::ControlText(Pane(), IDC_ARMOUR), "42");
  EXPECT_TRUE(testing::IsChecked(Pane(), IDC_FIRST_FLAG + 19));
  EXPECT_FALSE(testing::IsChecked(Pane(), IDC_FIRST_FLAG + 0));
}

TEST_F(EditorViewTest, LeavingATileStoresItsPaneIntoThatTile) {
  const StructureSet loaded = AsLoaded(testing::PatternDocument({0, 2}));
  Open(loaded);
  Select(testing::ChildItem(tree_, Top(1), 1));
  ASSERT_TRUE(ShowsTilePane());
  testing::SetControlText(Pane(), IDC_B_Y_POS_REL_TO_BASE, "-7");
  testing::SetControlText(Pane(), IDC_FIRST_SHAPE_CELL + 12, "1");
  Select(testing::ChildItem(tree_, Top(1), 0));

  TileRecord expected = loaded.Tile(1, 1);
  fields::kbYPosRelToBase.Put(expected, -7);
  expected.SetShapeByte(12, 1);
  EXPECT_EQ(view_.Document().Tile(1, 1), expected);
  EXPECT_EQ(view_.Document().Tile(1, 0), loaded.Tile(1, 0));
  EXPECT_TRUE(ShowsTilePane());
}

// Whatever stores the pane first is held back by a field that does not
// convert: the beep, the focus on the field with its text selected, the same
// item selected with its pane and every typed text, and nothing written into
// the document. Mended, the next store writes exactly what the form shows.
TEST_F(EditorViewTest, AFieldThatDoesNotConvertHoldsBackWhateverStoresThePane) {
  struct Action {
    const char* name;
    std::function<void()> run;
  };
  const std::vector<Action> actions{
      {"selecting another item", [&] { Select(Top(1)); }},
      {"selecting a tile", [&] { Select(testing::ChildItem(tree_, Top(0), 0)); }},
      {"Add Struct", [&] { Click(IDC_ADD_STRUCT); }},
      {"Delete", [&] { Click(IDC_DELETE); }},
  };
  const StructureSet loaded = AsLoaded(testing::PatternDocument({1, 0}));
  for (const Action& action : actions) {
    SCOPED_TRACE(action.name);
    Open(loaded);
    const HWND pane = Pane();
    testing::SetControlText(pane, IDC_ARMOUR, "12");
    testing::SetControlText(pane, IDC_HIT_POINTS, "abc");
    testing::SetControlText(pane, IDC_DENSITY, "13");
    const bool person = !testing::IsChecked(pane, IDC_LAST_FLAG);
    testing::SetChecked(pane, IDC_LAST_FLAG, person);
    const std::vector<TreeRow> rows = testing::TreeRows(tree_);

    testing::BeepCounter beeps;
    action.run();
    EXPECT_EQ(beeps.count(), 1);
    const HWND field = GetDlgItem(pane, IDC_HIT_POINTS);
    EXPECT_EQ(GetFocus(), field);
    DWORD from = 1, to = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 3u);
    EXPECT_EQ(testing::TreeRows(tree_), rows);
    EXPECT_EQ(Pane(), pane);
    EXPECT_EQ(testing::ControlText(pane, IDC_ARMOUR), "12");
    EXPECT_EQ(testing::ControlText(pane, IDC_HIT_POINTS), "abc");
    EXPECT_EQ(testing::ControlText(pane, IDC_DENSITY), "13");
    EXPECT_EQ(testing::IsChecked(pane, IDC_LAST_FLAG), person);
    EXPECT_TRUE(view_.Document() == loaded);

    testing::SetControlText(pane, IDC_HIT_POINTS, " 300\t");
    action.run();
    EXPECT_EQ(beeps.count(), 1);
    StructureHeader expected = loaded.Header(0);
    fields::kArmour.Put(expected, 12);
    fields::kHitPoints.Put(expected, 44);
    fields::kDensity.Put(expected, 13);
    expected.SetFlags(loaded.Header(0).Flags() ^ (1u << 31));
    EXPECT_EQ(view_.Document().Header(0), expected);
    EXPECT_NE(testing::TreeRows(tree_), rows);
  }
}

TEST_F(EditorViewTest, RebuildListsTheDocumentInOrderSelectsAndExpands) {
  const StructureSet loaded = AsLoaded(testing::PatternDocument({1, 0}));
  Open(loaded);
  EXPECT_EQ(testing::TreeRows(tree_),
            (std::vector<TreeRow>{{0, 0, true}, {1, 0, false}, {0, 1, false}}));
  EXPECT_EQ(testing::ItemText(tree_, Top(1)), "Structure item");
  EXPECT_EQ(testing::ItemText(tree_, testing::ChildItem(tree_, Top(0), 0)), "Tile item");
  EXPECT_TRUE(testing::IsExpanded(tree_, Top(0)));
  ASSERT_TRUE(ShowsStructurePane());
  EXPECT_EQ(testing::ControlText(Pane(), IDC_ARMOUR),
            std::to_string(fields::kArmour.ValueIn(loaded.Header(0))));
  EXPECT_TRUE(view_.Document() == loaded);

  Open(StructureSet{});
  EXPECT_TRUE(testing::TreeRows(tree_).empty());
  EXPECT_EQ(Pane(), nullptr);
}

TEST_F(EditorViewTest, LoadingDropsTheEditsOfThePreviousDocument) {
  Open(testing::PatternDocument({0}));
  testing::SetControlText(Pane(), IDC_ARMOUR, "1");
  const StructureSet next = AsLoaded(testing::PatternDocument({0, 3}));
  Open(next);
  EXPECT_TRUE(view_.Document() == next);
}

TEST_F(EditorViewTest, NewEmptiesTheDocumentTheTreeAndThePane) {
  Open(testing::PatternDocument({2, 1}));
  testing::SetControlText(Pane(), IDC_ARMOUR, "5");
  view_.NewDocument();
  EXPECT_EQ(view_.Document().StructureCount(), 0u);
  EXPECT_TRUE(testing::TreeRows(tree_).empty());
  EXPECT_EQ(Pane(), nullptr);
}

TEST_F(EditorViewTest, AFailedLoadKeepsDocumentTreeSelectionAndPaneEdits) {
  const StructureSet loaded = AsLoaded(testing::PatternDocument({2, 0}));
  Open(loaded);
  Select(testing::ChildItem(tree_, Top(0), 1));
  const HWND pane = Pane();
  testing::SetControlText(pane, IDC_UB_VEHICLE_HIT_LOCATION, "33");
  const std::vector<TreeRow> rows = testing::TreeRows(tree_);

  const std::string not_brx = folder_.File("not.brx");
  testing::WriteBytes(not_brx, {'N', 'O', 'P', 'E', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  for (const std::string& path : {folder_.File("missing.brx"), not_brx}) {
    SCOPED_TRACE(path);
    std::string reason;
    EXPECT_FALSE(view_.LoadDocument(path.c_str(), reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(view_.Document() == loaded);
    EXPECT_EQ(testing::TreeRows(tree_), rows);
    EXPECT_EQ(Pane(), pane);
    EXPECT_EQ(testing::ControlText(pane, IDC_UB_VEHICLE_HIT_LOCATION), "33");
  }
}

TEST_F(EditorViewTest, SaveStoresThePaneFirstAndLeavesItOpen) {
  const StructureSet loaded = AsLoaded(testing::PatternDocument({1}));
  Open(loaded);
  const HWND pane = Pane();
  testing::SetControlText(pane, IDC_DENSITY, "55");
  const std::vector<TreeRow> rows = testing::TreeRows(tree_);

  const StructureSet saved = Saved();
  EXPECT_EQ(fields::kDensity.ValueIn(saved.Header(0)), 55);
  EXPECT_TRUE(view_.Document() == saved);
  EXPECT_EQ(Pane(), pane);
  EXPECT_EQ(testing::ControlText(pane, IDC_DENSITY), "55");
  EXPECT_EQ(testing::TreeRows(tree_), rows);
}

// The reason names the field by its label (a shape cell by its place in the
// grid) and quotes its text, cut when long; the focus goes to the field when
// the frame asks, once it has shown the message.
TEST_F(EditorViewTest, SaveWritesNothingWhenAFieldDoesNotConvertAndSaysWhich) {
  struct Case {
    bool tile;
    int control;
    std::string typed;
    std::string reason;
  };
  const std::string cut = "The field \"Armour (0-255)\" holds \"" + std::string(40, '7') + "...\"";
  const std::vector<Case> cases{
      {false, IDC_DESTRUCTION_PARTNER, "x",
       "The field \"DestructionPartner(>0 = debris number (bDP - 1), <0 = partner graphic )\" "
       "holds \"x\""},
      {false, IDC_ARMOUR, std::string(41, '7'), cut},
      {false, IDC_WALL_ORIENTATION, "-1", "The field \"WallOrientation\" holds \"-1\""},
      {true, IDC_S_POS_REL_TO_BASE, "", "The field \"sPosRelToBase \"single-axis\"\" holds \"\""},
      {true, IDC_UB_VEHICLE_HIT_LOCATION, "1.5",
       "The field \"ubVehicleHitLocation\" holds \"1.5\""},
      {true, IDC_FIRST_SHAPE_CELL + 3, "three",
       "The field \"Shape (column 1, row 4)\" holds \"three\""},
      {true, IDC_LAST_SHAPE_CELL, "x", "The field \"Shape (column 5, row 5)\" holds \"x\""},
  };
  const std::string path = folder_.File("refused.brx");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    Open(testing::PatternDocument({1}));
    if (c.tile) Select(testing::ChildItem(tree_, Top(0), 0));
    const HWND pane = Pane();
    testing::SetControlText(pane, c.control, c.typed);
    SetFocus(tree_);

    testing::BeepCounter beeps;
    std::string reason;
    std::optional<FieldFailure> failed_field;
    EXPECT_FALSE(view_.SaveDocument(path.c_str(), reason, &failed_field));
    EXPECT_EQ(reason, c.reason + ", which is not a number it can take. Nothing was written.");
    EXPECT_EQ(beeps.count(), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(Pane(), pane);
    EXPECT_EQ(GetFocus(), tree_);
    ASSERT_TRUE(failed_field);
    FocusField(failed_field->pane, failed_field->control);
    EXPECT_EQ(GetFocus(), GetDlgItem(pane, c.control));
  }
}

TEST_F(EditorViewTest, SaveReportsTheWritersFailure) {
  Open(testing::PatternDocument({0}));
  const std::string path = folder_.File("no such folder/out.brx");
  std::string reason;
  std::optional<FieldFailure> failed_field;
  SetFocus(tree_);
  EXPECT_FALSE(view_.SaveDocument(path.c_str(), reason, &failed_field));
  EXPECT_FALSE(reason.empty());
  // No field stopped it, so there is no field to go to.
  EXPECT_FALSE(failed_field);
  EXPECT_EQ(GetFocus(), tree_);
}

TEST_F(EditorViewTest, AddingBeyondWhatTheFormatHoldsBeepsAndChangesNothing) {
  // The largest document the format holds: 65,535 structures, the first
  // with 255 tiles.
  StructureSet largest;
  largest.Reserve(kMaxStructures);
  StructureEntry full;
  full.tiles.resize(kMaxTilesPerStructure);
  largest.AppendStructure(full);
  while (largest.StructureCount() < kMaxStructures) largest.AppendStructure(StructureEntry{});
  Open(largest);
  const UINT items = TreeView_GetCount(tree_);
  ASSERT_EQ(items, kMaxStructures + kMaxTilesPerStructure);
  const HWND pane = Pane();

  testing::BeepCounter beeps;
  Click(IDC_ADD_STRUCT);
  EXPECT_EQ(beeps.count(), 1);
  Click(IDC_ADD_TILE);
  EXPECT_EQ(beeps.count(), 2);
  EXPECT_EQ(view_.Document().StructureCount(), kMaxStructures);
  EXPECT_EQ(view_.Document().TileCount(0), kMaxTilesPerStructure);
  EXPECT_EQ(TreeView_GetCount(tree_), items);
  EXPECT_EQ(TreeView_GetSelection(tree_), Top(0));
  EXPECT_EQ(Pane(), pane);
}

TEST_F(EditorViewTest, AcceptsTheWideSelectionNotifications) {
  const StructureSet loaded = AsLoaded(testing::PatternDocument({0, 0}));
  Open(loaded);
  testing::SetControlText(Pane(), IDC_ARMOUR, "8");
  NMTREEVIEWW change{};
  change.hdr = {tree_, IDC_STRUCTURE_TREE, static_cast<UINT>(TVN_SELCHANGINGW)};
  change.itemOld.hItem = Top(0);
  change.itemNew.hItem = Top(1);
  SendMessageA(view_.hwnd(), WM_NOTIFY, IDC_STRUCTURE_TREE, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(fields::kArmour.ValueIn(view_.Document().Header(0)), 8);

  change.hdr.code = static_cast<UINT>(TVN_SELCHANGEDW);
  SendMessageA(view_.hwnd(), WM_NOTIFY, IDC_STRUCTURE_TREE, reinterpret_cast<LPARAM>(&change));
  ASSERT_TRUE(ShowsStructurePane());
  EXPECT_EQ(testing::ControlText(Pane(), IDC_ARMOUR),
            std::to_string(fields::kArmour.ValueIn(loaded.Header(1))));
}

}  // namespace
}  // namespace brx

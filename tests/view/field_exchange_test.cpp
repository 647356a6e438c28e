// Field exchange on the real panes: how each integer kind loads and
// stores, the stop rule after a failing field, flag bits through their
// checkboxes, and bytes no control shows surviving a load and a store.
// Each stored value is checked as a fresh pane loads it again, which is how
// the signed kinds show their sign.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "model/fields.h"
#include "model/flags.h"
#include "res/resource.h"
#include "tests/support/documents.h"
#include "tests/view/view_test_support.h"
#include "view/structure_pane.h"
#include "view/tile_pane.h"

namespace brx {
namespace {

constexpr auto kLoad = ExchangeDirection::kLoad;
constexpr auto kStore = ExchangeDirection::kStore;

// A pane's window, visible (the focus only goes to visible controls).
template <typename Pane, typename Record>
class Opened {
 public:
  explicit Opened(const Record& record) : pane_(record) {
    pane_.Create(host_.hwnd());
    ShowWindow(pane_.hwnd(), SW_SHOW);
  }
  Pane& operator*() { return pane_; }
  Pane* operator->() { return &pane_; }
  HWND hwnd() const { return pane_.hwnd(); }

 private:
  testing::HostWindow host_;
  Pane pane_;
};

using OpenStructure = Opened<CStructurePane, StructureHeader>;
using OpenTile = Opened<CTilePane, TileRecord>;

// One integer field of each kind, and where it lives.
struct IntField {
  const char* name;
  bool in_tile;  // in a tile record, or in a structure header
  int control;
  std::size_t offset;
  IntKind kind;
};

const IntField kU8{"u8 Armour", false, IDC_ARMOUR, StructureHeader::kArmour, IntKind::U8};
const IntField kI8{"i8 bXPosRelToBase", true, IDC_B_X_POS_REL_TO_BASE, TileRecord::kbXPosRelToBase,
                   IntKind::I8};
const IntField kI16{"i16 sPosRelToBase", true, IDC_S_POS_REL_TO_BASE, TileRecord::ksPosRelToBase,
                    IntKind::I16};

// Stores `typed` into the field of a pane opened on a zero record; returns
// the field as the next pane on the stored record shows it, or nothing when
// the conversion failed (then the field must hold 0 and the pane must name
// it as the failed field; reporting it is the caller's, so no beep yet).
std::optional<std::string> StoreAndReload(const IntField& field, const std::string& typed) {
  testing::BeepCounter beeps;
  auto round_trip = [&](auto& pane, auto reopen) -> std::optional<std::string> {
    testing::SetControlText(pane.hwnd(), field.control, typed);
    const auto failure = pane->ExchangeFields(kStore);
    EXPECT_EQ(beeps.count(), 0);
    if (failure) {
      EXPECT_EQ(pane->record().Get(field.offset, field.kind), 0);
      EXPECT_EQ(failure->control, field.control);
      EXPECT_EQ(failure->text, typed);
      return std::nullopt;
    }
    return reopen(pane->record());
  };
  if (field.in_tile) {
    OpenTile pane{TileRecord{}};
    return round_trip(pane, [&](const TileRecord& record) {
      OpenTile next{record};
      return testing::ControlText(next.hwnd(), field.control);
    });
  }
  OpenStructure pane{StructureHeader{}};
  return round_trip(pane, [&](const StructureHeader& record) {
    OpenStructure next{record};
    return testing::ControlText(next.hwnd(), field.control);
  });
}

struct StoreCase {
  std::string typed;
  std::optional<std::string> u8, i8, i16;  // shown after the store; nothing: fails
};

TEST(FieldExchange, StoreCutsNumbersToTheFieldWidthAndRefusesWhatIsNotANumber) {
  const std::nullopt_t fails = std::nullopt;
  const std::string zeros(36, '0');
  // In this order: Wine's GetDlgItemInt, after one overflow, went on to
  // refuse the boundary values that follow it here.
  // clang-format off
  const std::vector<StoreCase> cases{
      // typed             u8       i8       i16
      {"300",            "44",    "44",    "300"},
      {"255",            "255",   "-1",    "255"},
      {"200",            "200",   "-56",   "200"},
      {"-1",             fails,   "-1",    "-1"},
      {"-129",           fails,   "127",   "-129"},
      {"40000",          "64",    "64",    "-25536"},
      {"-40000",         fails,   "-64",   "25536"},
      {"65535",          "255",   "-1",    "-1"},
      {"32768",          "0",     "0",     "-32768"},
      {"",               fails,   fails,   fails},
      {" \t ",           fails,   fails,   fails},
      {"4294967296",     fails,   fails,   fails},
      {"4294967295",     "255",   fails,   fails},
      {"2147483648",     "0",     fails,   fails},
      {"2147483647",     "255",   "-1",    "-1"},
      {"-2147483648",    fails,   "0",     "0"},
      {"-2147483649",    fails,   fails,   fails},
      {"abc",            fails,   fails,   fails},
      {"12abc",          fails,   fails,   fails},
      {"+5",             fails,   fails,   fails},
      {"-",              fails,   fails,   fails},
      {"--2",            fails,   fails,   fails},
      {"- 2",            fails,   fails,   fails},
      {"1 2",            fails,   fails,   fails},
      {"-2",             fails,   "-2",    "-2"},
      {" \t-0\t ",        fails,   "0",     "0"},
      {"\t 17 \t",        "17",    "17",    "17"},
      // Beyond the 29 characters Wine's GetDlgItemInt reads.
      {zeros + "12",     "12",    "12",    "12"},
      {"-" + zeros + "3", fails,  "-3",    "-3"},
      {"1" + zeros,      fails,   fails,   fails},
  };
  // clang-format on
  for (const StoreCase& c : cases) {
    SCOPED_TRACE("typed \"" + c.typed + "\"");
    EXPECT_EQ(StoreAndReload(kU8, c.typed), c.u8) << kU8.name;
    EXPECT_EQ(StoreAndReload(kI8, c.typed), c.i8) << kI8.name;
    EXPECT_EQ(StoreAndReload(kI16, c.typed), c.i16) << kI16.name;
  }
}

TEST(FieldExchange, LoadingAndStoringUntouchedLeavesEveryByte) {
  std::vector<StructureHeader> headers{StructureHeader{}};
  std::vector<TileRecord> tiles{TileRecord{}};
  for (std::uint8_t seed : {0, 1, 7, 200}) {
    headers.push_back(testing::PatternHeader(seed));
    tiles.push_back(testing::PatternTile(seed));
  }
  StructureHeader all_ones;
  all_ones.bytes.fill(0xFF);
  headers.push_back(all_ones);
  TileRecord tile_ones;
  tile_ones.bytes.fill(0xFF);
  tiles.push_back(tile_ones);

  testing::BeepCounter beeps;
  for (const StructureHeader& header : headers) {
    OpenStructure pane{header};
    EXPECT_FALSE(pane->ExchangeFields(kStore).has_value());
    EXPECT_EQ(pane->record(), header);
  }
  for (const TileRecord& tile : tiles) {
    OpenTile pane{tile};
    EXPECT_FALSE(pane->ExchangeFields(kStore).has_value());
    EXPECT_EQ(pane->record(), tile);
  }
  EXPECT_EQ(beeps.count(), 0);
}

TEST(FieldExchange, EachStructureCheckboxSetsOrClearsExactlyItsBit) {
  const StructureHeader loaded = testing::PatternHeader(3);
  for (std::size_t bit = 0; bit < 32; ++bit) {
    OpenStructure pane{loaded};
    const int box = IDC_FIRST_FLAG + static_cast<int>(bit);
    const bool was_set = StructureFlags(loaded.Flags()).Test(bit);
    EXPECT_EQ(testing::IsChecked(pane.hwnd(), box), was_set) << bit;
    testing::SetChecked(pane.hwnd(), box, !was_set);
    ASSERT_FALSE(pane->ExchangeFields(kStore).has_value());
    StructureHeader expected = loaded;
    expected.SetFlags(loaded.Flags() ^ (1u << bit));
    EXPECT_EQ(pane->record(), expected) << "bit " << bit;
  }
}

TEST(FieldExchange, TileCheckboxesTouchBitsZeroAndOneOnly) {
  struct Case {
    std::uint8_t loaded;
    bool on_roof, passable;
    std::uint8_t stored;
  };
  const std::vector<Case> cases{
      {0x03, true, true, 0x03},   {0x04, false, false, 0x04}, {0x80, false, true, 0x82},
      {0xFF, false, false, 0xFC}, {0xFC, true, false, 0xFD},  {0x00, true, true, 0x03},
  };
  for (const Case& c : cases) {
    TileRecord tile = testing::PatternTile(5);
    fields::kTileFlags.Put(tile, c.loaded);
    OpenTile pane{tile};
    EXPECT_EQ(testing::IsChecked(pane.hwnd(), IDC_TILE_ON_ROOF), (c.loaded & 1) != 0);
    EXPECT_EQ(testing::IsChecked(pane.hwnd(), IDC_TILE_PASSABLE), (c.loaded & 2) != 0);
    testing::SetChecked(pane.hwnd(), IDC_TILE_ON_ROOF, c.on_roof);
    testing::SetChecked(pane.hwnd(), IDC_TILE_PASSABLE, c.passable);
    ASSERT_FALSE(pane->ExchangeFields(kStore).has_value());
    TileRecord expected = tile;
    fields::kTileFlags.Put(expected, c.stored);
    EXPECT_EQ(pane->record(), expected) << "loaded " << int{c.loaded};
  }
}

TEST(FieldExchange, AFailingStructureFieldStopsTheStore) {
  const StructureHeader loaded = testing::PatternHeader(9);
  OpenStructure pane{loaded};
  const HWND form = pane.hwnd();
  for (int control :
       {IDC_ARMOUR, IDC_HIT_POINTS, IDC_DENSITY, IDC_WALL_ORIENTATION, IDC_Z_TILE_OFFSET_X,
        IDC_Z_TILE_OFFSET_Y, IDC_DESTRUCTION_PARTNER, IDC_PARTNER_DELTA})
    testing::SetControlText(form, control, "5");
  testing::SetControlText(form, IDC_HIT_POINTS, "abc");
  for (int control = IDC_FIRST_FLAG; control <= IDC_LAST_FLAG; ++control)
    testing::SetChecked(form, control, !testing::IsChecked(form, control));

  const auto failure = pane->ExchangeFields(kStore);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->control, IDC_HIT_POINTS);
  EXPECT_EQ(failure->pane, form);

  StructureHeader expected = loaded;
  fields::kArmour.Put(expected, 5);
  fields::kHitPoints.Put(expected, 0);
  EXPECT_EQ(pane->record(), expected);
}

TEST(FieldExchange, AFailingTileFieldStopsTheStore) {
  struct Case {
    int failing;
    // The fields typed before the failing one take their typed values.
    std::vector<int> typed_before;
    bool flags_stored;
  };
  std::vector<int> before_cell_6{IDC_S_POS_REL_TO_BASE, IDC_B_X_POS_REL_TO_BASE,
                                 IDC_B_Y_POS_REL_TO_BASE, IDC_UB_VEHICLE_HIT_LOCATION};
  for (int k = 0; k < 6; ++k) before_cell_6.push_back(IDC_FIRST_SHAPE_CELL + k);
  const std::vector<Case> cases{
      {IDC_FIRST_SHAPE_CELL + 6, before_cell_6, true},
      {IDC_B_Y_POS_REL_TO_BASE, {IDC_S_POS_REL_TO_BASE, IDC_B_X_POS_REL_TO_BASE}, false},
      {IDC_S_POS_REL_TO_BASE, {}, false},
  };
  const std::vector<int> integers = [] {
    std::vector<int> ids{IDC_S_POS_REL_TO_BASE, IDC_B_X_POS_REL_TO_BASE, IDC_B_Y_POS_REL_TO_BASE,
                         IDC_UB_VEHICLE_HIT_LOCATION};
    for (int id = IDC_FIRST_SHAPE_CELL; id <= IDC_LAST_SHAPE_CELL; ++id) ids.push_back(id);
    return ids;
  }();
  for (const Case& c : cases) {
    SCOPED_TRACE("failing control " + std::to_string(c.failing));
    TileRecord loaded = testing::PatternTile(11);
    fields::kTileFlags.Put(loaded, 0x41);
    OpenTile pane{loaded};
    for (int control : integers) testing::SetControlText(pane.hwnd(), control, "7");
    testing::SetControlText(pane.hwnd(), c.failing, "x");
    testing::SetChecked(pane.hwnd(), IDC_TILE_ON_ROOF, false);
    testing::SetChecked(pane.hwnd(), IDC_TILE_PASSABLE, true);

    const auto failure = pane->ExchangeFields(kStore);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->control, c.failing);

    TileRecord expected = loaded;
    const auto offset_of = [](int control) -> std::pair<std::size_t, IntKind> {
      for (const FieldBinding& field : CTilePane::Fields())
        if (field.control == control) return {field.offset, field.width};
      ADD_FAILURE() << "no field for control " << control;
      return {0, IntKind::U8};
    };
    for (int control : c.typed_before) {
      const auto [offset, kind] = offset_of(control);
      expected.Put(offset, kind, 7);
    }
    const auto [failing_offset, failing_kind] = offset_of(c.failing);
    expected.Put(failing_offset, failing_kind, 0);
    if (c.flags_stored) fields::kTileFlags.Put(expected, 0x42);
    EXPECT_EQ(pane->record(), expected);
  }
}

TEST(FieldExchange, CheckValuesOutsideTheThreeStatesLoadUnchecked) {
  OpenStructure pane{StructureHeader{}};
  const int box = IDC_FIRST_FLAG;
  for (int value : {-1, 3, 7}) {
    int check = value;
    testing::SetChecked(pane.hwnd(), box, true);
    pane->ExchangeCheck(box, check, kLoad);
    EXPECT_EQ(check, BST_UNCHECKED) << value;
    EXPECT_FALSE(testing::IsChecked(pane.hwnd(), box)) << value;
  }
  int check = BST_UNCHECKED;
  testing::SetChecked(pane.hwnd(), box, true);
  pane->ExchangeCheck(box, check, kStore);
  EXPECT_EQ(check, BST_CHECKED);
}

}  // namespace
}  // namespace brx

// The editor view on the largest document the format holds, in one run
// under Wine. Prints:
// - RebuildTree against the floor of inserting the same items (a structure
//   item with its tile items under it, each last) into a bare tree control
//   with redraw off; the rebuild is timed as LoadDocument less reading the
//   same file into a document of its own;
// - the average time of a change of selection (store the pane, destroy it,
//   create the next one, place it) over 1,000 changes, in a small document
//   and in the largest, and the process's USER and GDI object counts before
//   and after them; then what one pane costs on its own, and what a bare
//   window with as many controls costs, for comparison.
#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "model/structure_data.h"
#include "model/structure_files.h"
#include "model/structure_set.h"
#include "os/system_file_system.h"
#include "res/resource.h"
#include "view/editor_view.h"
#include "view/structure_pane.h"
#include "view/tile_pane.h"

namespace {

constexpr std::size_t kStructures = brx::kMaxStructures;
constexpr std::size_t kTilesPerStructure = 2;
constexpr int kRounds = 3;
constexpr int kSelectionChanges = 1000;

using brx::bench::Ms;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "view_bench: %s\n", what.c_str());
  std::exit(1);
}

std::string WriteDocument(std::size_t structures, const char* name,
                          std::size_t tiles = kTilesPerStructure) {
  const brx::StructureSet set = brx::bench::MakeDocument(structures, tiles);
  char folder[MAX_PATH] = {};
  GetTempPathA(sizeof folder, folder);
  const std::string path = std::string(folder) + name;
  std::string reason;
  if (!brx::SaveToFile(set, path.c_str(), brx::SystemFileSystem(), reason))
    Fail("cannot write " + path + ": " + reason);
  return path;
}

HWND MakeHost() {
  return CreateWindowExA(0, "STATIC", "view_bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000,
                         600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The floor: the same items into a bare tree control of the view's styles.
double FloorMs(HWND host) {
  HWND tree =
      CreateWindowExA(0, WC_TREEVIEWA, "",
                      WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_SHOWSELALWAYS |
                          TVS_DISABLEDRAGDROP | TVS_NOTOOLTIPS | TVS_FULLROWSELECT,
                      0, 0, 200, 400, host, nullptr, GetModuleHandleA(nullptr), nullptr);
  auto insert = [&](HTREEITEM parent, const char* text, std::size_t index) {
    TVINSERTSTRUCTA item{};
    item.hParent = parent;
    item.hInsertAfter = TVI_LAST;
    item.item.mask = TVIF_TEXT | TVIF_PARAM;
    item.item.pszText = const_cast<char*>(text);
    item.item.lParam = static_cast<LPARAM>(index);
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  };
  const double ms = Ms([&] {
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    for (std::size_t i = 0; i < kStructures; ++i) {
      HTREEITEM structure = insert(TVI_ROOT, "Structure item", i);
      for (std::size_t j = 0; j < kTilesPerStructure; ++j) insert(structure, "Tile item", j);
    }
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
  });
  if (TreeView_GetCount(tree) != kStructures * (1 + kTilesPerStructure))
    Fail("floor tree incomplete");
  DestroyWindow(tree);
  return ms;
}

double RebuildMs(HWND host, const std::string& path) {
  brx::StructureSet scratch;
  std::string error;
  const double read = Ms([&] {
    if (!brx::LoadFromFile(scratch, path.c_str(), brx::SystemFileSystem(), error))
      Fail("cannot read " + path + ": " + error);
  });
  brx::CEditorView view(brx::SystemFileSystem());
  if (!view.Create(host)) Fail("cannot create the view");
  const double load = Ms([&] {
    if (!view.LoadDocument(path.c_str(), error)) Fail("cannot load " + path + ": " + error);
  });
  return load - read;
}

struct Objects {
  DWORD user, gdi;
  int windows;  // under the view; Wine's GetGuiResources counts nothing
};

Objects CountObjects(HWND view) {
  int windows = 0;
  EnumChildWindows(
      view,
      [](HWND, LPARAM count) -> BOOL {
        ++*reinterpret_cast<int*>(count);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return {GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
          GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), windows};
}

void MeasureSelection(HWND host, const std::string& path) {
  brx::CEditorView view(brx::SystemFileSystem());
  std::string error;
  if (!view.Create(host) || !view.LoadDocument(path.c_str(), error))
    Fail("cannot load " + path + ": " + error);
  HWND tree = GetDlgItem(view.hwnd(), IDC_STRUCTURE_TREE);
  // Structure and tile items in turn, so both panes are made and stored.
  std::vector<HTREEITEM> items;
  for (HTREEITEM s = TreeView_GetRoot(tree); s && items.size() < kSelectionChanges;
       s = TreeView_GetNextSibling(tree, s)) {
    items.push_back(TreeView_GetChild(tree, s));
    items.push_back(s);
  }
  // A first round so that lazily made objects (fonts, brushes) exist.
  TreeView_SelectItem(tree, items[1]);
  TreeView_SelectItem(tree, items[0]);
  const Objects before = CountObjects(view.hwnd());
  const double ms = Ms([&] {
    for (int change = 0; change < kSelectionChanges; ++change)
      TreeView_SelectItem(tree, items[static_cast<std::size_t>(change) % items.size()]);
  });
  TreeView_SelectItem(tree, items[0]);
  const Objects after = CountObjects(view.hwnd());
  std::printf(
      "selection change in a document of %zu structures: %.2f ms on average over %d changes (goal "
      "<= 20 ms)\n",
      view.Document().StructureCount(), ms / kSelectionChanges, kSelectionChanges);
  std::printf(
      "USER objects %lu before, %lu after; GDI objects %lu before, %lu after; windows under the "
      "view %d before, %d after\n",
      static_cast<unsigned long>(before.user), static_cast<unsigned long>(after.user),
      static_cast<unsigned long>(before.gdi), static_cast<unsigned long>(after.gdi), before.windows,
      after.windows);
}

// Where a change of selection spends its time: making and destroying one
// pane window on its own, outside the view.
template <typename Pane, typename Record>
void MeasurePaneAlone(HWND host, const char* name) {
  constexpr int kPanes = 200;
  double create = 0, destroy = 0;
  for (int n = 0; n < kPanes; ++n) {
    auto pane = std::make_unique<Pane>(Record{});
    create += Ms([&] { pane->Create(host); });
    destroy += Ms([&] { pane.reset(); });
  }
  std::printf("%s pane alone: create %.2f ms, destroy %.2f ms\n", name, create / kPanes,
              destroy / kPanes);
}

// The platform's own price for such a form: a bare parent window with as
// many child controls as the structure pane has, made and destroyed.
void MeasureBareForm(HWND host) {
  constexpr int kForms = 200;
  brx::CStructurePane sample{brx::StructureHeader{}};
  sample.Create(host);
  int controls = 0;
  for (HWND child = GetWindow(sample.hwnd(), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT))
    ++controls;
  double create = 0, destroy = 0;
  for (int n = 0; n < kForms; ++n) {
    HWND form = nullptr;
    create += Ms([&] {
      form = CreateWindowExA(WS_EX_CONTROLPARENT, "STATIC", "", WS_CHILD, 0, 0, 500, 300, host,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
      for (int id = 0; id < controls; ++id)
        CreateWindowExA(0, id % 2 ? "BUTTON" : "EDIT", "0",
                        WS_CHILD | WS_VISIBLE | (id % 2 ? BS_AUTOCHECKBOX : WS_BORDER), id, id, 40,
                        14, form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1000 + id)),
                        GetModuleHandleA(nullptr), nullptr);
    });
    destroy += Ms([&] { DestroyWindow(form); });
  }
  std::printf("bare form of %d controls: create %.2f ms, destroy %.2f ms\n", controls,
              create / kForms, destroy / kForms);
}

// What a user waits for: opening the largest file in a new view, reading
// and tree together, once for each count of tiles per structure.
void MeasureOpen(HWND host, const std::vector<std::size_t>& tile_counts) {
  for (std::size_t tiles : tile_counts) {
    const std::string path = WriteDocument(kStructures, "view_bench_open.brx", tiles);
    brx::CEditorView view(brx::SystemFileSystem());
    if (!view.Create(host)) Fail("cannot create the view");
    std::string error;
    const double ms = Ms([&] {
      if (!view.LoadDocument(path.c_str(), error)) Fail("cannot load " + path + ": " + error);
    });
    std::printf("open %zu structures x %zu tiles: %.1f s\n", kStructures, tiles, ms / 1000);
    DeleteFileA(path.c_str());
  }
}

}  // namespace

// view_bench --open TILES...: only the time to open the largest file, with
// each count of tiles per structure given.
int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--open") {
    std::vector<std::size_t> tile_counts;
    for (int k = 2; k < argc; ++k) tile_counts.push_back(std::strtoul(argv[k], nullptr, 10));
    HWND host = MakeHost();
    MeasureOpen(host, tile_counts);
    DestroyWindow(host);
    return 0;
  }
  const std::string path = WriteDocument(kStructures, "view_bench.brx");
  // The same number of structures as selection changes: each change opens a
  // pane on an item not visited before.
  const std::string small = WriteDocument(kSelectionChanges, "view_bench_small.brx");
  HWND host = MakeHost();
  std::vector<double> floors, rebuilds;
  for (int round = 0; round < kRounds; ++round) {
    floors.push_back(FloorMs(host));
    rebuilds.push_back(RebuildMs(host, path));
  }
  const double floor = brx::bench::Median(floors);
  const double rebuild = brx::bench::Median(rebuilds);
  std::printf("%zu structures, %zu tiles\n", kStructures, kStructures * kTilesPerStructure);
  std::printf("RebuildTree %.0f ms, floor %.0f ms, ratio %.2f (goal <= 1.3)\n", rebuild, floor,
              rebuild / floor);
  MeasureSelection(host, small);
  MeasureSelection(host, path);
  MeasurePaneAlone<brx::CStructurePane, brx::StructureHeader>(host, "structure");
  MeasurePaneAlone<brx::CTilePane, brx::TileRecord>(host, "tile");
  MeasureBareForm(host);
  DestroyWindow(host);
  DeleteFileA(path.c_str());
  DeleteFileA(small.c_str());
  return 0;
}

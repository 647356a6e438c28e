// Not a test: shows the editor view with the structure pane or the tile
// pane open on a small document, for a person to look at (or to take a
// screenshot of). Prints the X window of the top-level window under Wine
// and keeps it on the screen for the given number of milliseconds.
//
//   pane_showcase structure|tile [milliseconds]
#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/fields.h"
#include "model/structure_files.h"
#include "os/system_file_system.h"
#include "res/resource.h"
#include "view/editor_view.h"

namespace {

std::string WriteSample() {
  brx::StructureSet set;
  brx::StructureEntry door;
  brx::fields::kArmour.Put(door.header, 60);
  brx::fields::kHitPoints.Put(door.header, 255);
  brx::fields::kDensity.Put(door.header, 70);
  brx::fields::kZTileOffsetX.Put(door.header, -1);
  brx::fields::kDestructionPartner.Put(door.header, -12);
  door.header.SetFlags(1u << 0 | 1u << 2 | 1u << 19 | 1u << 31);
  brx::TileRecord tile;
  brx::fields::ksPosRelToBase.Put(tile, -32768);
  brx::fields::kbXPosRelToBase.Put(tile, -1);
  brx::fields::kubVehicleHitLocation.Put(tile, 255);
  brx::fields::kTileFlags.Put(tile, 0x02);
  for (std::size_t k = 0; k < brx::TileRecord::kShapeCells; ++k)
    tile.SetShapeByte(k, static_cast<std::uint8_t>(k % 2 ? 255 : k));
  door.tiles.push_back(tile);
  set.AppendStructure(door);
  set.AppendStructure(brx::StructureEntry{});
  char folder[MAX_PATH] = {};
  GetTempPathA(sizeof folder, folder);
  const std::string path = std::string(folder) + "pane_showcase.brx";
  std::string error;
  if (!brx::SaveToFile(set, path.c_str(), brx::SystemFileSystem(), error)) {
    std::fprintf(stderr, "pane_showcase: %s\n", error.c_str());
    std::exit(1);
  }
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  const bool tile = argc > 1 && std::string(argv[1]) == "tile";
  const DWORD milliseconds = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 3000;

  HWND frame = CreateWindowExA(0, "STATIC", "BRXEDIT", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                               100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  brx::CEditorView view(brx::SystemFileSystem());
  view.Create(frame);
  // The frame sizes the view. A pane reaches 504 dialog units from the
  // view's left edge, past the template's 497, so the view is made wide
  // enough to show all of it.
  RECT size{0, 0, 512, 260};
  MapDialogRect(view.hwnd(), &size);
  AdjustWindowRectEx(&size, WS_EX_CLIENTEDGE, FALSE, 0);
  SetWindowPos(view.hwnd(), nullptr, 0, 0, size.right - size.left, size.bottom - size.top,
               SWP_NOZORDER);
  AdjustWindowRectEx(&size, WS_OVERLAPPEDWINDOW, FALSE, 0);
  SetWindowPos(frame, nullptr, 0, 0, size.right - size.left, size.bottom - size.top,
               SWP_NOZORDER | SWP_NOMOVE);

  const std::string path = WriteSample();
  std::string error;
  if (!view.LoadDocument(path.c_str(), error)) {
    std::fprintf(stderr, "pane_showcase: %s\n", error.c_str());
    return 1;
  }
  DeleteFileA(path.c_str());
  HWND tree = GetDlgItem(view.hwnd(), IDC_STRUCTURE_TREE);
  if (tile) TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));

  std::printf("0x%lx\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(
                             GetPropA(frame, "__wine_x11_whole_window"))));
  std::fflush(stdout);
  const DWORD end = GetTickCount() + milliseconds;
  while (GetTickCount() < end) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(10);
  }
  DestroyWindow(frame);
  return 0;
}

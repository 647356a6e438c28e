// Images for menu items, taken from a toolbar resource: the toolbar's command
// ids say which menu item gets which image of the bitmap strip of the same id.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "framework/toolbar_resource.h"

namespace brx::framework {

// The colour that classic toolbar bitmaps paint their background with (the
// toolbar control maps it to the button face); menu images leave it out.
constexpr COLORREF kToolbarBackground = RGB(192, 192, 192);

// The header of a 32-bit DIB stored top row first, pixels 0xAARRGGBB.
BITMAPINFO TopDown32BitInfo(int width, int height);

// One image per command that has one, kept at 32 bits per pixel with
// premultiplied alpha and the background transparent. The menu items carry
// HBMMENU_CALLBACK and the menu's owner draws the images (WM_MEASUREITEM,
// WM_DRAWITEM): Wine draws an item's own 32-bit bitmap (MIIM_BITMAP) without
// its alpha, which shows the background black.
class CommandImages {
 public:
  CommandImages() = default;
  CommandImages(const CommandImages&) = delete;
  CommandImages& operator=(const CommandImages&) = delete;
  ~CommandImages();

  // Replaces the images with those of toolbar resource `id` and the bitmap of
  // the same id; false, with no images left, when either is missing or bad.
  bool Load(HINSTANCE instance, int id);
  // Marks the item of each command, in `menu` or any of its submenus, as
  // having an image drawn by the owner, or takes the mark away again; items
  // of other commands are left alone.
  void ApplyTo(HMENU menu) const;
  void RemoveFrom(HMENU menu) const;

  // The owner's part for the marked items; false for any other item.
  bool Measure(MEASUREITEMSTRUCT& item) const;
  bool Draw(const DRAWITEMSTRUCT& item) const;

 private:
  void Clear();
  void MarkItems(HMENU menu, bool marked) const;
  HBITMAP Find(UINT command) const;

  SIZE size_{};
  std::vector<std::pair<WORD, HBITMAP>> images_;
};

}  // namespace brx::framework

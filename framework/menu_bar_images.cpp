#include "framework/menu_bar_images.h"

#include <cstdint>
#include <cstring>

namespace brx::framework {
namespace {

constexpr int kImageMargin = 2;
constexpr BYTE kGrayedOpacity = 96;

// 32-bit pixels as a top-down DIB stores them: 0xAARRGGBB.
using Pixels = std::vector<std::uint32_t>;

// The strip as 32-bit pixels, whatever depth the resource has (16 colours, usually).
bool ReadStrip(HINSTANCE instance, int id, Pixels& pixels, SIZE& size) {
  auto* strip = static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!strip) return false;
  BITMAP header{};
  bool read = GetObjectA(strip, sizeof header, &header) == sizeof header;
  if (read) {
    size = {header.bmWidth, header.bmHeight};
    pixels.assign(static_cast<size_t>(size.cx) * size.cy, 0);
    BITMAPINFO info = TopDown32BitInfo(size.cx, size.cy);
    HDC screen = GetDC(nullptr);
    read = GetDIBits(screen, strip, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS) == size.cy;
    ReleaseDC(nullptr, screen);
  }
  DeleteObject(strip);
  return read;
}

// Copies one image out of the strip; background pixels become transparent,
// the others opaque (premultiplied alpha needs nothing more for these two).
HBITMAP CutImage(const Pixels& strip, LONG strip_width, int left, int width, int height) {
  const BITMAPINFO info = TopDown32BitInfo(width, height);
  void* bits = nullptr;
  HBITMAP image = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!image) return nullptr;
  const std::uint32_t background = (GetRValue(kToolbarBackground) << 16) |
                                   (GetGValue(kToolbarBackground) << 8) |
                                   GetBValue(kToolbarBackground);
  auto* out = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t colour =
          strip[static_cast<size_t>(y) * strip_width + left + x] & 0xFFFFFF;
      out[y * width + x] = colour == background ? 0 : 0xFF000000 | colour;
    }
  }
  return image;
}

}  // namespace

BITMAPINFO TopDown32BitInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

CommandImages::~CommandImages() {
  Clear();
}

void CommandImages::Clear() {
  for (const auto& image : images_) DeleteObject(image.second);
  images_.clear();
  size_ = {};
}

bool CommandImages::Load(HINSTANCE instance, int id) {
  Clear();
  const std::optional<ToolbarLayout> layout = LoadToolbarResource(instance, id);
  Pixels strip;
  SIZE strip_size{};
  if (!layout || !ReadStrip(instance, id, strip, strip_size)) return false;
  if (strip_size.cy < layout->image_height) return false;
  size_ = {layout->image_width, layout->image_height};

  int left = 0;
  for (WORD command : layout->commands) {
    if (command == 0) continue;
    // A strip with fewer images than buttons leaves the last commands without one.
    if (left + layout->image_width > strip_size.cx) break;
    HBITMAP image = CutImage(strip, strip_size.cx, left, layout->image_width, layout->image_height);
    if (!image) {
      Clear();
      return false;
    }
    images_.emplace_back(command, image);
    left += layout->image_width;
  }
  return !images_.empty();
}

void CommandImages::MarkItems(HMENU menu, bool marked) const {
  if (!menu) return;
  for (const auto& image : images_) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = marked ? HBMMENU_CALLBACK : nullptr;
    // By command, the item is searched for in the submenus as well.
    SetMenuItemInfoA(menu, image.first, FALSE, &item);
  }
}

void CommandImages::ApplyTo(HMENU menu) const {
  MarkItems(menu, true);
}

void CommandImages::RemoveFrom(HMENU menu) const {
  MarkItems(menu, false);
}

HBITMAP CommandImages::Find(UINT command) const {
  for (const auto& [image_command, image] : images_)
    if (image_command == command) return image;
  return nullptr;
}

bool CommandImages::Measure(MEASUREITEMSTRUCT& item) const {
  if (item.CtlType != ODT_MENU || !Find(item.itemID)) return false;
  // A little room on both sides keeps the image off the item's text.
  item.itemWidth = size_.cx + 2 * kImageMargin;
  item.itemHeight = size_.cy;
  return true;
}

bool CommandImages::Draw(const DRAWITEMSTRUCT& item) const {
  HBITMAP image = item.CtlType == ODT_MENU ? Find(item.itemID) : nullptr;
  if (!image) return false;
  HDC source = CreateCompatibleDC(item.hDC);
  if (!source) return true;
  const HGDIOBJ old = SelectObject(source, image);
  const int x = (item.rcItem.left + item.rcItem.right - size_.cx) / 2;
  const int y = (item.rcItem.top + item.rcItem.bottom - size_.cy) / 2;
  // A disabled item shows its image faded.
  const BYTE opacity = (item.itemState & ODS_GRAYED) ? kGrayedOpacity : 255;
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
  GdiAlphaBlend(item.hDC, x, y, size_.cx, size_.cy, source, 0, 0, size_.cx, size_.cy, blend);
  SelectObject(source, old);
  DeleteDC(source);
  return true;
}

}  // namespace brx::framework

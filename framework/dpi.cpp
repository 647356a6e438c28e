#include "framework/dpi.h"

#include <algorithm>
#include <string>

namespace brx::framework {
namespace {

constexpr int kDefaultDpi = 96;
// Room kept between a label and the frame of the group box around it.
constexpr int kGroupBoxMargin = 4;

RECT PlaceIn(HWND parent, HWND child) {
  RECT place{};
  GetWindowRect(child, &place);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

bool IsClass(HWND window, const char* name) {
  char class_name[16] = {};
  GetClassNameA(window, class_name, sizeof class_name);
  return lstrcmpiA(class_name, name) == 0;
}

// The size of a one-line text in `window`'s font, '&' taken as the static
// control takes it.
SIZE OneLineTextSize(HWND window, const std::string& text, bool no_prefix) {
  HDC dc = GetDC(window);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
  RECT needed{};
  DrawTextA(dc, text.c_str(), -1, &needed,
            DT_CALCRECT | DT_SINGLELINE | (no_prefix ? DT_NOPREFIX : 0));
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return {needed.right - needed.left, needed.bottom - needed.top};
}

// The right edge a label at `place` may grow to among its siblings.
LONG RoomToTheRight(HWND dialog, HWND label, const RECT& place) {
  RECT area{};
  GetClientRect(dialog, &area);
  LONG limit = area.right;
  const int margin = ScaleForDpi(kGroupBoxMargin, SystemDpi());
  for (HWND other = GetWindow(dialog, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
    if (other == label || !IsWindowVisible(other)) continue;
    const RECT at = PlaceIn(dialog, other);
    if (at.bottom <= place.top || at.top >= place.bottom) continue;
    if (at.left >= place.left) {
      limit = std::min(limit, at.left);
    } else if (at.right > place.left) {
      // A control around the label (its group box): stay inside its frame.
      limit = std::min(limit, at.right - margin);
    }
  }
  return limit;
}

}  // namespace

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDefaultDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDefaultDpi;
}

int ScaleForDpi(int pixels, int dpi) {
  return MulDiv(pixels, dpi, kDefaultDpi);
}

void FitLabelsToScaledText(HWND dialog) {
  if (SystemDpi() == kDefaultDpi) return;
  for (HWND label = GetWindow(dialog, GW_CHILD); label; label = GetWindow(label, GW_HWNDNEXT)) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(label, GWL_STYLE));
    const DWORD kind = style & SS_TYPEMASK;
    if (!IsClass(label, "Static") || (kind != SS_LEFT && kind != SS_LEFTNOWORDWRAP)) continue;
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(label)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(label, text.data(), static_cast<int>(text.size()))));
    if (text.empty()) continue;
    const SIZE needed = OneLineTextSize(label, text, (style & SS_NOPREFIX) != 0);
    const RECT place = PlaceIn(dialog, label);
    const LONG width = place.right - place.left;
    // A label tall enough for two lines wraps on purpose.
    if (needed.cx <= width || place.bottom - place.top >= 2 * needed.cy) continue;
    const LONG right = std::min(place.left + needed.cx, RoomToTheRight(dialog, label, place));
    if (right <= place.right) continue;
    SetWindowPos(label, nullptr, 0, 0, right - place.left, place.bottom - place.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int PickForDpi(const ScaledResource* resources, std::size_t count, int dpi) {
  const ScaledResource* reached = nullptr;
  const ScaledResource* smallest = nullptr;
  for (std::size_t i = 0; i < count; ++i) {
    const ScaledResource& candidate = resources[i];
    if (!smallest || candidate.percent < smallest->percent) smallest = &candidate;
    if (candidate.percent * kDefaultDpi <= dpi * 100 &&
        (!reached || candidate.percent > reached->percent))
      reached = &candidate;
  }
  const ScaledResource* picked = reached ? reached : smallest;
  return picked ? picked->resource_id : 0;
}

}  // namespace brx::framework

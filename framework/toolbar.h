// The bars of a frame window: toolbars made from toolbar resources, the rebar
// that holds them as bands, and the status bar.
#pragma once

#include <windows.h>

namespace brx::framework {

// Band ids count up from here in the order the bands are added.
constexpr UINT kFirstBandId = 0xEB00;

// Creates a toolbar at (0, 0), 100 x 100, from a toolbar resource (type 241:
// WORDs version 1, image width, image height, count, then one command id per
// button, 0 for a separator) and the bitmap with the same id. Buttons are
// enabled push buttons, images in resource order; buttons are the image size
// plus 7 each way at 96 DPI, plus that scaled to the screen's DPI otherwise.
// Null when the resource or the window is missing.
HWND CreateToolbarFromResource(HWND parent, int resource_id, DWORD style, UINT control_id);

// Creates a rebar at (0, 0), 100 x 100, with an empty bar description. Null
// (and no window left behind) when the rebar refuses the description.
HWND CreateRebar(HWND parent, DWORD style, UINT control_id);

// Adds a toolbar as the rebar's next band (id kFirstBandId + band count),
// sized from its buttons: width and ideal width to the last button's right
// edge, minimum width to the first button's, minimum height the last button's.
// `new_row` starts a new row of bands. Returns the band's id, 0 on failure.
UINT AddToolbarBand(HWND rebar, HWND toolbar, bool new_row);

// Creates a status bar showing string `text_id`.
HWND CreateStatusBar(HWND parent, int text_id, DWORD style, UINT control_id);

}  // namespace brx::framework

// The screen's scale: the program is DPI-aware, so Windows does not scale its
// windows, and pictures drawn in pixels must come in sizes for each scale.
#pragma once

#include <windows.h>

#include <cstddef>

namespace brx::framework {

// Logical pixels per inch of the screen, 96 at 100 %. Windows sets it for
// the whole session (Wine: per process, at start).
int SystemDpi();

// `pixels` at 96 DPI, at `dpi`, rounded to the nearest pixel.
int ScaleForDpi(int pixels, int dpi);

// A picture drawn for one scale, in percent of 96 DPI.
struct ScaledResource {
  int percent;
  int resource_id;
};

// The resource drawn for the largest scale that `dpi` reaches, so that no
// picture is larger than the rest of the window at that scale; the smallest
// when `dpi` is below them all. 0 for an empty list.
int PickForDpi(const ScaledResource* resources, std::size_t count, int dpi);

template <std::size_t N>
int PickForDpi(const ScaledResource (&resources)[N], int dpi) {
  return PickForDpi(resources, N, dpi);
}

// Dialog units scale with the font's average character, a label's text with
// its own characters, and the two part by a few pixels at other scales than
// 100 %: a label that fits at 96 DPI loses its last letter at 120. Above or
// below 96 DPI, a left-aligned one-line label of `dialog` whose text needs
// more than its width grows to the right as far as the text needs, where no
// other control, and nothing outside its group box or the dialog, is in the
// way. Nothing changes at 96 DPI.
void FitLabelsToScaledText(HWND dialog);

}  // namespace brx::framework

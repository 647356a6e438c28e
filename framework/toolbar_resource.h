// Toolbar resources (custom type 241): which commands a toolbar has and the
// size of the images in the bitmap of the same id.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <vector>

namespace brx::framework {

// The layout, all WORDs: version (1), image width, image height, button
// count, then one command id per button, 0 for a separator. Separators take
// no image from the strip.
struct ToolbarLayout {
  int image_width = 0;
  int image_height = 0;
  std::vector<WORD> commands;
};

// Nothing when the bytes are not a version 1 toolbar, have an empty image
// size, or are shorter than their button count says.
std::optional<ToolbarLayout> ParseToolbarResource(const void* data, std::size_t size);

// The toolbar resource `id` of a module; nothing when it is missing or bad.
std::optional<ToolbarLayout> LoadToolbarResource(HINSTANCE instance, int id);

}  // namespace brx::framework

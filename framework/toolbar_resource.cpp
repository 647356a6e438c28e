#include "framework/toolbar_resource.h"

#include <cstring>

namespace brx::framework {
namespace {

constexpr UINT kToolbarResourceType = 241;
constexpr std::size_t kHeaderWords = 4;

}  // namespace

std::optional<ToolbarLayout> ParseToolbarResource(const void* data, std::size_t size) {
  if (!data || size < kHeaderWords * sizeof(WORD)) return std::nullopt;
  const auto word = [data](std::size_t index) {
    WORD value;
    std::memcpy(&value, static_cast<const BYTE*>(data) + index * sizeof(WORD), sizeof value);
    return value;
  };
  if (word(0) != 1) return std::nullopt;
  ToolbarLayout layout;
  layout.image_width = word(1);
  layout.image_height = word(2);
  const std::size_t count = word(3);
  if (layout.image_width == 0 || layout.image_height == 0) return std::nullopt;
  if (size < (kHeaderWords + count) * sizeof(WORD)) return std::nullopt;
  for (std::size_t i = 0; i < count; ++i) layout.commands.push_back(word(kHeaderWords + i));
  return layout;
}

std::optional<ToolbarLayout> LoadToolbarResource(HINSTANCE instance, int id) {
  HRSRC found =
      FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kToolbarResourceType));
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return std::nullopt;
  return ParseToolbarResource(bytes, SizeofResource(instance, found));
}

}  // namespace brx::framework

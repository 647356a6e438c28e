// Where something is in a text, as a person editing it would say it.
#pragma once

#include <cstddef>

namespace brx::text {

// Lines and columns count from 1; a column counts characters, not bytes.
struct TextPosition {
  std::size_t line = 1;
  std::size_t column = 1;
};

inline bool operator<(const TextPosition& a, const TextPosition& b) {
  return a.line != b.line ? a.line < b.line : a.column < b.column;
}

}  // namespace brx::text

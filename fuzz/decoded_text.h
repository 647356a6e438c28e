// A fuzz input as text: its bytes decoded to UTF-8 as brxtool's readers take
// them, for a second parser to read the same text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/text/byte_source.h"
#include "tools/text/text_encoding.h"

inline std::string DecodedText(const std::uint8_t* data, std::size_t size) {
  brx::text::MemoryByteSource source(data, size);
  brx::text::TextDecoder decoder(source);
  decoder.Start();
  std::string text;
  std::string_view piece;
  while (decoder.Next(piece)) text += piece;
  return text;
}

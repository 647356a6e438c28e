// JSON text as editors and shells save it: UTF-8 with or without a
// byte-order mark, or UTF-16 with one (what Windows PowerShell 5.1's `>`
// writes). Anything else is refused with one line saying what was found.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brx::tool {

// The text as UTF-8 without a byte-order mark. On failure `problem` says
// what the bytes are and what to do about it.
bool DecodeText(const std::vector<std::uint8_t>& bytes, std::string& utf8, std::string& problem);

// Appends a Unicode code point (up to U+10FFFF) in UTF-8.
void AppendUtf8(std::uint32_t code_point, std::string& out);

}  // namespace brx::tool

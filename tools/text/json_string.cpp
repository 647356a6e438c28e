#include "tools/text/json_string.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "tools/text/plain_ascii.h"
#include "tools/text/text_encoding.h"

namespace brx::text {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

void AppendJsonString(std::string_view text, std::string& out) {
  // Keys and labels are plain ASCII: taken in one piece.
  const char* const end = text.data() + text.size();
  const char* run_end = PlainAsciiEnd(text.data(), end);
  while (run_end != end && IsPlainAscii(*run_end)) ++run_end;
  const auto plain = static_cast<std::size_t>(run_end - text.data());
  out += '"';
  out.append(text.data(), plain);
  for (std::size_t at = plain; at < text.size();) {
    const char c = text[at];
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      bool whole = false;
      // One replacement character for each bad byte sequence, as long as the
      // bytes that could start a character go.
      const std::size_t length = std::max<std::size_t>(
          1, Utf8CharacterPrefix(reinterpret_cast<const std::uint8_t*>(text.data()) + at,
                                 text.size() - at, whole));
      if (whole) {
        out.append(text, at, length);
      } else {
        out += kReplacement;
      }
      at += length;
      continue;
    }
    ++at;
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", byte);
          out += escape;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

}  // namespace brx::text

#include "tools/brxtool/text_encoding.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <initializer_list>

namespace brx::tool {
namespace {

bool StartsWith(const std::vector<std::uint8_t>& bytes, std::initializer_list<std::uint8_t> mark) {
  return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

// The length of the well-formed UTF-8 character at `at`, or 0: no overlong
// forms, no surrogates, nothing beyond U+10FFFF.
std::size_t CharacterLength(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  const unsigned lead = bytes[at];
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned low = 0x80;  // the range of the second byte
  unsigned high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (bytes.size() - at < length) return 0;
  if (bytes[at + 1] < low || bytes[at + 1] > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if ((bytes[at + k] & 0xC0) != 0x80) return 0;
  }
  return length;
}

bool CheckUtf8(const std::vector<std::uint8_t>& bytes, std::size_t start, std::string& problem) {
  std::size_t line = 1;
  std::size_t column = 1;
  for (std::size_t at = start; at < bytes.size();) {
    const std::size_t length = CharacterLength(bytes, at);
    if (length == 0) {
      problem = "the text is not UTF-8: byte 0x" + Hex(bytes[at], 2) + " at line " +
                std::to_string(line) + ", column " + std::to_string(column) +
                " is not part of a UTF-8 character (a file saved as Windows-1252 or Latin-1?);"
                " save it as UTF-8";
      return false;
    }
    if (bytes[at] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
    at += length;
  }
  return true;
}

bool DecodeUtf16(const std::vector<std::uint8_t>& bytes, bool big_endian, std::string& utf8,
                 std::string& problem) {
  const std::string name = big_endian ? "UTF-16 BE" : "UTF-16 LE";
  if (bytes.size() % 2) {
    problem = "the text is " + name + " (it starts with its byte-order mark), but has an odd " +
              "number of bytes; it is cut short or not UTF-16";
    return false;
  }
  const auto unit = [&](std::size_t at) -> std::uint32_t {
    return big_endian ? bytes[at] << 8 | bytes[at + 1] : bytes[at + 1] << 8 | bytes[at];
  };
  utf8.clear();
  for (std::size_t at = 2; at < bytes.size(); at += 2) {
    std::uint32_t code_point = unit(at);
    const bool high = code_point >= 0xD800 && code_point <= 0xDBFF;
    const bool low = code_point >= 0xDC00 && code_point <= 0xDFFF;
    const std::uint32_t next = at + 2 < bytes.size() ? unit(at + 2) : 0;
    if (low || (high && (next < 0xDC00 || next > 0xDFFF))) {
      problem = "the text is " + name + ", but holds an unpaired surrogate 0x" +
                Hex(code_point, 4) + " at byte offset " + std::to_string(at) +
                "; it is damaged or not UTF-16";
      return false;
    }
    if (high) {
      code_point = 0x10000 + ((code_point - 0xD800) << 10) + (next - 0xDC00);
      at += 2;
    }
    AppendUtf8(code_point, utf8);
  }
  return true;
}

}  // namespace

void AppendUtf8(std::uint32_t code_point, std::string& out) {
  const auto put = [&out](std::uint32_t byte) { out += static_cast<char>(byte); };
  if (code_point < 0x80) {
    put(code_point);
  } else if (code_point < 0x800) {
    put(0xC0 | code_point >> 6);
    put(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    put(0xE0 | code_point >> 12);
    put(0x80 | (code_point >> 6 & 0x3F));
    put(0x80 | (code_point & 0x3F));
  } else {
    put(0xF0 | code_point >> 18);
    put(0x80 | (code_point >> 12 & 0x3F));
    put(0x80 | (code_point >> 6 & 0x3F));
    put(0x80 | (code_point & 0x3F));
  }
}

bool DecodeText(const std::vector<std::uint8_t>& bytes, std::string& utf8, std::string& problem) {
  // UTF-32's marks begin with UTF-16 LE's, so they are told apart first.
  if (StartsWith(bytes, {0xFF, 0xFE, 0x00, 0x00}) || StartsWith(bytes, {0x00, 0x00, 0xFE, 0xFF})) {
    problem = "the text is UTF-32 (it starts with a UTF-32 byte-order mark); save it as UTF-8";
    return false;
  }
  if (StartsWith(bytes, {0xFF, 0xFE})) return DecodeUtf16(bytes, false, utf8, problem);
  if (StartsWith(bytes, {0xFE, 0xFF})) return DecodeUtf16(bytes, true, utf8, problem);
  // JSON starts with a character below U+0080, which UTF-16 writes with a zero byte.
  if (bytes.size() >= 2 && (bytes[0] == 0) != (bytes[1] == 0)) {
    problem = std::string("the text looks like UTF-16 ") + (bytes[0] == 0 ? "BE" : "LE") +
              " without a byte-order mark; save it as UTF-8, or as UTF-16 with a byte-order mark";
    return false;
  }
  const std::size_t start = StartsWith(bytes, {0xEF, 0xBB, 0xBF}) ? 3 : 0;
  if (!CheckUtf8(bytes, start, problem)) return false;
  utf8.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end());
  return true;
}

}  // namespace brx::tool

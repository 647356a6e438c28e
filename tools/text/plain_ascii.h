// Runs of plain ASCII in JSON strings: the bytes a string holds as they
// are, with no quote, backslash, control character or byte of UTF-8 among
// them. Nearly every string of a document is one such run, which both the
// reader and the writer find eight bytes at a time.
#pragma once

#include <cstdint>
#include <cstring>

namespace brx::text {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first byte of a word is its lowest");

// Where the run from `p` on ends, as far as whole words of eight bytes show
// it: the caller looks at the last few bytes before `end` one by one.
inline const char* PlainAsciiEnd(const char* p, const char* end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  // The top bit of each byte of `word` that is zero (with a borrow it may
  // also mark a byte after a zero one: the lowest mark is always right).
  const auto zeros = [](std::uint64_t word) { return (word - kOnes) & ~word & kHighs; };
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    // Bytes below 0x20 have none of the bits 0x20 to 0x80 set.
    const std::uint64_t stops = zeros(word ^ (kOnes * '"')) | zeros(word ^ (kOnes * '\\')) |
                                zeros(word & (kOnes * 0xE0)) | (word & kHighs);
    if (stops) return p + __builtin_ctzll(stops) / 8;
  }
  return p;
}

// Whether `c` is one byte of such a run.
inline bool IsPlainAscii(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte < 0x80 && c != '"' && c != '\\';
}

}  // namespace brx::text

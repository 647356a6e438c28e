#include "tools/text/text_cursor.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace brx::text {
namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first byte of a word is its lowest");

// The end of the run of spaces from `p` on, found eight bytes at a time.
const char* SpacesEnd(const char* p, const char* end) {
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const std::uint64_t other = word ^ 0x2020202020202020ull;
    if (other) return p + __builtin_ctzll(other) / 8;
  }
  while (p != end && *p == ' ') ++p;
  return p;
}

}  // namespace

void TextCursor::Own() {
  if (data_ == buffer_.data()) {
    buffer_.erase(0, pos_);
  } else {
    buffer_.assign(data_ + pos_, size_ - pos_);
  }
  data_ = buffer_.data();
  size_ = buffer_.size();
  pos_ = 0;
}

bool TextCursor::Fill(std::size_t count) {
  while (size_ - pos_ < count) {
    // What was moved past goes; what was only looked at stays.
    Own();
    std::string_view piece;
    if (!text_.Next(piece)) {
      Stopped();
      return false;
    }
    if (size_ == 0 && piece.size() >= count) {
      data_ = piece.data();
      size_ = piece.size();
    } else {
      buffer_.append(piece);
      data_ = buffer_.data();
      size_ = buffer_.size();
    }
  }
  return true;
}

void TextCursor::SkipBlanks() {
  // Indentation is most of a pretty-printed text's bytes: it is skipped
  // straight in the buffer, and its characters counted once per line.
  for (;;) {
    const char* const end = this->end();
    const char* p = begin();
    const char* line_start = p;
    std::size_t column = here_.column;
    while (p != end) {
      const char c = *p;
      if (c == ' ') {
        p = SpacesEnd(p, end);
        after_cr_ = false;
        continue;
      }
      if (c == '\n' || c == '\r') {
        EndLine(c);
        column = 1;
        line_start = p + 1;
      } else if (c == '\t') {
        after_cr_ = false;
      } else {
        break;
      }
      ++p;
    }
    here_.column = column + static_cast<std::size_t>(p - line_start);
    pos_ = static_cast<std::size_t>(p - data_);
    if (p != end || !Fill(1)) return;
  }
}

void TextCursor::Drain() {
  do {
    while (pos_ != size_) Skip();
  } while (Fill(1));
}

void TextCursor::Stopped() {
  if (text_.problem().empty()) return;
  // The text stops after what is at hand: the place of that end is counted
  // on a copy, since the reader has not moved past it.
  const TextPosition here = here_;
  const bool after_cr = after_cr_;
  for (const char* p = begin(); p != end(); ++p) Pass(*p);
  text_.PlaceProblem(here_);
  here_ = here;
  after_cr_ = after_cr;
}

}  // namespace brx::text

// Decoded text read front to back with look-ahead, the one way the JSON and
// CSV readers read: it holds the decoder's current piece and whatever a
// reader looked ahead at across the piece's end, and it keeps the place it
// has got to as a person editing the text would say it. LF, CR LF and CR
// each end a line, and a column counts characters, not bytes.
#pragma once

#include <cstddef>
#include <string>

#include "tools/text/text_encoding.h"
#include "tools/text/text_position.h"

namespace brx::text {

class TextCursor {
 public:
  // `text` is started (see TextDecoder::Start).
  explicit TextCursor(TextDecoder& text) : text_(text) {}
  TextCursor(const TextCursor&) = delete;
  TextCursor& operator=(const TextCursor&) = delete;

  // The byte `ahead` past the current one, or -1 past the end of the text
  // (or where it stops at an encoding problem or a read error).
  int Peek(std::size_t ahead = 0) {
    return pos_ + ahead < size_ || Fill(ahead + 1) ? static_cast<unsigned char>(data_[pos_ + ahead])
                                                   : -1;
  }
  bool AtEnd() { return pos_ == size_ && !Fill(1); }

  // Makes at least `count` bytes from the current one on available at once;
  // false when the text ends before.
  bool Fill(std::size_t count);
  // The bytes at hand, from the current one on: for a reader that takes a
  // run of them at once.
  const char* begin() const { return data_ + pos_; }
  const char* end() const { return data_ + size_; }

  const TextPosition& Here() const { return here_; }

  // Moves past the current byte.
  void Skip() { Pass(data_[pos_++]); }
  // Moves past `bytes` bytes at hand that hold no line break, of which
  // `characters` start a character.
  void SkipInLine(std::size_t bytes, std::size_t characters) {
    pos_ += bytes;
    here_.column += characters;
    after_cr_ = false;
  }
  // Moves past spaces, tabs and line breaks.
  void SkipBlanks();

  // Reads what is left of the text, so that an encoding problem or a read
  // error anywhere in it is known, with the place of a byte that is not
  // UTF-8.
  void Drain();

  static bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

 private:
  void EndLine(char c) {
    // The LF of a CR LF ends the line the CR ended.
    if (c == '\r' || !after_cr_) {
      ++here_.line;
      here_.column = 1;
    }
    after_cr_ = c == '\r';
  }
  // Moves the place past the byte `c`.
  void Pass(char c) {
    if (c == '\n' || c == '\r') {
      EndLine(c);
    } else {
      after_cr_ = false;
      here_.column += StartsCharacter(c);
    }
  }
  // Tells the decoder where the text it gave stops, for its message.
  void Stopped();

  // Keeps what is left of the bytes at hand in buffer_, which the decoder's
  // next piece may overwrite where they stand.
  void Own();

  TextDecoder& text_;
  // The bytes at hand, from pos_ on not yet moved past: the decoder's piece
  // itself while the reader is within it, which saves copying nearly every
  // byte; buffer_ when a look-ahead joins pieces.
  const char* data_ = "";
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
  std::string buffer_;
  TextPosition here_;
  bool after_cr_ = false;  // the last byte moved past was a CR
};

}  // namespace brx::text

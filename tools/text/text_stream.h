// Text looked at a byte at a time, with as much look-ahead as a reader
// needs, over the decoder of the encodings spreadsheets save: UTF-8 with or
// without a byte-order mark (Excel's "CSV UTF-8" has one), UTF-16 with one
// (Excel's "Unicode text"). Whatever the encoding, the bytes are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/text/text_encoding.h"

namespace brx::text {

class TextStream {
 public:
  explicit TextStream(ByteSource& source) : decoder_(source) {}

  // The byte `ahead` bytes past the current one, or -1 past the end of the
  // text or at a fault. Looking ahead keeps what it looked at in memory.
  int Peek(std::size_t ahead = 0) {
    if (at_ + ahead < text_.size()) return static_cast<unsigned char>(text_[at_ + ahead]);
    return PeekFurther(ahead);
  }
  // Moves past bytes that Peek has shown.
  void Skip(std::size_t count = 1) { at_ += count; }

  // The input's first bytes (up to 4) as they stand, before any decoding:
  // what the input is when it is not text at all.
  const std::vector<std::uint8_t>& first_bytes() {
    Start();
    return decoder_.first_bytes();
  }

  // Empty unless the text stops early: then what is wrong with its bytes.
  const std::string& problem() const { return problem_; }

 private:
  void Start() {
    if (!started_) decoder_.Start();
    started_ = true;
  }
  int PeekFurther(std::size_t ahead);
  // Decodes one more piece; false when nothing more comes.
  bool DecodeMore();

  TextDecoder decoder_;
  bool started_ = false;
  std::string text_;  // decoded, from at_ on not yet taken
  std::size_t at_ = 0;
  std::string problem_;
};

}  // namespace brx::text

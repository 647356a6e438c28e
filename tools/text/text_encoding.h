// JSON text as editors and shells save it: UTF-8 with or without a
// byte-order mark, or UTF-16 with one (what Windows PowerShell 5.1's `>`
// writes), decoded to UTF-8 piece by piece as it is read, so that no more
// than a buffer of it is ever held. Anything else is refused with one line
// saying what was found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/text/byte_source.h"
#include "tools/text/text_position.h"

namespace brx::text {

class TextDecoder {
 public:
  explicit TextDecoder(ByteSource& source);

  // Reads the first bytes, up to 4, so that a caller can tell what the input
  // is before any of it is decoded. False on a read error (see read_error).
  bool Start();
  const std::vector<std::uint8_t>& first_bytes() const { return first_; }

  // The next piece of the text as UTF-8, without a byte-order mark; valid
  // until the next call. False at the end of the text, and when the text
  // stopped at an encoding problem or a read error.
  bool Next(std::string_view& piece);

  // What is wrong with the bytes as text, and what to do about it; empty
  // when nothing is.
  const std::string& problem() const { return problem_; }
  // Names the line and column where the text handed out so far ends, in a
  // problem about a byte that is not UTF-8 (which stands there). The reader
  // that counts the lines tells it, once Next has returned false.
  void PlaceProblem(const TextPosition& end);
  const std::string& read_error() const { return read_error_; }

 private:
  enum class Encoding { kUtf8, kUtf16Le, kUtf16Be, kRefused };

  bool Fill();
  bool NextUtf8(std::string_view& piece);
  bool NextUtf16(std::string_view& piece);
  void NotUtf8(std::size_t at);
  void SayNotUtf8(const TextPosition& at);
  void OddUtf16Length();

  ByteSource& source_;
  std::vector<std::uint8_t> first_;
  Encoding encoding_ = Encoding::kUtf8;
  std::vector<std::uint8_t> raw_;  // bytes read and not yet decoded
  std::size_t raw_begin_ = 0;
  std::size_t raw_end_ = 0;
  bool source_ended_ = false;
  std::uint64_t offset_ = 0;  // of raw_[raw_begin_] in the input
  std::string utf8_;          // UTF-16 decoded
  int not_utf8_ = -1;         // the byte that is not part of a UTF-8 character
  std::string problem_;
  std::string read_error_;
};

// Appends a Unicode code point (up to U+10FFFF) in UTF-8.
void AppendUtf8(std::uint32_t code_point, std::string& out);

// The UTF-8 character at `p`, of which `available` bytes are at hand (at
// least 1): well-formed means no overlong form, no surrogate, nothing beyond
// U+10FFFF. Its length with `whole` true when it is one; else `whole` false
// and the bytes before the first that cannot follow (0 when the first byte
// cannot start a character), which equals `available` when they are a
// correct start that the bytes at hand cut off.
std::size_t Utf8CharacterPrefix(const std::uint8_t* p, std::size_t available, bool& whole);

}  // namespace brx::text

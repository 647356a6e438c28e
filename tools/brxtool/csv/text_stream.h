// Text read as it comes, a chunk at a time, in the encodings spreadsheets
// save: UTF-8 with or without a byte-order mark (Excel's "CSV UTF-8" has
// one), UTF-16 LE or BE with one (Excel's "Unicode text"). Whatever the
// encoding, the text comes out as UTF-8, so a reader of it looks at bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/file_system.h"

namespace brx::tool::csv {

class TextStream {
 public:
  explicit TextStream(InputFile& source) : source_(source) {}

  // The byte `ahead` bytes past the current one, or -1 past the end of the
  // text or at a fault. Looking ahead keeps what it looked at in memory.
  int Peek(std::size_t ahead = 0) {
    if (at_ + ahead < text_.size()) return static_cast<unsigned char>(text_[at_ + ahead]);
    return PeekFurther(ahead);
  }
  // Moves past bytes that Peek has shown.
  void Skip(std::size_t count = 1) { at_ += count; }

  // Empty unless the text stops early: then what is wrong with its bytes.
  const std::string& problem() const { return problem_; }

 private:
  enum class Encoding { kUnknown, kUtf8, kUtf16Le, kUtf16Be };

  int PeekFurther(std::size_t ahead);
  // Reads and decodes one more chunk; false when nothing more comes.
  bool DecodeMore();
  bool ReadRaw();
  bool ChooseEncoding();
  void DecodeUtf8();
  void DecodeUtf16();
  bool Fail(std::string problem);

  InputFile& source_;
  Encoding encoding_ = Encoding::kUnknown;
  std::vector<std::uint8_t> raw_;  // read, not yet decoded
  bool raw_ended_ = false;
  std::size_t offset_ = 0;  // of raw_'s first byte in the file
  std::string text_;        // decoded, from at_ on not yet taken
  std::size_t at_ = 0;
  std::string problem_;
};

}  // namespace brx::tool::csv

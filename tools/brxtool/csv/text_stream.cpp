#include "tools/brxtool/csv/text_stream.h"

#include <algorithm>
#include <array>

namespace brx::tool::csv {

int TextStream::PeekFurther(std::size_t ahead) {
  while (at_ + ahead >= text_.size()) {
    if (!DecodeMore()) return -1;
  }
  return static_cast<unsigned char>(text_[at_ + ahead]);
}

bool TextStream::DecodeMore() {
  if (!problem_.empty()) return false;
  // What was taken goes; what was only looked at stays.
  text_.erase(0, at_);
  at_ = 0;
  if (!started_) {
    started_ = true;
    constexpr std::array<std::uint8_t, 4> kMagic{'B', 'R', 'X', 'F'};
    const auto& first = decoder_.first_bytes();
    if (decoder_.Start() && first.size() == kMagic.size() &&
        std::equal(kMagic.begin(), kMagic.end(), first.begin())) {
      problem_ =
          "this is a structure data file (it starts with \"BRXF\"), not a table; were the files "
          "swapped?";
      return false;
    }
  }
  std::string_view piece;
  while (decoder_.Next(piece)) {
    if (piece.empty()) continue;
    text_.append(piece);
    return true;
  }
  if (!decoder_.read_error().empty()) problem_ = "cannot read the file: " + decoder_.read_error();
  if (!decoder_.problem().empty()) problem_ = decoder_.problem();
  return false;
}

}  // namespace brx::tool::csv

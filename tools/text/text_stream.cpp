#include "tools/text/text_stream.h"

namespace brx::text {

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
  Start();
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

}  // namespace brx::text

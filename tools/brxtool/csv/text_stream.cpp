#include "tools/brxtool/csv/text_stream.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "tools/brxtool/text_encoding.h"

namespace brx::tool::csv {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 16;

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

bool StartsWith(const std::vector<std::uint8_t>& bytes, std::initializer_list<std::uint8_t> mark) {
  return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

// The length of a UTF-8 character from its first byte, with the range its
// second byte must lie in (no overlong forms, no surrogates, nothing beyond
// U+10FFFF); 0 for a byte no character starts with.
std::size_t Utf8Length(unsigned lead, unsigned& low, unsigned& high) {
  low = 0x80;
  high = 0xBF;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
    return 4;
  }
  return 0;
}

}  // namespace

int TextStream::PeekFurther(std::size_t ahead) {
  while (at_ + ahead >= text_.size()) {
    if (!DecodeMore()) return -1;
  }
  return static_cast<unsigned char>(text_[at_ + ahead]);
}

bool TextStream::Fail(std::string problem) {
  if (problem_.empty()) problem_ = std::move(problem);
  return false;
}

bool TextStream::DecodeMore() {
  // What was taken goes; what was only looked at stays.
  text_.erase(0, at_);
  at_ = 0;
  const std::size_t before = text_.size();
  while (problem_.empty()) {
    if (encoding_ == Encoding::kUtf8) DecodeUtf8();
    if (encoding_ == Encoding::kUtf16Le || encoding_ == Encoding::kUtf16Be) DecodeUtf16();
    if (text_.size() > before) return true;
    if (raw_ended_) {
      if (!raw_.empty()) Fail("the text ends in the middle of a character; it is cut short");
      return false;
    }
    if (!ReadRaw()) return false;
    if (encoding_ == Encoding::kUnknown && (raw_.size() >= 4 || raw_ended_)) ChooseEncoding();
  }
  return false;
}

bool TextStream::ReadRaw() {
  const std::size_t had = raw_.size();
  raw_.resize(had + kChunk);
  std::size_t got = 0;
  std::string error;
  const bool read = source_.Read(raw_.data() + had, kChunk, got, error);
  raw_.resize(had + (read ? got : 0));
  if (!read) return Fail("cannot read the file: " + error);
  raw_ended_ = got == 0;
  return true;
}

bool TextStream::ChooseEncoding() {
  const auto take = [this](std::size_t mark, Encoding encoding) {
    raw_.erase(raw_.begin(), raw_.begin() + static_cast<std::ptrdiff_t>(mark));
    offset_ += mark;
    encoding_ = encoding;
    return true;
  };
  // UTF-32's marks begin with UTF-16 LE's, so they are told apart first.
  if (StartsWith(raw_, {0xFF, 0xFE, 0x00, 0x00}) || StartsWith(raw_, {0x00, 0x00, 0xFE, 0xFF}))
    return Fail("the text is UTF-32 (it starts with a UTF-32 byte-order mark); save it as UTF-8");
  if (StartsWith(raw_, {0xFF, 0xFE})) return take(2, Encoding::kUtf16Le);
  if (StartsWith(raw_, {0xFE, 0xFF})) return take(2, Encoding::kUtf16Be);
  if (StartsWith(raw_, {0xEF, 0xBB, 0xBF})) return take(3, Encoding::kUtf8);
  if (StartsWith(raw_, {'B', 'R', 'X', 'F'})) {
    return Fail(
        "this is a structure data file (it starts with \"BRXF\"), not a table; were the files "
        "swapped?");
  }
  // A table starts with a column name in ASCII, which UTF-16 writes with a zero byte.
  if (raw_.size() >= 2 && (raw_[0] == 0) != (raw_[1] == 0)) {
    return Fail(std::string("the text looks like UTF-16 ") + (raw_[0] == 0 ? "BE" : "LE") +
                " without a byte-order mark; save it as UTF-8, or as UTF-16 with a byte-order "
                "mark");
  }
  return take(0, Encoding::kUtf8);
}

void TextStream::DecodeUtf8() {
  std::size_t k = 0;
  const std::size_t size = raw_.size();
  bool bad = false;
  while (k < size) {
    unsigned low = 0;
    unsigned high = 0;
    const std::size_t length = Utf8Length(raw_[k], low, high);
    if (length == 1) {
      ++k;
      continue;
    }
    if (length == 0 || (k + 1 < size && (raw_[k + 1] < low || raw_[k + 1] > high))) {
      bad = true;
      break;
    }
    if (size - k < length) {
      bad = raw_ended_;
      break;
    }
    bad = std::any_of(raw_.begin() + static_cast<std::ptrdiff_t>(k + 2),
                      raw_.begin() + static_cast<std::ptrdiff_t>(k + length),
                      [](std::uint8_t byte) { return (byte & 0xC0) != 0x80; });
    if (bad) break;
    k += length;
  }
  text_.append(raw_.begin(), raw_.begin() + static_cast<std::ptrdiff_t>(k));
  if (bad) {
    Fail("byte 0x" + Hex(raw_[k], 2) + " at byte offset " + std::to_string(offset_ + k) +
         " is not part of a UTF-8 character (a file saved as Windows-1252 or Latin-1?); save "
         "it as CSV UTF-8");
  }
  raw_.erase(raw_.begin(), raw_.begin() + static_cast<std::ptrdiff_t>(k));
  offset_ += k;
}

void TextStream::DecodeUtf16() {
  const bool big_endian = encoding_ == Encoding::kUtf16Be;
  const auto unit = [&](std::size_t at) -> std::uint32_t {
    return big_endian ? raw_[at] << 8 | raw_[at + 1] : raw_[at + 1] << 8 | raw_[at];
  };
  std::size_t k = 0;
  const std::size_t size = raw_.size();
  while (size - k >= 2) {
    std::uint32_t code_point = unit(k);
    std::size_t length = 2;
    const bool high = code_point >= 0xD800 && code_point <= 0xDBFF;
    const bool low = code_point >= 0xDC00 && code_point <= 0xDFFF;
    if (high && size - k < 4 && !raw_ended_) break;
    const std::uint32_t next = high && size - k >= 4 ? unit(k + 2) : 0;
    if (low || (high && (next < 0xDC00 || next > 0xDFFF))) {
      Fail(std::string("the text is UTF-16 ") + (big_endian ? "BE" : "LE") +
           ", but holds an unpaired surrogate 0x" + Hex(code_point, 4) + " at byte offset " +
           std::to_string(offset_ + k) + "; it is damaged or not UTF-16");
      break;
    }
    if (high) {
      code_point = 0x10000 + ((code_point - 0xD800) << 10) + (next - 0xDC00);
      length = 4;
    }
    AppendUtf8(code_point, text_);
    k += length;
  }
  raw_.erase(raw_.begin(), raw_.begin() + static_cast<std::ptrdiff_t>(k));
  offset_ += k;
  if (raw_ended_ && raw_.size() == 1)
    Fail("the text is UTF-16, but has an odd number of bytes; it is cut short or not UTF-16");
}

}  // namespace brx::tool::csv

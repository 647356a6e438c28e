#include "tools/text/text_encoding.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace brx::text {
namespace {

// Bytes read from the input at once.
constexpr std::size_t kRawSize = 1 << 16;

bool StartsWith(const std::vector<std::uint8_t>& bytes, std::initializer_list<std::uint8_t> mark) {
  return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

// Whether the `kWords` * 8 bytes from `p` on are all ASCII: nearly every
// stretch of a document or a patch is.
constexpr std::size_t kWords = 4;
bool AllAscii(const std::uint8_t* p) {
  std::uint64_t words[kWords];
  std::memcpy(words, p, sizeof words);
  std::uint64_t any = 0;
  for (const std::uint64_t word : words) any |= word;
  return (any & 0x8080808080808080ull) == 0;
}

}  // namespace

std::size_t Utf8CharacterPrefix(const std::uint8_t* p, std::size_t available, bool& whole) {
  whole = false;
  const unsigned lead = p[0];
  std::size_t length = 0;
  unsigned low = 0x80;  // the range of the second byte
  unsigned high = 0xBF;
  if (lead < 0x80) {
    length = 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
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
  for (std::size_t k = 1; k < length; ++k) {
    if (k == available || p[k] < (k == 1 ? low : 0x80u) || p[k] > (k == 1 ? high : 0xBFu)) return k;
  }
  whole = true;
  return length;
}

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

TextDecoder::TextDecoder(ByteSource& source) : source_(source), raw_(kRawSize) {}

bool TextDecoder::Fill() {
  if (source_ended_) return false;
  if (raw_begin_ > 0) {
    std::memmove(raw_.data(), raw_.data() + raw_begin_, raw_end_ - raw_begin_);
    raw_end_ -= raw_begin_;
    raw_begin_ = 0;
  }
  std::size_t got = 0;
  std::string error;
  if (!source_.Read(raw_.data() + raw_end_, raw_.size() - raw_end_, got, error)) {
    read_error_ = error;
    source_ended_ = true;
    return false;
  }
  if (got == 0) {
    source_ended_ = true;
    return false;
  }
  raw_end_ += got;
  return true;
}

bool TextDecoder::Start() {
  while (raw_end_ < 4 && Fill()) {
  }
  if (!read_error_.empty()) return false;
  first_.assign(raw_.begin(),
                raw_.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(raw_end_, 4)));
  std::size_t mark = 0;
  // UTF-32's marks begin with UTF-16 LE's, so they are told apart first.
  if (StartsWith(first_, {0xFF, 0xFE, 0x00, 0x00}) ||
      StartsWith(first_, {0x00, 0x00, 0xFE, 0xFF})) {
    problem_ = "the text is UTF-32 (it starts with a UTF-32 byte-order mark); save it as UTF-8";
    encoding_ = Encoding::kRefused;
  } else if (StartsWith(first_, {0xFF, 0xFE})) {
    encoding_ = Encoding::kUtf16Le;
    mark = 2;
  } else if (StartsWith(first_, {0xFE, 0xFF})) {
    encoding_ = Encoding::kUtf16Be;
    mark = 2;
  } else if (first_.size() >= 2 && (first_[0] == 0) != (first_[1] == 0)) {
    // JSON starts with a character below U+0080, which UTF-16 writes with a zero byte.
    problem_ = std::string("the text looks like UTF-16 ") + (first_[0] == 0 ? "BE" : "LE") +
               " without a byte-order mark; save it as UTF-8, or as UTF-16 with a byte-order mark";
    encoding_ = Encoding::kRefused;
  } else if (StartsWith(first_, {0xEF, 0xBB, 0xBF})) {
    mark = 3;
  }
  raw_begin_ = mark;
  offset_ = mark;
  return true;
}

bool TextDecoder::Next(std::string_view& piece) {
  if (!problem_.empty() || !read_error_.empty()) return false;
  switch (encoding_) {
    case Encoding::kUtf8:
      return NextUtf8(piece);
    case Encoding::kUtf16Le:
    case Encoding::kUtf16Be:
      return NextUtf16(piece);
    case Encoding::kRefused:
      break;
  }
  return false;
}

void TextDecoder::NotUtf8(std::size_t at) {
  not_utf8_ = raw_[at];
  SayNotUtf8(TextPosition());
}

void TextDecoder::SayNotUtf8(const TextPosition& at) {
  problem_ = "the text is not UTF-8: byte 0x" + Hex(static_cast<unsigned>(not_utf8_), 2) +
             " at line " + std::to_string(at.line) + ", column " + std::to_string(at.column) +
             " is not part of a UTF-8 character (a file saved as Windows-1252 or Latin-1?);"
             " save it as UTF-8";
}

void TextDecoder::PlaceProblem(const TextPosition& end) {
  if (not_utf8_ >= 0) SayNotUtf8(end);
}

bool TextDecoder::NextUtf8(std::string_view& piece) {
  for (;;) {
    if (raw_begin_ == raw_end_ && !Fill()) return false;
    const std::uint8_t* bytes = raw_.data();
    std::size_t at = raw_begin_;
    bool bad = false;
    while (at < raw_end_) {
      if (raw_end_ - at >= kWords * 8 && AllAscii(bytes + at)) {
        at += kWords * 8;
        continue;
      }
      bool whole = false;
      const std::size_t length = Utf8CharacterPrefix(bytes + at, raw_end_ - at, whole);
      if (!whole) {
        // A correct start of a character cut off by the end of what was read
        // is bad only when nothing more will come.
        bad = length < raw_end_ - at || length == 0 || source_ended_;
        break;
      }
      at += length;
    }
    if (at > raw_begin_) {
      piece = std::string_view(reinterpret_cast<const char*>(bytes + raw_begin_), at - raw_begin_);
      offset_ += at - raw_begin_;
      raw_begin_ = at;
      return true;
    }
    if (bad) {
      NotUtf8(at);
      return false;
    }
    // A character cut by the end of the buffer: read on.
    if (!Fill()) {
      if (read_error_.empty()) NotUtf8(raw_begin_);
      return false;
    }
  }
}

void TextDecoder::OddUtf16Length() {
  const std::string name = encoding_ == Encoding::kUtf16Be ? "UTF-16 BE" : "UTF-16 LE";
  problem_ = "the text is " + name + " (it starts with its byte-order mark), but has an odd " +
             "number of bytes; it is cut short or not UTF-16";
}

bool TextDecoder::NextUtf16(std::string_view& piece) {
  const bool big_endian = encoding_ == Encoding::kUtf16Be;
  const auto unit = [&](std::size_t at) -> std::uint32_t {
    return big_endian ? raw_[at] << 8 | raw_[at + 1] : raw_[at + 1] << 8 | raw_[at];
  };
  utf8_.clear();
  for (;;) {
    // Two units: a high surrogate needs to see its partner.
    while (raw_end_ - raw_begin_ < 4 && Fill()) {
    }
    const std::size_t left = raw_end_ - raw_begin_;
    if (left < 2) {
      if (!read_error_.empty()) return false;
      if (left == 1) OddUtf16Length();
      break;
    }
    std::uint32_t code_point = unit(raw_begin_);
    const bool high = code_point >= 0xD800 && code_point <= 0xDBFF;
    const bool low = code_point >= 0xDC00 && code_point <= 0xDFFF;
    const std::uint32_t next = left >= 4 ? unit(raw_begin_ + 2) : 0;
    if (low || (high && (next < 0xDC00 || next > 0xDFFF))) {
      const std::string problem =
          "the text is " + std::string(big_endian ? "UTF-16 BE" : "UTF-16 LE") +
          ", but holds an unpaired surrogate 0x" + Hex(code_point, 4) + " at byte offset " +
          std::to_string(offset_) + "; it is damaged or not UTF-16";
      // An odd length is said first: it says more about the whole file.
      std::uint64_t rest = left;
      raw_begin_ = raw_end_ = 0;
      while (Fill()) {
        rest += raw_end_;
        raw_end_ = 0;
      }
      if (!read_error_.empty()) return false;
      if (rest % 2) {
        OddUtf16Length();
      } else {
        problem_ = problem;
      }
      return false;
    }
    std::size_t used = 2;
    if (high) {
      code_point = 0x10000 + ((code_point - 0xD800) << 10) + (next - 0xDC00);
      used = 4;
    }
    AppendUtf8(code_point, utf8_);
    raw_begin_ += used;
    offset_ += used;
    if (utf8_.size() >= kRawSize) break;
  }
  if (!problem_.empty() || utf8_.empty()) return false;
  piece = utf8_;
  return true;
}

}  // namespace brx::text

#include "tools/brxtool/json/json_writer.h"

#include <charconv>
#include <cstdio>

namespace brx::tool {
namespace {

// Output is handed to the stream in pieces of about this size.
constexpr std::size_t kFlushSize = 1 << 16;

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// How many bytes of the character at `at` are well-formed UTF-8: its whole
// length when it is, else the bytes up to the first one that cannot follow
// (at least 1), and `whole` false.
std::size_t CharacterBytes(std::string_view text, std::size_t at, bool& whole) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned lead = byte(at);
  whole = true;
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned low = 0x80;  // the range of the second byte
  unsigned high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
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
    whole = false;
    return 1;
  }
  for (std::size_t k = 1; k < length; ++k) {
    const bool fits = at + k < text.size() && byte(at + k) >= (k == 1 ? low : 0x80) &&
                      byte(at + k) <= (k == 1 ? high : 0xBF);
    if (!fits) {
      whole = false;
      return k;
    }
  }
  return length;
}

}  // namespace

void AppendJsonString(std::string_view text, std::string& out) {
  out += '"';
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      bool whole = true;
      const std::size_t length = CharacterBytes(text, at, whole);
      if (whole) {
        out.append(text, at, length);
      } else {
        out += kReplacement;
      }
      at += length;
      continue;
    }
    ++at;
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", byte);
          out += escape;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void JsonWriter::Indent(std::size_t levels) {
  buffer_.append(2 * levels, ' ');
}

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (levels_.empty()) return;
  Level& level = levels_.back();
  if (level.row) {
    if (level.count) buffer_ += ", ";
  } else {
    buffer_ += level.count ? ",\n" : "\n";
    Indent(levels_.size());
  }
  ++level.count;
}

void JsonWriter::Begin(char open, bool row) {
  BeforeValue();
  buffer_ += open;
  levels_.push_back({row, 0});
}

void JsonWriter::BeginObject() {
  Begin('{', false);
}

void JsonWriter::End(char close) {
  const Level level = levels_.back();
  levels_.pop_back();
  if (!level.row && level.count) {
    buffer_ += '\n';
    Indent(levels_.size());
  }
  buffer_ += close;
  FlushIfFull();
}

void JsonWriter::Key(std::string_view key) {
  BeforeValue();
  AppendJsonString(key, buffer_);
  buffer_ += ": ";
  after_key_ = true;
}

void JsonWriter::Number(std::int64_t value) {
  BeforeValue();
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  buffer_.append(digits, end);
}

void JsonWriter::NumberText(std::string_view text) {
  BeforeValue();
  buffer_ += text;
}

void JsonWriter::String(std::string_view text) {
  BeforeValue();
  AppendJsonString(text, buffer_);
}

void JsonWriter::FlushIfFull() {
  if (buffer_.size() < kFlushSize) return;
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
}

void JsonWriter::Finish() {
  buffer_ += '\n';
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
}

}  // namespace brx::tool

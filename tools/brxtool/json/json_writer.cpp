#include "tools/brxtool/json/json_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "tools/brxtool/json/text_encoding.h"

namespace brx::tool {
namespace {

// Output is handed to the stream in pieces of about this size.
constexpr std::size_t kFlushSize = 1 << 16;

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

void AppendJsonString(std::string_view text, std::string& out) {
  out += '"';
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      bool whole = false;
      // One replacement character for each bad byte sequence, as long as the
      // bytes that could start a character go.
      const std::size_t length = std::max<std::size_t>(
          1, Utf8CharacterPrefix(reinterpret_cast<const std::uint8_t*>(text.data()) + at,
                                 text.size() - at, whole));
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
  // What stands within a line stays on it.
  levels_.push_back({row || (!levels_.empty() && levels_.back().row), 0});
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

#include "tools/text/json_writer.h"

#include <charconv>

#include "tools/text/json_string.h"

namespace brx::text {
namespace {

// Output is handed to the stream in pieces of about this size.
constexpr std::size_t kFlushSize = 1 << 16;

// A comma, a line break and the indentation of the deepest levels written:
// a new line is one piece of it.
constexpr char kNewLine[] = ",\n                                                                ";
constexpr std::size_t kMostIndented = (sizeof kNewLine - 3) / 2;

}  // namespace

void JsonWriter::NewLine(bool comma, std::size_t levels) {
  if (levels > kMostIndented) {
    buffer_.append(comma ? ",\n" : "\n");
    buffer_.append(2 * levels, ' ');
    return;
  }
  buffer_.append(kNewLine + !comma, 2 * levels + 1 + comma);
}

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (levels_.empty()) return;
  Level& level = levels_.back();
  if (level.row) {
    if (level.count) buffer_.append(", ", 2);
  } else {
    NewLine(level.count != 0, levels_.size());
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
  if (!level.row && level.count) NewLine(false, levels_.size());
  buffer_ += close;
  FlushIfFull();
}

void JsonWriter::Key(std::string_view key) {
  BeforeValue();
  AppendJsonString(key, buffer_);
  buffer_.append(": ", 2);
  after_key_ = true;
}

void JsonWriter::Number(std::int64_t value) {
  BeforeValue();
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  buffer_.append(digits, static_cast<std::size_t>(end - digits));
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

}  // namespace brx::text

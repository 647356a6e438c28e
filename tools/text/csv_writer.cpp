#include "tools/text/csv_writer.h"

#include <charconv>

namespace brx::text {
namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 16;

}  // namespace

CsvWriter::CsvWriter(std::ostream& out, char separator) : out_(out), separator_(separator) {
  buffer_ = "\xEF\xBB\xBF";
}

void CsvWriter::Separate() {
  if (row_started_) buffer_ += separator_;
  row_started_ = true;
}

void CsvWriter::Cell(std::string_view text) {
  Separate();
  if (text.find_first_of(std::string{separator_, '"', '\r', '\n'}) == std::string_view::npos) {
    buffer_ += text;
    return;
  }
  buffer_ += '"';
  for (const char c : text)
    buffer_ += c == '"' ? std::string_view("\"\"") : std::string_view(&c, 1);
  buffer_ += '"';
}

void CsvWriter::Cell(std::int64_t number) {
  Separate();
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  buffer_.append(digits, end);
}

void CsvWriter::EndRow() {
  buffer_ += "\r\n";
  row_started_ = false;
  if (buffer_.size() >= kBufferBytes) Flush();
}

bool CsvWriter::Flush() {
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
  return static_cast<bool>(out_);
}

}  // namespace brx::text

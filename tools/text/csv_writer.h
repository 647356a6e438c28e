// A table written the way Excel on Windows opens it correctly by
// double-click: UTF-8 with a byte-order mark and CR LF line ends. Cells are
// whole numbers and names, which no spreadsheet reads as anything else; a
// cell holding the separator, a quote or a line break is quoted.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace brx::text {

class CsvWriter {
 public:
  // Writes the byte-order mark at once.
  CsvWriter(std::ostream& out, char separator);
  ~CsvWriter() { Flush(); }

  void Cell(std::string_view text);
  void Cell(std::int64_t number);
  void EndRow();
  // Hands what is buffered to the stream; false once the stream has failed.
  bool Flush();

 private:
  void Separate();

  std::ostream& out_;
  char separator_;
  bool row_started_ = false;
  std::string buffer_;
};

}  // namespace brx::text

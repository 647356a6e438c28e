// The rows of a table in CSV, as spreadsheets write it, read one at a time
// so that a table of any length takes the memory of one row: RFC 4180
// quoting (a doubled quote inside quotes is one), rows ended by CR LF, LF or
// CR, and the separator (comma, semicolon or tab) taken from Excel's
// "sep=;" first line when there is one, else from the header line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/text/byte_source.h"
#include "tools/text/text_cursor.h"
#include "tools/text/text_encoding.h"
#include "tools/text/text_position.h"

namespace brx::text {

struct Cell {
  std::string text;  // without its quotes; only the first kMaxCellBytes bytes
  TextPosition at;   // where the cell starts
  bool cut = false;  // the cell holds more than kMaxCellBytes bytes
};

class CsvReader {
 public:
  // No value of ours comes near this; a longer cell is kept only to be named.
  static constexpr std::size_t kMaxCellBytes = 1000;
  // Excel's most columns; a row with more is not a table.
  static constexpr std::size_t kMaxCells = 16384;

  // The source may be in any encoding spreadsheets save: UTF-8 with or
  // without a byte-order mark (Excel's "CSV UTF-8" has one), UTF-16 with one
  // (Excel's "Unicode text").
  explicit CsvReader(ByteSource& source) : decoder_(source), text_(decoder_) {}

  // The next row's cells, the header first. False at the end of the text,
  // or when it cannot be read on: problem() then says why, at problem_at().
  bool NextRow(std::vector<Cell>& row);

  // The input's first bytes (up to 4) as they stand, before any decoding:
  // what the input is when it is not text at all.
  const std::vector<std::uint8_t>& first_bytes() {
    Start();
    return decoder_.first_bytes();
  }

  const std::string& problem() const { return problem_; }
  TextPosition problem_at() const { return problem_at_; }

 private:
  void Start();
  void ChooseSeparator();
  bool ReadCell(Cell& cell);
  // At the end of the text: whether it stopped early, which problem() then says.
  bool StoppedEarly();
  bool Fail(TextPosition at, std::string problem);

  TextDecoder decoder_;
  TextCursor text_;
  bool started_ = false;
  char separator_ = 0;
  std::string problem_;
  TextPosition problem_at_;
};

}  // namespace brx::text

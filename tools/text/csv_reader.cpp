#include "tools/text/csv_reader.h"

#include <array>

namespace brx::text {
namespace {

// How far the separator is looked for: a header is one short line.
constexpr std::size_t kHeaderLookahead = std::size_t{1} << 20;
constexpr std::array<char, 3> kSeparators{',', ';', '\t'};

bool EndsLine(int c) {
  return c == '\n' || c == '\r' || c < 0;
}

}  // namespace

void CsvReader::Start() {
  if (!started_) decoder_.Start();
  started_ = true;
}

bool CsvReader::Fail(TextPosition at, std::string problem) {
  problem_ = std::move(problem);
  problem_at_ = at;
  return false;
}

bool CsvReader::StoppedEarly() {
  if (!decoder_.read_error().empty()) {
    Fail(text_.Here(), "cannot read the file: " + decoder_.read_error());
  } else if (!decoder_.problem().empty()) {
    Fail(text_.Here(), decoder_.problem());
  }
  return !problem_.empty();
}

void CsvReader::ChooseSeparator() {
  const auto is = [this](std::size_t k, char c) { return text_.Peek(k) == c; };
  // Excel's own line naming the separator, which it does not show as a row.
  if (is(0, 's') && is(1, 'e') && is(2, 'p') && is(3, '=') && text_.Peek(4) > 0 &&
      EndsLine(text_.Peek(5))) {
    separator_ = static_cast<char>(text_.Peek(4));
    for (int k = 0; k < 5; ++k) text_.Skip();
    if (text_.Peek() == '\r') text_.Skip();
    if (text_.Peek() == '\n') text_.Skip();
    return;
  }
  std::array<std::size_t, kSeparators.size()> counts{};
  bool quoted = false;
  for (std::size_t k = 0; k < kHeaderLookahead; ++k) {
    const int c = text_.Peek(k);
    if (c < 0 || (!quoted && EndsLine(c))) break;
    if (c == '"') quoted = !quoted;
    for (std::size_t s = 0; s < kSeparators.size(); ++s)
      counts[s] += !quoted && c == kSeparators[s];
  }
  std::size_t best = 0;
  for (std::size_t s = 1; s < kSeparators.size(); ++s) {
    if (counts[s] > counts[best]) best = s;
  }
  separator_ = kSeparators[best];
}

bool CsvReader::ReadCell(Cell& cell) {
  cell.text.clear();
  cell.cut = false;
  cell.at = text_.Here();
  const auto keep = [&cell](int c) {
    if (cell.text.size() < kMaxCellBytes) {
      cell.text += static_cast<char>(c);
    } else {
      cell.cut = true;
    }
  };
  // Blanks before a quote pad a quoted cell; elsewhere they are the cell's.
  std::size_t blanks = 0;
  while (text_.Peek(blanks) == ' ') ++blanks;
  if (text_.Peek(blanks) == '"') {
    for (std::size_t k = 0; k <= blanks; ++k) text_.Skip();
    for (;;) {
      const int c = text_.Peek();
      if (c < 0) {
        if (StoppedEarly()) return false;
        return Fail(cell.at, "the quote that opens this cell is never closed");
      }
      text_.Skip();
      if (c != '"') {
        keep(c);
      } else if (text_.Peek() == '"') {
        keep(c);
        text_.Skip();
      } else {
        break;
      }
    }
  }
  // Unquoted text, or what follows a closing quote: taken as it is, so that
  // a value like `"5"x` is named as written rather than dropped.
  for (int c = text_.Peek(); c != separator_ && !EndsLine(c); c = text_.Peek()) {
    keep(c);
    text_.Skip();
  }
  return text_.Peek() >= 0 || !StoppedEarly();
}

bool CsvReader::NextRow(std::vector<Cell>& row) {
  if (!problem_.empty()) return false;
  Start();
  if (!separator_) ChooseSeparator();
  if (text_.Peek() < 0) {
    StoppedEarly();
    return false;
  }
  std::size_t count = 0;
  for (;;) {
    if (count == kMaxCells) {
      return Fail(text_.Here(), "a row of more than " + std::to_string(kMaxCells) +
                                    " cells; this is not a table brxtool wrote");
    }
    if (count == row.size()) row.emplace_back();
    if (!ReadCell(row[count++])) return false;
    const int c = text_.Peek();
    if (c == separator_) {
      text_.Skip();
      continue;
    }
    if (c == '\r') text_.Skip();
    if (text_.Peek() == '\n') text_.Skip();
    break;
  }
  row.resize(count);
  return true;
}

}  // namespace brx::text

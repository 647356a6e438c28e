#include "tools/documents/tables/table_import.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <type_traits>

#include "model/flags.h"
#include "model/number_text.h"
#include "model/structure_data.h"
#include "tools/documents/field_values.h"
#include "tools/documents/json_document.h"
#include "tools/text/quoting.h"
#include "tools/text/suggestion.h"

namespace brx::tool::csv {
namespace {

// Blanks around a value are how a spreadsheet pads it, never part of it.
std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

// 0 and 1 as written; TRUE and FALSE as spreadsheets write booleans.
std::optional<bool> FlagValue(std::string_view text) {
  if (text == "1" || SameLetters(text, "TRUE")) return true;
  if (text == "0" || SameLetters(text, "FALSE")) return false;
  return std::nullopt;
}

// What a spreadsheet may have made of a number, said beside the mistake.
std::string SpreadsheetHint(std::string_view text) {
  if (text.front() == '=') return " (a formula: save the values it computes)";
  if (text.find_first_of("/:") != std::string_view::npos ||
      text.find('-', 1) != std::string_view::npos)
    return " (a date or a time the spreadsheet made of a number? format the column as a number)";
  return "";
}

bool AllEmpty(const std::vector<text::Cell>& row) {
  return std::all_of(row.begin(), row.end(), [](const text::Cell& cell) {
    return Trimmed(cell.text).empty() && !cell.cut;
  });
}

}  // namespace

void ProblemList::Add(Problem problem) {
  const auto later = [&problem](const Problem& other) {
    if (other.order != problem.order) return other.order > problem.order;
    return problem.at < other.at;
  };
  items_.insert(std::find_if(items_.begin(), items_.end(), later), std::move(problem));
  if (items_.size() > kMostProblemsShown + 1) items_.pop_back();
}

TableImport::TableImport(StructureSet& set, bool note_changes)
    : set_(set),
      note_changes_(note_changes),
      original_structures_(set.StructureCount()),
      structure_given_(set.StructureCount()),
      tile_given_(set.StructureCount()) {}

void TableImport::NoteTable(std::size_t order, const std::string& text) {
  problems_.Add({order, {0, 0}, text});
}

void TableImport::Note(const TableSource& table, text::TextPosition at, std::string_view column,
                       const std::string& message) {
  std::string text = table.name + ":" + std::to_string(at.line) + ":" + std::to_string(at.column);
  if (!column.empty()) text += " (" + std::string(column) + ")";
  problems_.Add({table.order, at, text + ": " + message});
}

bool TableImport::ReadHeader(TableSource& table) {
  std::string swapped;
  if (!IsNotStructureData(table.reader.first_bytes(), "a table", swapped)) {
    Note(table, text::TextPosition(), "", swapped);
    return false;
  }
  std::vector<text::Cell> header;
  if (!table.reader.NextRow(header)) {
    if (!table.reader.problem().empty()) {
      Note(table, table.reader.problem_at(), "", table.reader.problem());
    } else {
      NoteTable(table.order, "brxtool: " + table.name + ": the table is empty; its first line " +
                                 "names its columns, as \"brxtool export\" writes them");
    }
    return false;
  }
  const auto has = [&header](std::string_view name) {
    return std::any_of(header.begin(), header.end(),
                       [name](const text::Cell& cell) { return Trimmed(cell.text) == name; });
  };
  table.kind = has(kTileKey) ? TableKind::kTiles : TableKind::kStructures;
  for (std::size_t k = 0; k < header.size(); ++k) {
    const std::string_view name = Trimmed(header[k].text);
    const Column* column = name.empty() ? nullptr : FindColumn(table.kind, name);
    const bool twice = column && std::find(table.columns.begin(), table.columns.end(), column) !=
                                     table.columns.end();
    if (!name.empty() && !column)
      Note(table, header[k].at, "", text::UnknownName("column", name, ColumnNames(table.kind)));
    if (twice) Note(table, header[k].at, column->name, "the column is given twice");
    const Column* kept = twice ? nullptr : column;
    table.columns.push_back(kept);
    table.unnamed.push_back(name.empty());
    if (kept && kept->role == Column::Role::kStructureKey) table.structure_key = k;
    if (kept && kept->role == Column::Role::kTileKey) table.tile_key = k;
  }
  if (has(kStructureKey)) return true;
  Note(table, header.front().at, "",
       "no column " + text::Quoted(kStructureKey) + ": a row names its structure there");
  return false;
}

void TableImport::ReadRows(TableSource& table) {
  std::vector<text::Cell> row;
  while (table.reader.NextRow(row)) {
    // Spreadsheets end a table with rows of empty cells now and then.
    if (AllEmpty(row)) continue;
    if (table.kind == TableKind::kTiles) {
      ApplyTileRow(table, row);
    } else {
      ApplyStructureRow(table, row);
    }
  }
  if (!table.reader.problem().empty())
    Note(table, table.reader.problem_at(), "", table.reader.problem());
}

bool TableImport::Key(const TableSource& table, const std::vector<text::Cell>& row,
                      std::size_t index, std::size_t limit, std::string_view what,
                      std::size_t& key) {
  const Column& column = *table.columns[index];
  const text::TextPosition at = index < row.size() ? row[index].at : row.back().at;
  const std::string_view text = index < row.size() ? Trimmed(row[index].text) : "";
  std::uint32_t bits = 0;
  if (!text.empty() && FieldNumber(text, IntKind::U16, bits) == NumberProblem::kNone &&
      bits < limit) {
    key = bits;
    return true;
  }
  const std::string range =
      "; " + std::string(what) + "s count from 0 to " + std::to_string(limit - 1);
  if (text.empty()) {
    Note(table, at, column.name, "the row has values but no " + std::string(what) + range);
  } else {
    Note(table, at, column.name, text::Quoted(text) + " is not a " + std::string(what) + range);
  }
  return false;
}

template <typename Record>
void TableImport::ApplyCells(const TableSource& table, const std::vector<text::Cell>& row,
                             Record& record) {
  for (std::size_t k = 0; k < row.size(); ++k) {
    const text::Cell& cell = row[k];
    const std::string_view text = Trimmed(cell.text);
    if (text.empty() && !cell.cut) continue;
    const Column* column = k < table.columns.size() ? table.columns[k] : nullptr;
    if (!column) {
      // A value under an unknown column was named with the column already.
      if (k >= table.columns.size() || table.unnamed[k])
        Note(table, cell.at, "", "a value in a column without a name in the first line");
      continue;
    }
    if (cell.cut) {
      Note(table, cell.at, column->name,
           "the cell holds more than " + std::to_string(text::CsvReader::kMaxCellBytes) +
               " characters");
      continue;
    }
    if (column->role == Column::Role::kInteger) {
      std::uint32_t bits = 0;
      std::string problem;
      if (IntegerFromText(std::string(text), column->field.kind, bits, problem)) {
        column->field.Put(record, bits);
      } else {
        Note(table, cell.at, column->name, problem + SpreadsheetHint(text));
      }
    } else if constexpr (std::is_same_v<Record, StructureHeader>) {
      if (column->role != Column::Role::kFlag) continue;
      const std::optional<bool> on = FlagValue(text);
      if (!on) {
        Note(table, cell.at, column->name,
             text::Quoted(text) + " is not a flag value; a flag is 0 or 1 (or FALSE or TRUE)");
        continue;
      }
      StructureFlags flags(record.Flags());
      flags.Set(column->bit, *on);
      record.SetFlags(flags.word());
    }
  }
}

void TableImport::KeepOriginal(std::size_t structure) {
  if (note_changes_ && structure < original_structures_ && !originals_.count(structure))
    originals_.emplace(structure, set_.Entry(structure));
}

void TableImport::ApplyStructureRow(const TableSource& table, const std::vector<text::Cell>& row) {
  std::size_t s = 0;
  if (!Key(table, row, table.structure_key, kMaxStructures, "structure position", s)) return;
  const text::TextPosition at = row[table.structure_key].at;
  const std::size_t count = set_.StructureCount();
  if (s >= count) {
    // Added in one step up to this key; a row for each one between must follow.
    if (s > count) structure_openings_.push_back({&table, at, 0, count, s});
    while (set_.StructureCount() <= s) set_.AppendStructure(StructureEntry{});
    structure_given_.resize(s + 1);
    tile_given_.resize(s + 1);
  }
  if (structure_given_[s]) {
    Note(table, at, kStructureKey, "structure " + std::to_string(s) + " has a row before this one");
    return;
  }
  structure_given_[s] = true;
  StructureHeader header = set_.Header(s);
  ApplyCells(table, row, header);
  if (header == set_.Header(s)) return;
  KeepOriginal(s);
  set_.SetHeader(s, header);
}

void TableImport::ApplyTileRow(const TableSource& table, const std::vector<text::Cell>& row) {
  std::size_t s = 0;
  std::size_t t = 0;
  // Both keys are checked, so that a row with two wrong ones names both.
  const bool structure_key =
      Key(table, row, table.structure_key, kMaxStructures, "structure position", s);
  const bool tile_key = Key(table, row, table.tile_key, kMaxTilesPerStructure, "tile position", t);
  if (!structure_key || !tile_key) return;
  const text::TextPosition at = row[table.tile_key].at;
  if (s >= set_.StructureCount()) {
    Note(table, row[table.structure_key].at, kStructureKey,
         "structure " + std::to_string(s) + " does not exist; there are " +
             std::to_string(set_.StructureCount()) + " structures");
    return;
  }
  const std::size_t count = set_.TileCount(s);
  if (t >= count) {
    KeepOriginal(s);
    if (t > count) tile_openings_.push_back({&table, at, s, count, t});
    while (set_.TileCount(s) <= t) set_.AppendTile(s, TileRecord{});
  }
  std::vector<bool>& given = tile_given_[s];
  given.resize(set_.TileCount(s));
  if (given[t]) {
    Note(table, at, kTileKey,
         "tile " + std::to_string(t) + " of structure " + std::to_string(s) +
             " has a row before this one");
    return;
  }
  given[t] = true;
  TileRecord tile = set_.Tile(s, t);
  ApplyCells(table, row, tile);
  if (tile == set_.Tile(s, t)) return;
  KeepOriginal(s);
  set_.SetTile(s, t, tile);
}

void TableImport::Finish() {
  for (const Opening& opening : structure_openings_) {
    for (std::size_t s = opening.start; s < opening.key; ++s) {
      if (structure_given_[s]) continue;
      Note(*opening.table, opening.at, kStructureKey,
           "structure " + std::to_string(opening.key) + " leaves a gap: no row adds structure " +
               std::to_string(s) + " (rows that add structures continue the file's " +
               std::to_string(original_structures_) + " without a gap)");
      break;
    }
  }
  for (const Opening& opening : tile_openings_) {
    for (std::size_t t = opening.start; t < opening.key; ++t) {
      if (tile_given_[opening.structure][t]) continue;
      Note(*opening.table, opening.at, kTileKey,
           "tile " + std::to_string(opening.key) + " of structure " +
               std::to_string(opening.structure) + " leaves a gap: no row adds tile " +
               std::to_string(t));
      break;
    }
  }
}

void TableImport::Changes(const std::function<void(const Difference&)>& each) const {
  for (const auto& [s, original] : originals_) CompareStructure(s, original, set_.Entry(s), each);
  for (std::size_t s = original_structures_; s < set_.StructureCount(); ++s) {
    Difference added;
    added.kind = Difference::Kind::kAdded;
    added.structure = s;
    each(added);
  }
}

}  // namespace brx::tool::csv

// Tables read back into a document as they are read, row by row: a row
// changes the record its key names, in the columns the table has and the
// cells that are not empty. Rows that continue the structures (or a
// structure's tiles) without a gap add records. Every mistake is noted with
// where it is; a document with mistakes noted is not fit to be saved.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/structure_set.h"
#include "tools/documents/document_diff.h"
#include "tools/documents/input.h"
#include "tools/documents/tables/table_columns.h"
#include "tools/text/csv_reader.h"

namespace brx::tool::csv {

// One table being read.
struct TableSource {
  TableSource(std::string name, std::size_t order, std::unique_ptr<InputFile> file)
      : name(std::move(name)),
        order(order),
        file(std::move(file)),
        text(*this->file),
        reader(text) {}

  std::string name;   // as messages name it
  std::size_t order;  // its place among the tables given, for the order of messages
  std::unique_ptr<InputFile> file;
  InputText text;
  text::CsvReader reader;
  TableKind kind = TableKind::kStructures;
  std::vector<const Column*> columns;  // by position; null where nothing is read
  std::vector<bool> unnamed;           // by position: the header cell is empty
  std::size_t structure_key = 0;
  std::size_t tile_key = 0;
};

// The first mistakes in the order of the tables and of their text, however
// late each is found; one more than are shown, to tell that more follow.
class ProblemList {
 public:
  struct Problem {
    std::size_t order;
    text::TextPosition at;  // line 0: the table as a whole
    std::string text;
  };
  void Add(Problem problem);
  const std::vector<Problem>& items() const { return items_; }

 private:
  std::vector<Problem> items_;
};

class TableImport {
 public:
  // With `note_changes`, the records as they were before their first change
  // are kept, for Changes.
  TableImport(StructureSet& set, bool note_changes);

  // Reads the header, which tells the kind of the table; false when the rows
  // cannot be read by it.
  bool ReadHeader(TableSource& table);
  void ReadRows(TableSource& table);
  // After the last table: notes the gaps that rows adding records left.
  void Finish();

  // A mistake about the table as a whole.
  void NoteTable(std::size_t order, const std::string& text);
  const ProblemList& problems() const { return problems_; }

  // Hands each change made to `each`, in the order of "brxtool diff".
  void Changes(const std::function<void(const Difference&)>& each) const;

 private:
  // Rows that added records up to a key, leaving records from `start` that
  // later rows must fill.
  struct Opening {
    const TableSource* table;
    text::TextPosition at;
    std::size_t structure;
    std::size_t start;
    std::size_t key;
  };

  void Note(const TableSource& table, text::TextPosition at, std::string_view column,
            const std::string& message);
  bool Key(const TableSource& table, const std::vector<text::Cell>& row, std::size_t index,
           std::size_t limit, std::string_view what, std::size_t& key);
  template <typename Record>
  void ApplyCells(const TableSource& table, const std::vector<text::Cell>& row, Record& record);
  void ApplyStructureRow(const TableSource& table, const std::vector<text::Cell>& row);
  void ApplyTileRow(const TableSource& table, const std::vector<text::Cell>& row);
  void KeepOriginal(std::size_t structure);

  StructureSet& set_;
  bool note_changes_;
  std::size_t original_structures_;
  std::vector<bool> structure_given_;
  std::vector<std::vector<bool>> tile_given_;
  std::vector<Opening> structure_openings_;
  std::vector<Opening> tile_openings_;
  std::map<std::size_t, StructureEntry> originals_;
  ProblemList problems_;
};

}  // namespace brx::tool::csv

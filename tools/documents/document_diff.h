// The differences between two structure data files, structure by structure,
// tile by tile and field by field, named as in the JSON form.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/documents/loaded_file.h"
#include "tools/text/json_reader.h"
#include "tools/text/json_writer.h"

namespace brx::tool {

struct Difference {
  enum class Kind {
    kAdded,    // a structure or a tile that only the second file has
    kRemoved,  // one that only the first file has
    kChanged,  // a value, `from` in the first file, `to` in the second
    kFlags,    // Flags: the labels the second file sets and clears
  };
  Kind kind = Kind::kChanged;
  std::optional<std::size_t> structure;
  std::optional<std::size_t> tile;
  std::string part;      // outside the structures: "file header" or "trailing bytes"
  std::string field;     // "Armour", "Shape[2][3]", "Flags"; empty for a whole record
  text::JsonValue from;  // a number, or a string of bytes in hex
  text::JsonValue to;
  std::vector<std::string> added;
  std::vector<std::string> removed;
};

// Hands each difference to `each` as it is found, in file order, and
// returns how many there were. Shape[r][c] is the cell of row r and column
// c, as in the JSON form. Unless `bytes` is set, what the editor rewrites on
// saving does not count: StructureNumbers, the file header past
// NumberOfStructures, and bytes after the last record.
std::size_t CompareFiles(const LoadedFile& a, const LoadedFile& b, bool bytes,
                         const std::function<void(const Difference&)>& each);

// The differences within structure `index`, as it was (`a`) and as it is
// (`b`), handed to `each` as CompareFiles hands them.
void CompareStructure(std::size_t index, const StructureEntry& a, const StructureEntry& b,
                      const std::function<void(const Difference&)>& each);

// "structure 12: Armour 40 -> 50", "structure 3 Flags: +Door -Wall",
// "structure 13: added", "file header: DataSize 96 -> 0".
std::string DifferenceText(const Difference& difference);

// Where a record is: "structure 12", "structure 12 tile 1".
std::string RecordPlace(std::size_t structure, std::optional<std::size_t> tile);

// The same as JSON: {"structure": 12, "field": "Armour", "from": 40, "to": 50}.
void WriteDifference(const Difference& difference, text::JsonWriter& writer);

}  // namespace brx::tool

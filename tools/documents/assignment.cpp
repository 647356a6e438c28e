#include "tools/documents/assignment.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/fields.h"
#include "model/flags.h"
#include "tools/documents/field_values.h"
#include "tools/text/quoting.h"
#include "tools/text/suggestion.h"

namespace brx::tool {
namespace {

constexpr std::string_view kTiles = "tiles";

enum class Operation { kSet, kAdd, kRemove };

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A position in a list of `count`: "12" of 20 structures.
bool IndexOf(const std::string& text, std::size_t count, const std::string& what,
             const std::string& within, std::size_t& index, std::string& error) {
  std::uint32_t value = 0;
  if (!IntegerFromText(text, IntKind::U32, value, error) || value >= count) {
    const bool number = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    error =
        "no " + what + " " + (number ? text::Excerpt(text) : text::Quoted(text)) + "; " + within +
        " " +
        (count == 0 ? "has none"
                    : "has " + std::to_string(count) + " (0 to " + std::to_string(count - 1) + ")");
    return false;
  }
  index = value;
  return true;
}

constexpr char kOnlyFlags[] = "+= and -= add and remove flag labels; they work on Flags only";

// The field named `name`, among `fields` but for the tile list; on failure a
// suggestion among those and `more`.
template <std::size_t N>
const Field* FindField(const std::array<Field, N>& fields, const std::string& name,
                       std::vector<std::string_view> more, std::string& error) {
  for (const Field& field : fields) {
    if (field.role == FieldRole::kTiles) continue;
    if (field.name == name) return &field;
    more.push_back(field.name);
  }
  error = text::UnknownName("field", name, more);
  return nullptr;
}

bool ChangeFlags(Operation operation, const std::string& value, std::uint32_t& word,
                 std::string& error) {
  StructureFlags flags(operation == Operation::kSet ? 0 : word);
  StructureFlags listed;
  const std::vector<std::string> labels = Trimmed(value).empty() && operation == Operation::kSet
                                              ? std::vector<std::string>()
                                              : Split(value, ',');
  for (const std::string& text : labels) {
    const std::string label = Trimmed(text);
    const auto bit = FlagBitOf(label, error);
    if (!bit) return false;
    if (listed.Test(*bit)) {
      error = text::Quoted(label) + " is listed twice";
      return false;
    }
    listed.Set(*bit, true);
    flags.Set(*bit, operation != Operation::kRemove);
  }
  word = flags.word();
  return true;
}

bool ChangeStructure(const std::string& name, Operation operation, const std::string& value,
                     StructureHeader& header, std::string& error) {
  const Field* field = FindField(fields::kStructureFields, name, {kTiles}, error);
  if (!field) return false;
  if (field->rewritten_on_save) {
    error = std::string(field->name) + " is written as the structure's position; it cannot be set";
    return false;
  }
  if (field->role == FieldRole::kFlags) {
    std::uint32_t word = header.Flags();
    if (!ChangeFlags(operation, value, word, error)) return false;
    header.SetFlags(word);
    return true;
  }
  std::uint32_t number = 0;
  if (operation != Operation::kSet) {
    error = kOnlyFlags;
    return false;
  }
  if (!IntegerFromText(value, field->kind, number, error)) return false;
  header.Put(field->offset, field->kind, number);
  return true;
}

bool ChangeTile(const std::string& name, Operation operation, const std::string& value,
                TileRecord& tile, std::string& error) {
  if (operation != Operation::kSet) {
    error = kOnlyFlags;
    return false;
  }
  std::uint32_t number = 0;
  if (name.compare(0, fields::kShape.name.size(), fields::kShape.name) == 0) {
    const auto byte = ShapeByteOfName(name);
    if (!byte) {
      const std::string shape(fields::kShape.name);
      error = shape + " takes a cell: " + shape + "[ROW][COLUMN], each from 0 to 4";
      return false;
    }
    if (!IntegerFromText(value, fields::kShape.kind, number, error)) return false;
    tile.SetShapeByte(*byte, static_cast<std::uint8_t>(number));
    return true;
  }
  const Field* field = FindField(fields::kTileFields, name, {}, error);
  if (!field || !IntegerFromText(value, field->kind, number, error)) return false;
  tile.Put(field->offset, field->kind, number);
  return true;
}

}  // namespace

bool ApplyAssignment(const std::string& assignment, StructureSet& set, std::string& error) {
  const std::size_t equals = assignment.find('=');
  if (equals == std::string::npos || equals == 0) {
    error = "expected PATH=VALUE, PATH+=LABEL or PATH-=LABEL, e.g. 12.Armour=50";
    return false;
  }
  Operation operation = Operation::kSet;
  std::size_t path_end = equals;
  if (assignment[equals - 1] == '+' || assignment[equals - 1] == '-') {
    operation = assignment[equals - 1] == '+' ? Operation::kAdd : Operation::kRemove;
    --path_end;
  }
  const std::vector<std::string> path = Split(assignment.substr(0, path_end), '.');
  const std::string value = assignment.substr(equals + 1);
  const bool tile_path = path.size() == 4;
  if (tile_path && path[1] != kTiles) {
    error = text::UnknownName("name", path[1], {kTiles});
    return false;
  }
  if ((path.size() != 2 && !tile_path) || (!tile_path && path[1] == kTiles)) {
    error =
        "expected STRUCTURE.FIELD or STRUCTURE.tiles.TILE.FIELD before the '=', e.g. "
        "12.Armour or 12.tiles.1.Shape[2][3]";
    return false;
  }
  std::size_t i = 0;
  if (!IndexOf(path[0], set.StructureCount(), "structure", "the file", i, error)) return false;
  if (!tile_path) {
    StructureHeader header = set.Header(i);
    if (!ChangeStructure(path[1], operation, value, header, error)) return false;
    set.SetHeader(i, header);
    return true;
  }
  std::size_t j = 0;
  if (!IndexOf(path[2], set.TileCount(i), "tile", "structure " + std::to_string(i), j, error))
    return false;
  TileRecord tile = set.Tile(i, j);
  if (!ChangeTile(path[3], operation, value, tile, error)) return false;
  set.SetTile(i, j, tile);
  return true;
}

}  // namespace brx::tool

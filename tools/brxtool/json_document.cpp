#include "tools/brxtool/json_document.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "model/flags.h"
#include "model/structure_data.h"
#include "tools/brxtool/record_fields.h"

namespace brx::tool {
namespace {

// ---- From the document to JSON ----

Json FlagsToJson(std::uint32_t word) {
  const StructureFlags flags(word);
  Json labels = Json::array();
  for (std::size_t bit = 0; bit < StructureFlags::kBits; ++bit) {
    if (flags.Test(bit)) labels.push_back(StructureFlags::Label(bit));
  }
  return labels;
}

Json ShapeToJson(const TileRecord& tile) {
  Json rows = Json::array();
  for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
    Json cells = Json::array();
    for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column)
      cells.push_back(tile.ShapeByte(TileRecord::ShapeByteIndex(row, column)));
    rows.push_back(std::move(cells));
  }
  return rows;
}

Json TileToJson(const TileRecord& tile) {
  Json json = Json::object();
  for (const RecordField& field : TileFields()) {
    json[std::string(field.key)] = field.role == FieldRole::kShape
                                       ? ShapeToJson(tile)
                                       : Json(tile.Get(field.offset, field.kind));
  }
  return json;
}

Json StructureToJson(const StructureEntry& entry) {
  Json json = Json::object();
  for (const RecordField& field : StructureFields()) {
    Json& value = json[std::string(field.key)];
    if (field.role == FieldRole::kFlags) {
      value = FlagsToJson(entry.header.Flags());
    } else if (field.role == FieldRole::kTiles) {
      value = Json::array();
      for (const TileRecord& tile : entry.tiles) value.push_back(TileToJson(tile));
    } else {
      value = entry.header.Get(field.offset, field.kind);
    }
  }
  return json;
}

// ---- From JSON to the document ----

bool Fail(std::string& error, const std::string& path, const std::string& what) {
  error = (path.empty() ? "top level" : path) + ": " + what;
  return false;
}

// Keys inside a structure or a tile; the top level names its one key itself.
std::string Member(const std::string& path, std::string_view key) {
  return path + "." + std::string(key);
}

std::string Element(const std::string& path, std::size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

std::string Describe(const Json& value) {
  switch (value.type()) {
    case Json::value_t::object:
      return "an object";
    case Json::value_t::array:
      return "an array";
    case Json::value_t::string:
      return "a string";
    case Json::value_t::boolean:
      return "a boolean";
    case Json::value_t::null:
      return "null";
    default:
      return "a number";
  }
}

bool ExpectType(const Json& value, bool ok, const char* expected, const std::string& path,
                std::string& error) {
  if (ok) return true;
  return Fail(error, path, std::string("expected ") + expected + ", found " + Describe(value));
}

// A whole number within the field's range; nothing is cut to fit.
bool ReadInteger(const Json& value, IntKind kind, const std::string& path, std::uint32_t& out,
                 std::string& error) {
  if (!ExpectType(value, value.is_number(), "an integer", path, error)) return false;
  if (value.is_number_float()) return Fail(error, path, value.dump() + " is not an integer");
  const IntRange range = RangeOf(kind);
  // Parsed text holds non-negative numbers as unsigned, which may not fit a signed type.
  const bool in_range =
      value.is_number_unsigned()
          ? value.get<std::uint64_t>() <= static_cast<std::uint64_t>(range.max)
          : value.get<std::int64_t>() >= range.min && value.get<std::int64_t>() <= range.max;
  if (!in_range) {
    return Fail(error, path,
                value.dump() + " is outside " + std::to_string(range.min) + ".." +
                    std::to_string(range.max));
  }
  // Two's complement: a negative value keeps its low bits, which is its encoding.
  out = static_cast<std::uint32_t>(value.get<std::int64_t>());
  return true;
}

template <std::size_t N>
bool CheckKeys(const Json& object, const std::array<RecordField, N>& fields,
               const std::string& path, std::string& error) {
  if (!ExpectType(object, object.is_object(), "an object", path, error)) return false;
  for (const auto& item : object.items()) {
    const bool known = std::any_of(fields.begin(), fields.end(),
                                   [&](const RecordField& f) { return f.key == item.key(); });
    if (!known) return Fail(error, Member(path, item.key()), "unknown key");
  }
  for (const RecordField& field : fields) {
    if (!field.defaults_to_zero && !object.contains(field.key))
      return Fail(error, Member(path, field.key), "missing key");
  }
  return true;
}

bool ReadFlags(const Json& labels, const std::string& path, std::uint32_t& word,
               std::string& error) {
  if (!ExpectType(labels, labels.is_array(), "an array of flag labels", path, error)) return false;
  StructureFlags flags;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const Json& label = labels[i];
    const std::string label_path = Element(path, i);
    if (!ExpectType(label, label.is_string(), "a flag label", label_path, error)) return false;
    const auto bit = StructureFlags::BitOf(label.get<std::string>());
    if (!bit) return Fail(error, label_path, "unknown flag " + label.dump());
    if (flags.Test(*bit)) return Fail(error, label_path, label.dump() + " is listed twice");
    flags.Set(*bit, true);
  }
  word = flags.word();
  return true;
}

// A list of exactly `count` elements.
bool ExpectList(const Json& value, std::size_t count, const char* what, const std::string& path,
                std::string& error) {
  if (!ExpectType(value, value.is_array(), "an array", path, error)) return false;
  if (value.size() == count) return true;
  return Fail(
      error, path,
      "expected " + std::to_string(count) + " " + what + ", found " + std::to_string(value.size()));
}

bool ReadShape(const Json& rows, const std::string& path, TileRecord& tile, std::string& error) {
  constexpr std::size_t kSide = TileRecord::kShapeSide;
  if (!ExpectList(rows, kSide, "rows", path, error)) return false;
  for (std::size_t row = 0; row < kSide; ++row) {
    const std::string row_path = Element(path, row);
    if (!ExpectList(rows[row], kSide, "values", row_path, error)) return false;
    for (std::size_t column = 0; column < kSide; ++column) {
      std::uint32_t value = 0;
      if (!ReadInteger(rows[row][column], IntKind::U8, Element(row_path, column), value, error))
        return false;
      tile.SetShapeByte(TileRecord::ShapeByteIndex(row, column), static_cast<std::uint8_t>(value));
    }
  }
  return true;
}

bool ReadTile(const Json& json, const std::string& path, TileRecord& tile, std::string& error) {
  if (!CheckKeys(json, TileFields(), path, error)) return false;
  for (const RecordField& field : TileFields()) {
    if (!json.contains(field.key)) continue;
    const Json& value = json.at(std::string(field.key));
    const std::string field_path = Member(path, field.key);
    if (field.role == FieldRole::kShape) {
      if (!ReadShape(value, field_path, tile, error)) return false;
      continue;
    }
    std::uint32_t number = 0;
    if (!ReadInteger(value, field.kind, field_path, number, error)) return false;
    tile.Put(field.offset, field.kind, number);
  }
  return true;
}

bool ReadTiles(const Json& list, const std::string& path, std::vector<TileRecord>& tiles,
               std::string& error) {
  if (!ExpectType(list, list.is_array(), "an array of tiles", path, error)) return false;
  if (list.size() > kMaxTilesPerStructure) {
    return Fail(error, path,
                std::to_string(list.size()) + " tiles; a structure holds at most " +
                    std::to_string(kMaxTilesPerStructure));
  }
  tiles.assign(list.size(), TileRecord{});
  for (std::size_t j = 0; j < list.size(); ++j) {
    if (!ReadTile(list[j], Element(path, j), tiles[j], error)) return false;
  }
  return true;
}

bool ReadStructure(const Json& json, const std::string& path, StructureEntry& entry,
                   std::string& error) {
  if (!CheckKeys(json, StructureFields(), path, error)) return false;
  for (const RecordField& field : StructureFields()) {
    if (!json.contains(field.key)) continue;
    const Json& value = json.at(std::string(field.key));
    const std::string field_path = Member(path, field.key);
    std::uint32_t number = 0;
    if (field.role == FieldRole::kFlags) {
      if (!ReadFlags(value, field_path, number, error)) return false;
      entry.header.SetFlags(number);
    } else if (field.role == FieldRole::kTiles) {
      if (!ReadTiles(value, field_path, entry.tiles, error)) return false;
    } else {
      if (!ReadInteger(value, field.kind, field_path, number, error)) return false;
      entry.header.Put(field.offset, field.kind, number);
    }
  }
  return true;
}

bool ReadDocument(const Json& json, StructureSet& set, std::string& error) {
  if (!ExpectType(json, json.is_object(), "an object", "", error)) return false;
  constexpr std::string_view kStructures = "structures";
  for (const auto& item : json.items()) {
    if (item.key() != kStructures) return Fail(error, item.key(), "unknown key");
  }
  if (!json.contains(kStructures)) return Fail(error, std::string(kStructures), "missing key");
  const Json& list = json.at(std::string(kStructures));
  const std::string path(kStructures);
  if (!ExpectType(list, list.is_array(), "an array of structures", path, error)) return false;
  if (list.size() > kMaxStructures) {
    return Fail(error, path,
                std::to_string(list.size()) + " structures; a file holds at most " +
                    std::to_string(kMaxStructures));
  }
  set.Reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    StructureEntry entry;
    if (!ReadStructure(list[i], Element(path, i), entry, error)) return false;
    set.AppendStructure(std::move(entry));
  }
  return true;
}

}  // namespace

Json DocumentToJson(const StructureSet& set) {
  Json structures = Json::array();
  for (std::size_t i = 0; i < set.StructureCount(); ++i)
    structures.push_back(StructureToJson(set.Entry(i)));
  Json json = Json::object();
  json["structures"] = std::move(structures);
  return json;
}

bool DocumentFromJson(const Json& json, StructureSet& set, std::string& error) {
  set.Clear();
  if (ReadDocument(json, set, error)) return true;
  set.Clear();
  return false;
}

bool DocumentFromJsonText(const std::string& text, StructureSet& set, std::string& error) {
  set.Clear();
  Json json;
  return ParseJsonText(text, json, error) && DocumentFromJson(json, set, error);
}

}  // namespace brx::tool

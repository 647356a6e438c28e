#include "tools/brxtool/json_document.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "model/fields.h"
#include "model/flags.h"
#include "model/structure_data.h"
#include "tools/brxtool/field_values.h"
#include "tools/brxtool/suggestion.h"

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
  for (const Field& field : fields::kTileFields) {
    json[std::string(field.name)] = field.role == FieldRole::kShape
                                        ? ShapeToJson(tile)
                                        : Json(tile.Get(field.offset, field.kind));
  }
  return json;
}

Json StructureToJson(const StructureEntry& entry) {
  Json json = Json::object();
  for (const Field& field : fields::kStructureFields) {
    Json& value = json[std::string(field.name)];
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

using Type = JsonNode::Type;

std::string Describe(Type type) {
  switch (type) {
    case Type::kObject:
      return "an object";
    case Type::kArray:
      return "an array";
    case Type::kString:
      return "a string";
    case Type::kBoolean:
      return "a boolean";
    case Type::kNull:
      return "null";
    case Type::kNumber:
      break;
  }
  return "a number";
}

template <std::size_t N>
std::vector<std::string_view> Keys(const std::array<Field, N>& fields) {
  std::vector<std::string_view> keys;
  for (const Field& field : fields) keys.push_back(field.name);
  return keys;
}

// Walks the tree, noting every mistake it meets and going on past it where
// what follows can still be checked.
class Reader {
 public:
  explicit Reader(std::vector<JsonProblem>& problems) : problems_(problems) {}

  void ReadDocument(const JsonNode& root, StructureSet& set) {
    constexpr std::string_view kStructures = "structures";
    if (!ExpectType(root, Type::kObject, "an object", "")) return;
    // A key suggested for a mistyped one is not reported missing as well.
    bool accounted = false;
    for (const JsonMember& member : root.members) {
      if (member.key == kStructures) {
        accounted = true;
        ReadStructures(member.value, std::string(kStructures), set);
      } else {
        accounted = accounted || ClosestName(member.key, {kStructures});
        Problem(member.at, "", UnknownName("key", member.key, {kStructures}));
      }
    }
    if (!accounted) Problem(root.at, "", "missing key " + Quoted(kStructures));
  }

 private:
  bool Problem(const TextPosition& at, const std::string& path, std::string message) {
    problems_.push_back({at, path, std::move(message)});
    return false;
  }

  bool ExpectType(const JsonNode& node, Type type, const char* expected, const std::string& path) {
    if (node.type == type) return true;
    return Problem(node.at, path,
                   std::string("expected ") + expected + ", found " + Describe(node.type));
  }

  // A whole number within the field's range; nothing is cut to fit.
  bool ReadInteger(const JsonNode& node, IntKind kind, const std::string& path,
                   std::uint32_t& value) {
    if (!ExpectType(node, Type::kNumber, "an integer", path)) return false;
    std::string problem;
    return IntegerFromText(node.text, kind, value, problem) || Problem(node.at, path, problem);
  }

  // Hands each known key to `read` and notes unknown ones, then notes the
  // keys that must be there and are not. A key suggested for a mistyped one
  // is not reported missing as well.
  template <std::size_t N, typename ReadField>
  void ReadObject(const JsonNode& node, const std::array<Field, N>& fields, const std::string& path,
                  ReadField read) {
    if (!ExpectType(node, Type::kObject, "an object", path)) return;
    std::vector<std::string_view> accounted;
    for (const JsonMember& member : node.members) {
      if (const Field* field = FindField(fields, member.key)) {
        accounted.push_back(field->name);
        read(*field, member.value, MemberPath(path, member.key));
        continue;
      }
      const std::vector<std::string_view> keys = Keys(fields);
      if (const auto guess = ClosestName(member.key, keys)) accounted.push_back(*guess);
      Problem(member.at, path, UnknownName("key", member.key, keys));
    }
    for (const Field& field : fields) {
      const bool present =
          std::find(accounted.begin(), accounted.end(), field.name) != accounted.end();
      if (!present && !field.may_be_left_out)
        Problem(node.at, path, "missing key " + Quoted(field.name));
    }
  }

  void ReadFlags(const JsonNode& labels, const std::string& path, std::uint32_t& word) {
    if (!ExpectType(labels, Type::kArray, "an array of flag labels", path)) return;
    StructureFlags flags;
    for (std::size_t i = 0; i < labels.elements.size(); ++i) {
      const JsonNode& label = labels.elements[i];
      const std::string label_path = ElementPath(path, i);
      if (!ExpectType(label, Type::kString, "a flag label", label_path)) continue;
      std::string problem;
      const auto bit = FlagBitOf(label.text, problem);
      if (!bit) {
        Problem(label.at, label_path, problem);
      } else if (flags.Test(*bit)) {
        Problem(label.at, label_path, Quoted(label.text) + " is listed twice");
      } else {
        flags.Set(*bit, true);
      }
    }
    word = flags.word();
  }

  // A list of exactly `count` elements.
  bool ExpectList(const JsonNode& node, std::size_t count, const char* what,
                  const std::string& path) {
    if (!ExpectType(node, Type::kArray, "an array", path)) return false;
    if (node.elements.size() == count) return true;
    return Problem(node.at, path,
                   "expected " + std::to_string(count) + " " + what + ", found " +
                       std::to_string(node.elements.size()));
  }

  void ReadShape(const JsonNode& rows, const std::string& path, TileRecord& tile) {
    constexpr std::size_t kSide = TileRecord::kShapeSide;
    if (!ExpectList(rows, kSide, "rows", path)) return;
    for (std::size_t row = 0; row < kSide; ++row) {
      const JsonNode& cells = rows.elements[row];
      const std::string row_path = ElementPath(path, row);
      if (!ExpectList(cells, kSide, "values", row_path)) continue;
      for (std::size_t column = 0; column < kSide; ++column) {
        std::uint32_t value = 0;
        if (ReadInteger(cells.elements[column], IntKind::U8, ElementPath(row_path, column), value))
          tile.SetShapeByte(TileRecord::ShapeByteIndex(row, column),
                            static_cast<std::uint8_t>(value));
      }
    }
  }

  void ReadTile(const JsonNode& node, const std::string& path, TileRecord& tile) {
    ReadObject(node, fields::kTileFields, path,
               [&](const Field& field, const JsonNode& value, const std::string& at) {
                 std::uint32_t number = 0;
                 if (field.role == FieldRole::kShape) {
                   ReadShape(value, at, tile);
                 } else if (ReadInteger(value, field.kind, at, number)) {
                   tile.Put(field.offset, field.kind, number);
                 }
               });
  }

  void ReadTiles(const JsonNode& list, const std::string& path, std::vector<TileRecord>& tiles) {
    if (!ExpectType(list, Type::kArray, "an array of tiles", path)) return;
    // The count is refused before any tile is read: 300 tiles would bury the
    // one mistake that matters under hundreds.
    if (list.elements.size() > kMaxTilesPerStructure) {
      Problem(list.at, path,
              std::to_string(list.elements.size()) + " tiles; a structure holds at most " +
                  std::to_string(kMaxTilesPerStructure));
      return;
    }
    tiles.assign(list.elements.size(), TileRecord{});
    for (std::size_t j = 0; j < tiles.size(); ++j)
      ReadTile(list.elements[j], ElementPath(path, j), tiles[j]);
  }

  void ReadStructure(const JsonNode& node, const std::string& path, StructureEntry& entry) {
    ReadObject(node, fields::kStructureFields, path,
               [&](const Field& field, const JsonNode& value, const std::string& at) {
                 std::uint32_t number = 0;
                 if (field.role == FieldRole::kFlags) {
                   ReadFlags(value, at, number);
                   entry.header.SetFlags(number);
                 } else if (field.role == FieldRole::kTiles) {
                   ReadTiles(value, at, entry.tiles);
                 } else if (ReadInteger(value, field.kind, at, number)) {
                   entry.header.Put(field.offset, field.kind, number);
                 }
               });
  }

  void ReadStructures(const JsonNode& list, const std::string& path, StructureSet& set) {
    if (!ExpectType(list, Type::kArray, "an array of structures", path)) return;
    if (list.elements.size() > kMaxStructures) {
      Problem(list.at, path,
              std::to_string(list.elements.size()) + " structures; a file holds at most " +
                  std::to_string(kMaxStructures));
      return;
    }
    set.Reserve(list.elements.size());
    for (std::size_t i = 0; i < list.elements.size(); ++i) {
      StructureEntry entry;
      ReadStructure(list.elements[i], ElementPath(path, i), entry);
      set.AppendStructure(std::move(entry));
      // Structures stand one after another in the text, so every mistake
      // before the end of this one has been found: enough to show.
      if (problems_.size() > kMostProblemsShown) return;
    }
  }

  std::vector<JsonProblem>& problems_;
};

}  // namespace

Json DocumentToJson(const StructureSet& set) {
  Json structures = Json::array();
  for (std::size_t i = 0; i < set.StructureCount(); ++i)
    structures.push_back(StructureToJson(set.Entry(i)));
  Json json = Json::object();
  json["structures"] = std::move(structures);
  return json;
}

bool DocumentFromJsonText(const std::string& text, StructureSet& set,
                          std::vector<JsonProblem>& problems) {
  set.Clear();
  problems.clear();
  JsonNode root;
  if (ParseJson(text, root, problems)) Reader(problems).ReadDocument(root, set);
  std::stable_sort(problems.begin(), problems.end(),
                   [](const JsonProblem& a, const JsonProblem& b) { return a.at < b.at; });
  if (problems.empty()) return true;
  set.Clear();
  return false;
}

}  // namespace brx::tool

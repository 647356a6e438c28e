#include "tools/documents/atlas/page_model.h"

#include <sstream>
#include <stdexcept>
#include <vector>

#include "model/fields.h"
#include "model/flags.h"
#include "tools/documents/atlas/base64.h"
#include "tools/documents/document_diff.h"
#include "tools/text/json_writer.h"

namespace brx::tool {
namespace {

using text::JsonWriter;

std::string_view RoleName(FieldRole role) {
  switch (role) {
    case FieldRole::kInteger:
      break;
    case FieldRole::kFlags:
      return "flags";
    case FieldRole::kTiles:
      return "tiles";
    case FieldRole::kShape:
      return "shape";
  }
  return "integer";
}

std::vector<std::string> MakeChangeFieldNames() {
  std::vector<std::string> names;
  const auto add = [&names](std::string_view name) {
    for (const std::string& known : names) {
      if (known == name) return;
    }
    names.emplace_back(name);
  };
  for (const Field& field : fields::kStructureFields) add(field.name);
  for (const Field& field : fields::kTileFields) add(field.name);
  for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
    for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column)
      add(ShapeCellName(row, column));
  }
  return names;
}

const std::vector<std::string>& ChangeFieldNames() {
  static const std::vector<std::string> kNames = MakeChangeFieldNames();
  return kNames;
}

// JSON's true and false are words the writer takes as it takes numbers.
void WriteBool(std::string_view key, bool value, JsonWriter& json) {
  json.Key(key);
  json.NumberText(value ? "true" : "false");
}

template <std::size_t N>
void WriteFields(const std::array<Field, N>& table, JsonWriter& json) {
  json.BeginArray();
  for (const Field& field : table) {
    json.BeginObject();
    json.Key("name");
    json.String(field.name);
    json.Key("label");
    json.String(field.label);
    json.Key("role");
    json.String(RoleName(field.role));
    json.Key("offset");
    json.Number(static_cast<std::int64_t>(field.offset));
    json.Key("bytes");
    json.Number(static_cast<std::int64_t>(WidthOf(field.kind)));
    WriteBool("signed", field.IsSigned(), json);
    json.Key("min");
    json.Number(field.Range().min);
    json.Key("max");
    json.Number(field.Range().max);
    WriteBool("rewrittenOnSave", field.rewritten_on_save, json);
    json.EndObject();
  }
  json.EndArray();
}

void WriteStrings(const std::vector<std::string>& strings, JsonWriter& json) {
  json.BeginArray();
  for (const std::string& text : strings) json.String(text);
  json.EndArray();
}

void WriteNumber(std::string_view key, std::size_t value, JsonWriter& json) {
  json.Key(key);
  json.Number(static_cast<std::int64_t>(value));
}

void WriteFormat(JsonWriter& json) {
  WriteNumber("recordChunkCharacters", Base64Length(kRecordChunkBytes), json);
  WriteNumber("structureRecordSize", StructureHeader::kSize, json);
  WriteNumber("tileRecordSize", TileRecord::kSize, json);
  json.Key("structureFields");
  WriteFields(fields::kStructureFields, json);
  json.Key("tileFields");
  WriteFields(fields::kTileFields, json);
  json.Key("flagLabels");
  WriteStrings({StructureFlags::Labels().begin(), StructureFlags::Labels().end()}, json);
  json.Key("tileFlags");
  json.BeginObject();
  json.Key("field");
  json.String(fields::kTileFlags.name);
  json.Key("labels");
  std::vector<std::string> tile_labels;
  for (std::size_t bit = 0; bit < TileFlags::kLabelledBits; ++bit)
    tile_labels.emplace_back(TileFlags::Label(bit));
  WriteStrings(tile_labels, json);
  json.EndObject();
  json.Key("placement");
  json.BeginObject();
  json.Key("x");
  json.String(fields::kbXPosRelToBase.name);
  json.Key("y");
  json.String(fields::kbYPosRelToBase.name);
  json.EndObject();
  json.Key("shape");
  json.BeginObject();
  WriteNumber("side", TileRecord::kShapeSide, json);
  json.Key("cells");  // row by row: the byte of each cell and its name
  json.BeginArray();
  for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
    for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
      json.BeginRow();
      json.Number(static_cast<std::int64_t>(TileRecord::ShapeByteIndex(row, column)));
      json.String(ShapeCellName(row, column));
      json.EndArray();
    }
  }
  json.EndArray();
  json.EndObject();
}

void WriteChangeNames(JsonWriter& json) {
  json.Key("changeKinds");  // by Difference::Kind, in its order
  WriteStrings({"added", "removed", "changed", "flags"}, json);
  static_assert(static_cast<int>(Difference::Kind::kAdded) == 0 &&
                    static_cast<int>(Difference::Kind::kRemoved) == 1 &&
                    static_cast<int>(Difference::Kind::kChanged) == 2 &&
                    static_cast<int>(Difference::Kind::kFlags) == 3,
                "the page names the kinds of a difference by their numbers");
  json.Key("changeFields");
  WriteStrings(ChangeFieldNames(), json);
}

}  // namespace

std::size_t ChangeFieldCode(std::string_view name) {
  const std::vector<std::string>& names = ChangeFieldNames();
  for (std::size_t code = 0; code < names.size(); ++code) {
    if (names[code] == name) return code;
  }
  throw std::logic_error("a difference names a field the page does not know");
}

void WritePageModel(const PageFacts& facts, std::ostream& out) {
  std::ostringstream written;
  JsonWriter json(written);
  json.BeginObject();
  json.Key("name");
  json.String(facts.name);
  WriteNumber("first", facts.first, json);
  WriteNumber("count", facts.count, json);
  WriteNumber("fileStructures", facts.file_structures, json);
  if (facts.compared_with) {
    json.Key("comparedWith");
    json.String(*facts.compared_with);
    WriteNumber("changedStructures", facts.changed_structures, json);
    WriteNumber("removedStructures", facts.removed_structures, json);
  }
  WriteFormat(json);
  WriteChangeNames(json);
  json.EndObject();
  json.Finish();
  // '<' stands only inside strings, where JSON may write it escaped: then no
  // name can close the script element ("</script>") or open a comment.
  for (char c : written.str()) {
    if (c == '<') {
      out << "\\u003c";
    } else {
      out << c;
    }
  }
}

}  // namespace brx::tool

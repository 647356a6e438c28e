#include "tools/documents/document_diff.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "model/fields.h"
#include "model/flags.h"

namespace brx::tool {
namespace {

// Trailing bytes can run to megabytes; a difference shows their start.
constexpr std::size_t kTrailingBytesShown = 16;

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
  std::string text;
  for (std::size_t k = 0; k < std::min(count, kTrailingBytesShown); ++k) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", bytes[k]);
    text += (k ? " " : "") + std::string(hex);
  }
  if (count > kTrailingBytesShown) text += " ... (" + std::to_string(count) + " bytes)";
  return text;
}

class Comparison {
 public:
  Comparison(bool bytes, const std::function<void(const Difference&)>& each)
      : bytes_(bytes), each_(each) {}

  std::size_t count() const { return count_; }

  void CompareHeaders(const FileHeader& a, const FileHeader& b) {
    const char* part = "file header";
    for (const HeaderField& field : fields::kFileHeaderFields) {
      const std::string name(field.name);
      if (field.role == HeaderRole::kComputed) {
        CompareValue(part, name, field.NumberIn(a), field.NumberIn(b));
      } else if (field.role == HeaderRole::kReserved) {
        CompareValue(part, name, HexBytes(&a.bytes.at(field.offset), field.width),
                     HexBytes(&b.bytes.at(field.offset), field.width));
      }
    }
  }

  void CompareStructures(const StructureSet& a, const StructureSet& b) {
    const std::size_t common = std::min(a.StructureCount(), b.StructureCount());
    for (std::size_t i = 0; i < common; ++i) CompareEntries(i, a.Entry(i), b.Entry(i));
    AddedOrRemoved({}, common, a.StructureCount(), b.StructureCount(), false);
  }

  void CompareEntries(std::size_t index, const StructureEntry& a, const StructureEntry& b) {
    Difference where;
    where.structure = index;
    CompareStructure(where, a, b);
  }

  void CompareTrailingBytes(const TrailingBytes& a, const TrailingBytes& b) {
    if (a == b) return;
    Difference difference;
    difference.part = "trailing bytes";
    difference.from = Text(HexBytes(a.first.data(), a.count));
    difference.to = Text(HexBytes(b.first.data(), b.count));
    Found(difference);
  }

 private:
  template <typename Value>
  void CompareValue(const Difference& where, const std::string& field, const Value& a,
                    const Value& b) {
    if (a == b) return;
    Difference difference = where;
    difference.field = field;
    difference.from = AsValue(a);
    difference.to = AsValue(b);
    Found(difference);
  }

  template <typename Value>
  void CompareValue(const char* part, const std::string& field, const Value& a, const Value& b) {
    Difference where;
    where.part = part;
    CompareValue(where, field, a, b);
  }

  // Entries `common` and on: in the first file only, or in the second only.
  void AddedOrRemoved(const Difference& where, std::size_t common, std::size_t in_a,
                      std::size_t in_b, bool tiles) {
    for (std::size_t k = common; k < std::max(in_a, in_b); ++k) {
      Difference difference = where;
      (tiles ? difference.tile : difference.structure) = k;
      difference.kind = in_a > in_b ? Difference::Kind::kRemoved : Difference::Kind::kAdded;
      Found(difference);
    }
  }

  void CompareFlags(const Difference& where, std::uint32_t a, std::uint32_t b) {
    if (a == b) return;
    Difference difference = where;
    difference.kind = Difference::Kind::kFlags;
    difference.field = std::string(fields::kFlags.name);
    for (std::size_t bit = 0; bit < StructureFlags::kBits; ++bit) {
      const std::string label(StructureFlags::Label(bit));
      if ((b >> bit & 1u) > (a >> bit & 1u)) difference.added.push_back(label);
      if ((a >> bit & 1u) > (b >> bit & 1u)) difference.removed.push_back(label);
    }
    Found(difference);
  }

  void CompareTile(const Difference& where, const TileRecord& a, const TileRecord& b) {
    for (const Field& field : fields::kTileFields) {
      if (field.role != FieldRole::kShape) {
        CompareValue(where, std::string(field.name), a.Get(field.offset, field.kind),
                     b.Get(field.offset, field.kind));
        continue;
      }
      for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
        for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
          const std::size_t k = TileRecord::ShapeByteIndex(row, column);
          CompareValue(where, ShapeCellName(row, column), a.ShapeByte(k), b.ShapeByte(k));
        }
      }
    }
  }

  void CompareStructure(const Difference& where, const StructureEntry& a, const StructureEntry& b) {
    for (const Field& field : fields::kStructureFields) {
      if (field.role == FieldRole::kFlags) {
        CompareFlags(where, a.header.Flags(), b.header.Flags());
      } else if (field.role == FieldRole::kTiles) {
        const std::size_t common = std::min(a.tiles.size(), b.tiles.size());
        for (std::size_t j = 0; j < common; ++j) {
          Difference tile = where;
          tile.tile = j;
          CompareTile(tile, a.tiles[j], b.tiles[j]);
        }
        AddedOrRemoved(where, common, a.tiles.size(), b.tiles.size(), true);
      } else if (bytes_ || !field.rewritten_on_save) {
        CompareValue(where, std::string(field.name), a.header.Get(field.offset, field.kind),
                     b.header.Get(field.offset, field.kind));
      }
    }
  }

  static text::JsonValue Text(std::string text) {
    return {text::JsonValue::Type::kString, std::move(text), {}};
  }
  static text::JsonValue AsValue(const std::string& text) { return Text(text); }
  template <typename Number>
  static text::JsonValue AsValue(Number number) {
    return {text::JsonValue::Type::kNumber, std::to_string(number), {}};
  }

  void Found(const Difference& difference) {
    ++count_;
    each_(difference);
  }

  bool bytes_;
  const std::function<void(const Difference&)>& each_;
  std::size_t count_ = 0;
};

std::string Where(const Difference& difference) {
  if (!difference.structure) return difference.part;
  return RecordPlace(*difference.structure, difference.tile);
}

// A value as the text shows it: numbers as numbers, byte lists bare, and
// "none" for no bytes at all.
std::string Shown(const text::JsonValue& value) {
  return value.type == text::JsonValue::Type::kString && value.text.empty() ? "none" : value.text;
}

void WriteValue(const text::JsonValue& value, text::JsonWriter& writer) {
  if (value.type == text::JsonValue::Type::kString) {
    writer.String(value.text);
  } else {
    writer.NumberText(value.text);
  }
}

void WriteLabels(const std::vector<std::string>& labels, text::JsonWriter& writer) {
  writer.BeginArray();
  for (const std::string& label : labels) writer.String(label);
  writer.EndArray();
}

}  // namespace

std::string RecordPlace(std::size_t structure, std::optional<std::size_t> tile) {
  std::string where = "structure " + std::to_string(structure);
  if (tile) where += " tile " + std::to_string(*tile);
  return where;
}

std::size_t CompareFiles(const LoadedFile& a, const LoadedFile& b, bool bytes,
                         const std::function<void(const Difference&)>& each) {
  Comparison comparison(bytes, each);
  if (bytes) comparison.CompareHeaders(a.Header(), b.Header());
  comparison.CompareStructures(a.set, b.set);
  if (bytes) comparison.CompareTrailingBytes(a.trailing, b.trailing);
  return comparison.count();
}

void CompareStructure(std::size_t index, const StructureEntry& a, const StructureEntry& b,
                      const std::function<void(const Difference&)>& each) {
  Comparison(false, each).CompareEntries(index, a, b);
}

std::string DifferenceText(const Difference& difference) {
  const std::string where = Where(difference);
  switch (difference.kind) {
    case Difference::Kind::kAdded:
      return where + ": added";
    case Difference::Kind::kRemoved:
      return where + ": removed";
    case Difference::Kind::kFlags: {
      std::string text = where + " " + difference.field + ":";
      for (const std::string& label : difference.added) text += " +" + label;
      for (const std::string& label : difference.removed) text += " -" + label;
      return text;
    }
    case Difference::Kind::kChanged:
      break;
  }
  return where + ": " + (difference.field.empty() ? "" : difference.field + " ") +
         Shown(difference.from) + " -> " + Shown(difference.to);
}

void WriteDifference(const Difference& difference, text::JsonWriter& writer) {
  writer.BeginObject();
  if (difference.structure) {
    writer.Key("structure");
    writer.Number(static_cast<std::int64_t>(*difference.structure));
  }
  if (difference.tile) {
    writer.Key("tile");
    writer.Number(static_cast<std::int64_t>(*difference.tile));
  }
  if (!difference.part.empty()) {
    writer.Key("part");
    writer.String(difference.part);
  }
  if (!difference.field.empty()) {
    writer.Key("field");
    writer.String(difference.field);
  }
  switch (difference.kind) {
    case Difference::Kind::kAdded:
    case Difference::Kind::kRemoved:
      writer.Key("change");
      writer.String(difference.kind == Difference::Kind::kAdded ? "added" : "removed");
      break;
    case Difference::Kind::kFlags:
      writer.Key("added");
      WriteLabels(difference.added, writer);
      writer.Key("removed");
      WriteLabels(difference.removed, writer);
      break;
    case Difference::Kind::kChanged:
      writer.Key("from");
      WriteValue(difference.from, writer);
      writer.Key("to");
      WriteValue(difference.to, writer);
      break;
  }
  writer.EndObject();
}

}  // namespace brx::tool

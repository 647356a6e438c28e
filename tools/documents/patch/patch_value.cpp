#include "tools/documents/patch/patch_value.h"

#include <iterator>
#include <utility>

#include "model/flags.h"
#include "tools/documents/field_values.h"
#include "tools/documents/json_document.h"

namespace brx::tool {
namespace {

using Type = text::JsonValue::Type;

// A field's value from the bits IntegerFromText gives, with its sign.
std::int64_t Widened(std::uint32_t bits, IntKind kind) {
  switch (kind) {
    case IntKind::I8:
      return static_cast<std::int8_t>(bits);
    case IntKind::I16:
      return static_cast<std::int16_t>(bits);
    default:
      break;
  }
  return bits;
}

// What a patch's value of each kind is called, and the part of a document
// it is read as (numbers and labels are read by hand).
struct KindFacts {
  PatchValueKind kind;
  const char* description;
  DocumentPart part;
};

const KindFacts& KindFactsOf(PatchValueKind kind) {
  using Kind = PatchValueKind;
  using Part = DocumentPart;
  static constexpr KindFacts kFacts[] = {
      {Kind::kDocument, "a document", Part::kDocument},
      {Kind::kStructures, "a list of structures", Part::kStructures},
      {Kind::kStructure, "a structure", Part::kStructure},
      {Kind::kNumber, "a number", Part::kDocument},
      {Kind::kFlags, "a list of flag labels", Part::kFlags},
      {Kind::kLabel, "a flag label", Part::kDocument},
      {Kind::kTiles, "a list of tiles", Part::kTiles},
      {Kind::kTile, "a tile", Part::kTile},
      {Kind::kShape, "a shape", Part::kShape},
      {Kind::kShapeRow, "a row of a shape", Part::kShapeRow},
  };
  for (const KindFacts& facts : kFacts) {
    if (facts.kind == kind) return facts;
  }
  return kFacts[0];
}

IntKind KindOfNumber(const PatchPath& path) {
  return path.field ? path.field->kind : fields::kShape.kind;
}

bool SameHeader(const StructureHeader& a, const StructureHeader& b) {
  for (const Field& field : fields::kStructureFields) {
    if (field.role != FieldRole::kTiles && field.ValueIn(a) != field.ValueIn(b)) return false;
  }
  return true;
}

bool SameEntries(const std::vector<StructureEntry>& a, const std::vector<StructureEntry>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!SameHeader(a[i].header, b[i].header) || a[i].tiles != b[i].tiles) return false;
  }
  return true;
}

}  // namespace

PatchValueKind KindOf(PatchNode node) {
  using Kind = PatchValueKind;
  // In the order of PatchNode: a field, a cell and a row's element are numbers.
  static constexpr Kind kKinds[] = {Kind::kDocument, Kind::kStructures, Kind::kStructure,
                                    Kind::kNumber,   Kind::kFlags,      Kind::kLabel,
                                    Kind::kTiles,    Kind::kTile,       Kind::kNumber,
                                    Kind::kShape,    Kind::kShapeRow,   Kind::kNumber};
  static_assert(std::size(kKinds) == static_cast<std::size_t>(PatchNode::kShapeCell) + 1);
  return kKinds[static_cast<std::size_t>(node)];
}

std::string DescribeKind(PatchValueKind kind) {
  return KindFactsOf(kind).description;
}

std::uint32_t FlagWordOf(const std::vector<std::uint8_t>& items) {
  StructureFlags flags;
  for (const std::uint8_t bit : items) flags.Set(bit, true);
  return flags.word();
}

std::vector<std::uint8_t> LabelsOf(std::uint32_t word) {
  std::vector<std::uint8_t> items;
  for (std::size_t bit = 0; bit < StructureFlags::kBits; ++bit) {
    if (word >> bit & 1u) items.push_back(static_cast<std::uint8_t>(bit));
  }
  return items;
}

bool ReadPatchNumber(std::string_view text, const text::TextPosition& at, const PatchPath& path,
                     PatchValue& value, std::vector<text::JsonProblem>& problems) {
  value.node = path.node;
  std::string error;
  std::uint32_t bits = 0;
  if (!IntegerFromText(text, KindOfNumber(path), bits, error)) {
    problems.push_back({at, "", error});
    return false;
  }
  value.number = Widened(bits, KindOfNumber(path));
  return true;
}

bool ReadPatchValue(const RecordedJson& json, const PatchPath& path, PatchValue& value,
                    std::vector<text::JsonProblem>& problems) {
  value = PatchValue();
  value.node = path.node;
  const PatchValueKind kind = KindOf(path.node);
  const text::JsonValue& first = json.events.front().value;
  if (kind == PatchValueKind::kNumber || kind == PatchValueKind::kLabel) {
    const bool number = kind == PatchValueKind::kNumber;
    if (first.type != (number ? Type::kNumber : Type::kString)) {
      problems.push_back({first.at, "",
                          std::string("expected ") + (number ? "an integer" : "a flag label") +
                              ", found " + text::JsonTypeName(first.type)});
      return false;
    }
    if (number) return ReadPatchNumber(first.text, first.at, path, value, problems);
    std::string error;
    if (const auto bit = FlagBitOf(first.text, error)) {
      value.number = static_cast<std::int64_t>(*bit);
      return true;
    }
    problems.push_back({first.at, "", error});
    return false;
  }
  StructureSet set;
  if (!ReadDocumentPart(
          KindFactsOf(kind).part, [&json](text::JsonHandler& handler) { json.Replay(handler); },
          set, problems))
    return false;
  std::vector<StructureEntry> entries = set.TakeEntries();
  switch (kind) {
    case PatchValueKind::kDocument:
    case PatchValueKind::kStructures:
    case PatchValueKind::kStructure:
      value.structures = std::move(entries);
      break;
    case PatchValueKind::kFlags:
      value.items = LabelsOf(entries[0].header.Flags());
      break;
    case PatchValueKind::kTiles:
    case PatchValueKind::kTile:
      value.tiles = std::move(entries[0].tiles);
      break;
    default: {
      const TileRecord& tile = entries[0].tiles[0];
      for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
        for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
          const std::uint8_t cell = tile.ShapeByte(TileRecord::ShapeByteIndex(row, column));
          value.cells[row * TileRecord::kShapeSide + column] = cell;
          if (row == 0) value.items.push_back(cell);
        }
      }
      break;
    }
  }
  return true;
}

bool SameValue(const PatchValue& a, const PatchValue& b) {
  const PatchValueKind kind = KindOf(a.node);
  if (kind != KindOf(b.node)) return false;
  switch (kind) {
    case PatchValueKind::kNumber:
    case PatchValueKind::kLabel:
      return a.number == b.number;
    case PatchValueKind::kFlags:
      return FlagWordOf(a.items) == FlagWordOf(b.items);
    case PatchValueKind::kTiles:
    case PatchValueKind::kTile:
      return a.tiles == b.tiles;
    case PatchValueKind::kShape:
      return a.cells == b.cells;
    case PatchValueKind::kShapeRow:
      return a.items == b.items;
    default:
      break;
  }
  return SameEntries(a.structures, b.structures);
}

}  // namespace brx::tool

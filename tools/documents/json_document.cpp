#include "tools/documents/json_document.h"

#include <array>
#include <cstdint>
#include <utility>

#include "model/fields.h"
#include "model/flags.h"
#include "model/structure_data.h"
#include "tools/documents/document_checks.h"

namespace brx::tool {

// ---- From the document to JSON ----

void WriteTileJson(const TileRecord& tile, text::JsonWriter& writer) {
  writer.BeginObject();
  for (const Field& field : fields::kTileFields) {
    writer.Key(field.name);
    if (field.role != FieldRole::kShape) {
      writer.Number(tile.Get(field.offset, field.kind));
      continue;
    }
    writer.BeginArray();
    for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
      writer.BeginRow();
      for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column)
        writer.Number(tile.ShapeByte(TileRecord::ShapeByteIndex(row, column)));
      writer.EndArray();
    }
    writer.EndArray();
  }
  writer.EndObject();
}

void WriteStructureJson(const StructureEntry& entry, text::JsonWriter& writer) {
  writer.BeginObject();
  for (const Field& field : fields::kStructureFields) {
    writer.Key(field.name);
    if (field.role == FieldRole::kFlags) {
      const StructureFlags flags(entry.header.Flags());
      writer.BeginArray();
      for (std::size_t bit = 0; bit < StructureFlags::kBits; ++bit) {
        if (flags.Test(bit)) writer.String(StructureFlags::Label(bit));
      }
      writer.EndArray();
    } else if (field.role == FieldRole::kTiles) {
      writer.BeginArray();
      for (const TileRecord& tile : entry.tiles) WriteTileJson(tile, writer);
      writer.EndArray();
    } else {
      writer.Number(entry.header.Get(field.offset, field.kind));
    }
  }
  writer.EndObject();
}

namespace {

// ---- From JSON to the document ----

using Type = text::JsonValue::Type;

constexpr std::string_view kStructures = "structures";

// The parts of a document first, in the order of DocumentPart.
enum class Place { kTop, kStructures, kStructure, kFlags, kTiles, kTile, kShape, kShapeRow, kSkip };

struct Frame {
  Place place;
  text::TextPosition at;
  std::size_t mark = 0;          // the problems noted when it started
  std::size_t count = 0;         // an array's elements so far
  std::size_t next_key = 0;      // an object's field after the last key found
  std::uint32_t accounted = 0;   // an object's fields present or guessed, one bit each
  const Field* field = nullptr;  // the field of the next value; null: not one to read
  bool structures_next = false;  // the top level's next value is the structures
};

// Reads the values into the document as they come, noting every mistake it
// meets and going on past it where what follows can still be checked. A
// frame stands for each object and array being read.
class DocumentReader : public text::JsonHandler {
 public:
  // `start`: the place of the value read, kTop for a whole document.
  DocumentReader(StructureSet& set, const std::vector<text::JsonProblem>& syntax,
                 DocumentPart start = DocumentPart::kDocument)
      : set_(set), syntax_(syntax), start_(static_cast<Place>(start)) {}

  std::vector<text::JsonProblem>& problems() { return checks_.problems(); }

  void Value(const text::JsonValueView& value, const text::JsonPath& path) override {
    // Shape cells are most of a document's values: one that is all right is
    // placed without the walk through every other place a value can stand.
    if (!frames_.empty() && ShapeCell(frames_.back(), value)) return;
    OtherValue(value, path);
  }

  void Key(const std::string& key, const text::TextPosition& at, bool repeated,
           const text::JsonPath& path) override {
    Frame& frame = frames_.back();
    frame.field = nullptr;
    if (frame.place == Place::kSkip || repeated) return;
    if (frame.place == Place::kTop) {
      if (key == kStructures) {
        frame.accounted = 1;
        frame.structures_next = true;
      } else if (checks_.UnknownKey({kStructures}, key, at, path)) {
        // A key suggested for a mistyped one is not reported missing as well.
        frame.accounted = 1;
      }
      return;
    }
    if (frame.place == Place::kStructure) {
      frame.field = checks_.MemberKey(fields::kStructureFields, key, frame.next_key,
                                      frame.accounted, at, path);
    } else {
      frame.field =
          checks_.MemberKey(fields::kTileFields, key, frame.next_key, frame.accounted, at, path);
    }
  }

  void EndObject(const text::JsonPath& path) override {
    const Frame frame = frames_.back();
    frames_.pop_back();
    switch (frame.place) {
      case Place::kTop:
        if (!frame.accounted) checks_.MissingKey(kStructures, frame.at, path);
        break;
      case Place::kStructure:
        checks_.Missing(fields::kStructureFields, frame.accounted, frame.at, path);
        set_.AppendStructure(std::move(entry_));
        StructureRead();
        break;
      case Place::kTile:
        checks_.Missing(fields::kTileFields, frame.accounted, frame.at, path);
        entry_.tiles.push_back(tile_);
        break;
      default:
        break;
    }
  }

  void EndArray(const text::JsonPath& path) override {
    const Frame frame = frames_.back();
    frames_.pop_back();
    switch (frame.place) {
      case Place::kStructures:
        // The count is refused alone: what is wrong within the structures
        // would bury the one mistake that matters.
        if (frame.count > kMaxStructures) {
          TooMany(frame, path, "structures; a file", kMaxStructures);
        }
        break;
      case Place::kFlags:
        entry_.header.SetFlags(flags_.word());
        break;
      case Place::kTiles:
        // The list grew by doubling: up to 1.6 times the memory of its tiles.
        entry_.tiles.shrink_to_fit();
        if (frame.count > kMaxTilesPerStructure) {
          TooMany(frame, path, "tiles; a structure", kMaxTilesPerStructure);
        }
        break;
      case Place::kShape:
        checks_.ExpectShapeSide(frame.count, frame.mark, frame.at, path, "rows");
        break;
      case Place::kShapeRow:
        checks_.ExpectShapeSide(frame.count, frame.mark, frame.at, path, "values");
        break;
      default:
        break;
    }
  }

  // A part read alone lands where it would stand first in a document.
  void FinishPart() {
    if (start_ == Place::kShape || start_ == Place::kShapeRow) entry_.tiles.push_back(tile_);
    if (start_ != Place::kTop && start_ != Place::kStructures && start_ != Place::kStructure)
      set_.AppendStructure(std::move(entry_));
  }

 private:
  // `what`: "tiles; a structure", for "300 tiles; a structure holds at most 255".
  void TooMany(const Frame& frame, const text::JsonPath& path, const char* what, std::size_t most) {
    checks_.Refuse(
        frame.mark, frame.at, path,
        std::to_string(frame.count) + " " + what + " holds at most " + std::to_string(most));
  }

  // Any value but a shape cell placed by ShapeCell.
  void OtherValue(const text::JsonValueView& value, const text::JsonPath& path) {
    if (frames_.empty()) return FirstValue(value, path);
    Frame& frame = frames_.back();
    switch (frame.place) {
      case Place::kSkip:
        break;
      case Place::kTop:
        if (!std::exchange(frame.structures_next, false)) break;
        if (checks_.Expect(value, Type::kArray, "an array of structures", path))
          return Push(Place::kStructures, value);
        break;
      case Place::kStructures:
        if (frame.count++ >= kMaxStructures || stopped_) break;
        entry_ = StructureEntry();
        if (checks_.Expect(value, Type::kObject, "an object", path))
          return Push(Place::kStructure, value);
        Skip(value);
        return StructureRead();
      case Place::kStructure:
        return StructureValue(frame, value, path);
      case Place::kFlags:
        ++frame.count;
        if (checks_.Expect(value, Type::kString, "a flag label", path))
          checks_.FlagLabel(value, path, flags_);
        break;
      case Place::kTiles:
        if (frame.count++ >= kMaxTilesPerStructure) break;
        tile_ = TileRecord();
        if (checks_.Expect(value, Type::kObject, "an object", path))
          return Push(Place::kTile, value);
        entry_.tiles.push_back(tile_);
        break;
      case Place::kTile:
        return TileValue(frame, value, path);
      case Place::kShape:
        row_ = frame.count++;
        if (checks_.Expect(value, Type::kArray, "an array", path))
          return Push(Place::kShapeRow, value);
        break;
      case Place::kShapeRow: {
        // Not a cell ShapeCell could place: a mistake, or one too many.
        ++frame.count;
        std::uint32_t number = 0;
        checks_.ReadInteger(value, IntKind::U8, path, number);
        break;
      }
    }
    Skip(value);
  }

  // Places a byte of the shape row being read, if `value` is one and the
  // row has room for it.
  bool ShapeCell(Frame& frame, const text::JsonValueView& value) {
    std::uint32_t number = 0;
    if (frame.place != Place::kShapeRow || value.type != Type::kNumber ||
        row_ >= TileRecord::kShapeSide || frame.count >= TileRecord::kShapeSide ||
        !ShortIntegerInRange(value.text, IntKind::U8, number))
      return false;
    tile_.SetShapeByte(TileRecord::ShapeByteIndex(row_, frame.count++),
                       static_cast<std::uint8_t>(number));
    return true;
  }

  // The value a part read alone, or a whole document, is.
  void FirstValue(const text::JsonValueView& value, const text::JsonPath& path) {
    const bool object =
        start_ == Place::kTop || start_ == Place::kStructure || start_ == Place::kTile;
    if (checks_.Expect(value, object ? Type::kObject : Type::kArray,
                       object ? "an object" : "an array", path)) {
      Push(start_, value);
    } else {
      Skip(value);
    }
  }

  void Push(Place place, const text::JsonValueView& value) {
    Frame frame;
    frame.place = place;
    frame.at = value.at;
    frame.mark = checks_.count();
    frames_.push_back(frame);
  }

  // A container not to be read is still walked through, to its end.
  void Skip(const text::JsonValueView& value) {
    if (value.type == Type::kObject || value.type == Type::kArray) Push(Place::kSkip, value);
  }

  void StructureValue(Frame& frame, const text::JsonValueView& value, const text::JsonPath& path) {
    const Field* field = std::exchange(frame.field, nullptr);
    std::uint32_t number = 0;
    if (!field) {
      Skip(value);
    } else if (field->role == FieldRole::kFlags) {
      flags_ = StructureFlags();
      if (checks_.Expect(value, Type::kArray, "an array of flag labels", path)) {
        Push(Place::kFlags, value);
      } else {
        entry_.header.SetFlags(0);
        Skip(value);
      }
    } else if (field->role == FieldRole::kTiles) {
      entry_.tiles.clear();
      if (checks_.Expect(value, Type::kArray, "an array of tiles", path)) {
        Push(Place::kTiles, value);
      } else {
        Skip(value);
      }
    } else if (checks_.ReadInteger(value, field->kind, path, number)) {
      entry_.header.Put(field->offset, field->kind, number);
    } else {
      Skip(value);
    }
  }

  void TileValue(Frame& frame, const text::JsonValueView& value, const text::JsonPath& path) {
    const Field* field = std::exchange(frame.field, nullptr);
    std::uint32_t number = 0;
    if (!field) {
      Skip(value);
    } else if (field->role == FieldRole::kShape) {
      if (checks_.Expect(value, Type::kArray, "an array", path)) {
        Push(Place::kShape, value);
      } else {
        Skip(value);
      }
    } else if (checks_.ReadInteger(value, field->kind, path, number)) {
      tile_.Put(field->offset, field->kind, number);
    } else {
      Skip(value);
    }
  }

  // Structures stand one after another in the text, so every mistake before
  // the end of this one has been found: once there are more than can be
  // shown, that is enough.
  void StructureRead() {
    if (syntax_.size() + checks_.count() > kMostProblemsShown) stopped_ = true;
  }

  StructureSet& set_;
  const std::vector<text::JsonProblem>& syntax_;
  const Place start_;
  DocumentChecks checks_{kMostProblemsShown};
  std::vector<Frame> frames_;
  StructureEntry entry_;
  TileRecord tile_;
  StructureFlags flags_;
  std::size_t row_ = 0;
  bool stopped_ = false;
};

}  // namespace

void WriteDocumentJson(const StructureSet& set, text::JsonWriter& writer) {
  writer.BeginObject();
  writer.Key(kStructures);
  writer.BeginArray();
  for (std::size_t i = 0; i < set.StructureCount(); ++i) WriteStructureJson(set.Entry(i), writer);
  writer.EndArray();
  writer.EndObject();
  writer.Finish();
}

bool ReadDocumentJson(text::TextDecoder& text, StructureSet& set,
                      std::vector<text::JsonProblem>& problems) {
  set.Clear();
  problems.clear();
  std::vector<text::JsonProblem> syntax;
  DocumentReader reader(set, syntax);
  text::TextCursor cursor(text);
  const bool well_formed = text::ReadJson(cursor, reader, syntax, kMostProblemsShown + 1);
  cursor.Drain();
  problems = std::move(syntax);
  if (well_formed) {
    std::vector<text::JsonProblem>& found = reader.problems();
    problems.insert(problems.end(), std::make_move_iterator(found.begin()),
                    std::make_move_iterator(found.end()));
  }
  text::SortByPlace(problems);
  if (problems.size() > kMostProblemsShown + 1) problems.resize(kMostProblemsShown + 1);
  if (problems.empty() && text.problem().empty() && text.read_error().empty()) return true;
  set.Clear();
  return false;
}

bool ReadDocumentPart(DocumentPart part, const std::function<void(text::JsonHandler&)>& feed,
                      StructureSet& set, std::vector<text::JsonProblem>& problems) {
  set.Clear();
  const std::vector<text::JsonProblem> no_syntax_errors;
  DocumentReader reader(set, no_syntax_errors, part);
  feed(reader);
  reader.FinishPart();
  problems = std::move(reader.problems());
  text::SortByPlace(problems);
  if (problems.empty()) return true;
  set.Clear();
  return false;
}

bool DocumentFromJsonText(std::string_view text, StructureSet& set,
                          std::vector<text::JsonProblem>& problems) {
  text::MemoryByteSource source(text.data(), text.size());
  text::TextDecoder decoder(source);
  decoder.Start();
  const bool read = ReadDocumentJson(decoder, set, problems);
  if (!decoder.problem().empty()) problems.assign(1, {text::TextPosition(), "", decoder.problem()});
  return read;
}

}  // namespace brx::tool

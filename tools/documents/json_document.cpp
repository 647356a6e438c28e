#include "tools/documents/json_document.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "model/fields.h"
#include "model/flags.h"
#include "model/structure_data.h"
#include "tools/documents/field_values.h"
#include "tools/text/quoting.h"
#include "tools/text/suggestion.h"

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

template <std::size_t N>
std::vector<std::string_view> Keys(const std::array<Field, N>& fields) {
  std::vector<std::string_view> keys;
  for (const Field& field : fields) keys.push_back(field.name);
  return keys;
}

// Reads the values into the document as they come, noting every mistake it
// meets and going on past it where what follows can still be checked. A
// frame stands for each object and array being read.
class DocumentReader : public text::JsonHandler {
 public:
  // `start`: the place of the value read, kTop for a whole document.
  DocumentReader(StructureSet& set, const std::vector<text::JsonProblem>& syntax,
                 DocumentPart start = DocumentPart::kDocument)
      : set_(set), syntax_(syntax), start_(static_cast<Place>(start)) {}

  std::vector<text::JsonProblem>& problems() { return problems_; }

  void Value(const text::JsonValue& value, const text::JsonPath& path) override {
    if (frames_.empty()) {
      const bool object =
          start_ == Place::kTop || start_ == Place::kStructure || start_ == Place::kTile;
      if (Expect(value, object ? Type::kObject : Type::kArray, object ? "an object" : "an array",
                 path)) {
        Push(start_, value);
      } else {
        Skip(value);
      }
      return;
    }
    Frame& frame = frames_.back();
    switch (frame.place) {
      case Place::kSkip:
        break;
      case Place::kTop:
        if (!std::exchange(frame.structures_next, false)) break;
        if (Expect(value, Type::kArray, "an array of structures", path))
          return Push(Place::kStructures, value);
        break;
      case Place::kStructures:
        if (frame.count++ >= kMaxStructures || stopped_) break;
        entry_ = StructureEntry();
        if (Expect(value, Type::kObject, "an object", path)) return Push(Place::kStructure, value);
        Skip(value);
        return StructureRead();
      case Place::kStructure:
        return StructureValue(frame, value, path);
      case Place::kFlags:
        ++frame.count;
        if (Expect(value, Type::kString, "a flag label", path)) FlagLabel(value, path);
        break;
      case Place::kTiles:
        if (frame.count++ >= kMaxTilesPerStructure) break;
        tile_ = TileRecord();
        if (Expect(value, Type::kObject, "an object", path)) return Push(Place::kTile, value);
        entry_.tiles.push_back(tile_);
        break;
      case Place::kTile:
        return TileValue(frame, value, path);
      case Place::kShape:
        row_ = frame.count++;
        if (Expect(value, Type::kArray, "an array", path)) return Push(Place::kShapeRow, value);
        break;
      case Place::kShapeRow: {
        const std::size_t column = frame.count++;
        std::uint32_t number = 0;
        if (ReadInteger(value, IntKind::U8, path, number) && row_ < TileRecord::kShapeSide &&
            column < TileRecord::kShapeSide) {
          tile_.SetShapeByte(TileRecord::ShapeByteIndex(row_, column),
                             static_cast<std::uint8_t>(number));
        }
        break;
      }
    }
    Skip(value);
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
      } else {
        // A key suggested for a mistyped one is not reported missing as well.
        if (text::ClosestName(key, {kStructures})) frame.accounted = 1;
        Problem(at, path.Text(), text::UnknownName("key", key, {kStructures}));
      }
      return;
    }
    if (frame.place == Place::kStructure) {
      MemberKey(frame, fields::kStructureFields, kStructureKeys, key, at, path);
    } else {
      MemberKey(frame, fields::kTileFields, kTileKeys, key, at, path);
    }
  }

  void EndObject(const text::JsonPath& path) override {
    const Frame frame = frames_.back();
    frames_.pop_back();
    switch (frame.place) {
      case Place::kTop:
        if (!frame.accounted) Problem(frame.at, "", "missing key " + text::Quoted(kStructures));
        break;
      case Place::kStructure:
        Missing(frame, fields::kStructureFields, path);
        set_.AppendStructure(std::move(entry_));
        StructureRead();
        break;
      case Place::kTile:
        Missing(frame, fields::kTileFields, path);
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
          Refuse(frame, path,
                 std::to_string(frame.count) + " structures; a file holds at most " +
                     std::to_string(kMaxStructures));
        }
        break;
      case Place::kFlags:
        entry_.header.SetFlags(flags_.word());
        break;
      case Place::kTiles:
        // The list grew by doubling: up to 1.6 times the memory of its tiles.
        entry_.tiles.shrink_to_fit();
        if (frame.count > kMaxTilesPerStructure) {
          Refuse(frame, path,
                 std::to_string(frame.count) + " tiles; a structure holds at most " +
                     std::to_string(kMaxTilesPerStructure));
        }
        break;
      case Place::kShape:
        ExpectCount(frame, path, "rows");
        break;
      case Place::kShapeRow:
        ExpectCount(frame, path, "values");
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
  // The parts of a document first, in the order of DocumentPart.
  enum class Place {
    kTop,
    kStructures,
    kStructure,
    kFlags,
    kTiles,
    kTile,
    kShape,
    kShapeRow,
    kSkip
  };

  struct Frame {
    Place place;
    text::TextPosition at;
    std::size_t mark = 0;          // problems_.size() when it started
    std::size_t count = 0;         // an array's elements so far
    std::uint32_t accounted = 0;   // an object's fields present or guessed, one bit each
    const Field* field = nullptr;  // the field of the next value; null: not one to read
    bool structures_next = false;  // the top level's next value is the structures
  };

  bool Problem(const text::TextPosition& at, std::string path, std::string message) {
    problems_.push_back({at, std::move(path), std::move(message)});
    return false;
  }

  void Push(Place place, const text::JsonValue& value) {
    Frame frame;
    frame.place = place;
    frame.at = value.at;
    frame.mark = problems_.size();
    frames_.push_back(frame);
  }

  // A container not to be read is still walked through, to its end.
  void Skip(const text::JsonValue& value) {
    if (value.type == Type::kObject || value.type == Type::kArray) Push(Place::kSkip, value);
  }

  bool Expect(const text::JsonValue& value, Type type, const char* expected,
              const text::JsonPath& path) {
    return value.type == type || Unexpected(value, expected, path);
  }

  bool Unexpected(const text::JsonValue& value, const char* expected, const text::JsonPath& path) {
    return Problem(
        value.at, path.Text(),
        std::string("expected ") + expected + ", found " + text::JsonTypeName(value.type));
  }

  // A whole number within the field's range; nothing is cut to fit.
  bool ReadInteger(const text::JsonValue& value, IntKind kind, const text::JsonPath& path,
                   std::uint32_t& number) {
    if (!Expect(value, Type::kNumber, "an integer", path)) return false;
    if (ShortIntegerInRange(value.text, kind, number)) return true;
    std::string problem;
    return IntegerFromText(value.text, kind, number, problem) ||
           Problem(value.at, path.Text(), problem);
  }

  // Drops what was found inside the container for one mistake about all of it.
  void Refuse(const Frame& frame, const text::JsonPath& path, std::string message) {
    problems_.resize(frame.mark);
    Problem(frame.at, path.Text(), std::move(message));
  }

  void ExpectCount(const Frame& frame, const text::JsonPath& path, const char* what) {
    if (frame.count == TileRecord::kShapeSide) return;
    Refuse(frame, path,
           "expected " + std::to_string(TileRecord::kShapeSide) + " " + what + ", found " +
               std::to_string(frame.count));
  }

  template <std::size_t N>
  void MemberKey(Frame& frame, const std::array<Field, N>& fields,
                 const std::vector<std::string_view>& keys, const std::string& key,
                 const text::TextPosition& at, const text::JsonPath& path) {
    if (const Field* field = FindField(fields, key)) {
      frame.accounted |= 1u << (field - fields.data());
      frame.field = field;
      return;
    }
    if (const auto guess = text::ClosestName(key, keys))
      frame.accounted |= 1u << (FindField(fields, *guess) - fields.data());
    Problem(at, path.Text(), text::UnknownName("key", key, keys));
  }

  template <std::size_t N>
  void Missing(const Frame& frame, const std::array<Field, N>& fields, const text::JsonPath& path) {
    for (std::size_t k = 0; k < N; ++k) {
      if (!(frame.accounted >> k & 1u) && !fields[k].may_be_left_out)
        Problem(frame.at, path.Text(), "missing key " + text::Quoted(fields[k].name));
    }
  }

  void StructureValue(Frame& frame, const text::JsonValue& value, const text::JsonPath& path) {
    const Field* field = std::exchange(frame.field, nullptr);
    std::uint32_t number = 0;
    if (!field) {
      Skip(value);
    } else if (field->role == FieldRole::kFlags) {
      flags_ = StructureFlags();
      if (Expect(value, Type::kArray, "an array of flag labels", path)) {
        Push(Place::kFlags, value);
      } else {
        entry_.header.SetFlags(0);
        Skip(value);
      }
    } else if (field->role == FieldRole::kTiles) {
      entry_.tiles.clear();
      if (Expect(value, Type::kArray, "an array of tiles", path)) {
        Push(Place::kTiles, value);
      } else {
        Skip(value);
      }
    } else if (ReadInteger(value, field->kind, path, number)) {
      entry_.header.Put(field->offset, field->kind, number);
    } else {
      Skip(value);
    }
  }

  void TileValue(Frame& frame, const text::JsonValue& value, const text::JsonPath& path) {
    const Field* field = std::exchange(frame.field, nullptr);
    std::uint32_t number = 0;
    if (!field) {
      Skip(value);
    } else if (field->role == FieldRole::kShape) {
      if (Expect(value, Type::kArray, "an array", path)) {
        Push(Place::kShape, value);
      } else {
        Skip(value);
      }
    } else if (ReadInteger(value, field->kind, path, number)) {
      tile_.Put(field->offset, field->kind, number);
    } else {
      Skip(value);
    }
  }

  void FlagLabel(const text::JsonValue& label, const text::JsonPath& path) {
    std::string problem;
    const auto bit = FlagBitOf(label.text, problem);
    if (!bit) {
      Problem(label.at, path.Text(), problem);
    } else if (flags_.Test(*bit)) {
      Problem(label.at, path.Text(), text::Quoted(label.text) + " is listed twice");
    } else {
      flags_.Set(*bit, true);
    }
  }

  // Structures stand one after another in the text, so every mistake before
  // the end of this one has been found: once there are more than can be
  // shown, that is enough.
  void StructureRead() {
    if (syntax_.size() + problems_.size() > kMostProblemsShown) stopped_ = true;
  }

  const std::vector<std::string_view> kStructureKeys = Keys(fields::kStructureFields);
  const std::vector<std::string_view> kTileKeys = Keys(fields::kTileFields);
  StructureSet& set_;
  const std::vector<text::JsonProblem>& syntax_;
  const Place start_;
  std::vector<text::JsonProblem> problems_;
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
  std::stable_sort(
      problems.begin(), problems.end(),
      [](const text::JsonProblem& a, const text::JsonProblem& b) { return a.at < b.at; });
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
  std::stable_sort(
      problems.begin(), problems.end(),
      [](const text::JsonProblem& a, const text::JsonProblem& b) { return a.at < b.at; });
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

#include "tools/documents/patch/patch_path.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "model/structure_data.h"
#include "tools/text/quoting.h"
#include "tools/text/suggestion.h"

namespace brx::tool {
namespace {

constexpr std::string_view kStructures = "structures";
// Indices beyond this are out of every list of a document all the same.
constexpr std::size_t kHugeIndex = 1u << 30;

// One reference token, from `at` to the next '/' or the end, with ~1 and ~0
// read as '/' and '~'; nearly every token has neither, and is the pointer's
// own text. Tokens are a few bytes long: they are scanned by hand.
bool Token(std::string_view pointer, std::size_t at, std::size_t& end, std::string& scratch,
           std::string_view& token, std::string& error) {
  end = at;
  bool escaped = false;
  for (; end < pointer.size() && pointer[end] != '/'; ++end) escaped |= pointer[end] == '~';
  token = pointer.substr(at, end - at);
  if (!escaped) return true;
  scratch.clear();
  for (std::size_t k = 0; k < token.size(); ++k) {
    if (token[k] != '~') {
      scratch += token[k];
      continue;
    }
    const char next = k + 1 < token.size() ? token[k + 1] : '\0';
    if (next != '0' && next != '1') {
      error = "\"~\" must be followed by 0 or 1 in a JSON pointer";
      return false;
    }
    scratch += next == '0' ? '~' : '/';
    ++k;
  }
  token = scratch;
  return true;
}

// An array index as RFC 6901 writes it: 0, or digits without a leading 0;
// "-" for the place after the last element.
bool Index(std::string_view token, std::string_view list, std::size_t& index, bool& end,
           std::string& error) {
  end = token == "-";
  if (end) return true;
  index = 0;
  bool digits = !token.empty() && (token.size() == 1 || token[0] != '0');
  for (std::size_t k = 0; digits && k < token.size(); ++k) {
    digits = token[k] >= '0' && token[k] <= '9';
    index = index * 10 + static_cast<std::size_t>(token[k] - '0');
  }
  if (!digits) {
    error = "expected an index into " + std::string(list) + " (0, 1, ... or -), found " +
            text::Quoted(token);
    return false;
  }
  if (token.size() > 9) index = kHugeIndex;
  return true;
}

// A step into a list: which list, as a message names it, where the path
// keeps the index, and what the step names.
struct ListStep {
  PatchNode list;
  const char* words;
  std::size_t PatchPath::*index;
  PatchNode element;
};

const ListStep& ListStepFrom(PatchNode list) {
  static constexpr ListStep kSteps[] = {
      {PatchNode::kStructures, "the structures", &PatchPath::structure, PatchNode::kStructure},
      {PatchNode::kFlags, "Flags", &PatchPath::index, PatchNode::kLabel},
      {PatchNode::kTiles, "the tiles", &PatchPath::tile, PatchNode::kTile},
      {PatchNode::kShape, "the shape's rows", &PatchPath::row, PatchNode::kShapeRow},
      {PatchNode::kShapeRow, "the row", &PatchPath::index, PatchNode::kShapeCell},
  };
  for (const ListStep& step : kSteps) {
    if (step.list == list) return step;
  }
  return kSteps[0];
}

// A step to a member of a structure or a tile: a list (Flags, Tiles, Shape)
// or else an integer field, a `plain` node.
template <std::size_t N>
bool FieldStep(const std::array<Field, N>& table, const std::vector<std::string_view>& names,
               PatchNode plain, std::string_view token, PatchPath& path, std::string& error) {
  const Field* field = FindField(table, token);
  if (!field) {
    error = text::UnknownName("key", token, names);
    return false;
  }
  switch (field->role) {
    case FieldRole::kFlags:
      path.node = PatchNode::kFlags;
      return true;
    case FieldRole::kTiles:
      path.node = PatchNode::kTiles;
      return true;
    case FieldRole::kShape:
      path.node = PatchNode::kShape;
      return true;
    default:
      break;
  }
  path.node = plain;
  path.field = field;
  return true;
}

std::string Escaped(std::string_view name) {
  std::string out;
  for (const char c : name) {
    if (c == '~') {
      out += "~0";
    } else if (c == '/') {
      out += "~1";
    } else {
      out += c;
    }
  }
  return out;
}

// Takes the step of `pointer` that starts at `at` (just past a '/') into
// `path`; `slash` is where it ends: the next '/', or the pointer's end.
bool Step(std::string_view pointer, std::size_t at, std::size_t& slash, PatchPath& path,
          std::string& scratch, std::string& error) {
  static const std::vector<std::string_view> kStructureNames = FieldNames(fields::kStructureFields);
  static const std::vector<std::string_view> kTileNames = FieldNames(fields::kTileFields);
  std::string_view token;
  if (!Token(pointer, at, slash, scratch, token, error)) return false;
  bool end = false;
  switch (path.node) {
    case PatchNode::kDocument:
      if (token != kStructures) {
        error = text::UnknownName("key", token, {kStructures});
        return false;
      }
      path.node = PatchNode::kStructures;
      break;
    case PatchNode::kStructure:
      if (!FieldStep(fields::kStructureFields, kStructureNames, PatchNode::kHeaderField, token,
                     path, error))
        return false;
      break;
    case PatchNode::kTile:
      if (!FieldStep(fields::kTileFields, kTileNames, PatchNode::kTileField, token, path, error))
        return false;
      break;
    case PatchNode::kHeaderField:
    case PatchNode::kTileField:
    case PatchNode::kLabel:
    case PatchNode::kShapeCell:
      error = text::Quoted(pointer.substr(0, at - 1)) + " is a single value; " +
              text::Quoted(token) + " cannot lie within it";
      return false;
    default: {
      const ListStep& step = ListStepFrom(path.node);
      if (!Index(token, step.words, path.*step.index, end, error)) return false;
      path.node = step.element;
      break;
    }
  }
  path.end = end;
  if (end && slash < pointer.size()) {
    error = "\"-\" names no element yet; nothing can lie within it";
    return false;
  }
  return true;
}

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first byte of a word is its lowest");

// How many bytes `a` and `b` have in common from their start, found eight
// at a time: pointers of one record share most of theirs.
std::size_t CommonPrefix(std::string_view a, std::string_view b) {
  const std::size_t most = std::min(a.size(), b.size());
  std::size_t at = 0;
  for (; most - at >= 8; at += 8) {
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, a.data() + at, sizeof x);
    std::memcpy(&y, b.data() + at, sizeof y);
    if (x != y) return at + static_cast<std::size_t>(__builtin_ctzll(x ^ y)) / 8;
  }
  while (at < most && a[at] == b[at]) ++at;
  return at;
}

}  // namespace

bool operator==(const PatchPath& a, const PatchPath& b) {
  return a.node == b.node && a.structure == b.structure && a.tile == b.tile && a.row == b.row &&
         a.index == b.index && a.end == b.end && a.field == b.field;
}

bool IsListElement(PatchNode node) {
  return node == PatchNode::kStructure || node == PatchNode::kTile || node == PatchNode::kLabel ||
         node == PatchNode::kShapeRow || node == PatchNode::kShapeCell;
}

bool PatchPathReader::Read(std::string_view pointer, PatchPath& path, std::string& error) {
  path = PatchPath();
  if (pointer.empty()) return true;
  if (pointer.front() != '/') {
    error = "a JSON pointer starts with \"/\" (or is empty, for the whole document); found " +
            text::Quoted(pointer);
    return false;
  }
  const std::size_t common = CommonPrefix(pointer, last_);
  // A test and its change name the same place.
  if (!steps_.empty() && common == pointer.size() && common == last_.size()) {
    path = steps_.back().path;
    return true;
  }
  // The steps this pointer shares with the last one: those that end within
  // the text both have in common, where this one too ends or goes on. Each
  // step ends further on than the one before, so the last such step is
  // looked for from the end, and those before it are shared as well.
  std::size_t shared = steps_.size();
  for (; shared > 0; --shared) {
    const Done& step = steps_[shared - 1];
    if (!step.path.end && step.end <= common &&
        (step.end == pointer.size() || pointer[step.end] == '/'))
      break;
  }
  steps_.resize(shared);
  std::size_t at = 1;
  if (shared) {
    path = steps_.back().path;
    at = steps_.back().end + 1;
  }
  // Only what differs from the last pointer is copied.
  last_.resize(pointer.size());
  std::memcpy(last_.data() + common, pointer.data() + common, pointer.size() - common);
  while (at <= pointer.size()) {
    std::size_t slash = 0;
    if (!Step(pointer, at, slash, path, scratch_, error)) {
      // Taken apart in part only: nothing of it is kept for the next one.
      last_.clear();
      steps_.clear();
      return false;
    }
    steps_.push_back({slash, path});
    at = slash + 1;
  }
  return true;
}

bool ParsePatchPath(std::string_view pointer, PatchPath& path, std::string& error) {
  return PatchPathReader().Read(pointer, path, error);
}

std::string PatchPointer(const PatchPath& path) {
  // Written for every operation of a patch: appended into one string.
  std::string pointer;
  const auto name = [&pointer](std::string_view step) {
    pointer += '/';
    pointer += step;
  };
  const auto number = [&pointer](std::size_t value) {
    char digits[24];
    const auto written = std::to_chars(std::begin(digits), std::end(digits), value);
    pointer += '/';
    pointer.append(digits, written.ptr);
  };
  // The last step may be "-"; the steps before it never are.
  const auto index = [&](std::size_t value) { path.end ? name("-") : number(value); };
  if (path.node == PatchNode::kDocument) return pointer;
  name(kStructures);
  if (path.node == PatchNode::kStructures) return pointer;
  if (path.node == PatchNode::kStructure) {
    index(path.structure);
    return pointer;
  }
  number(path.structure);
  switch (path.node) {
    case PatchNode::kHeaderField:
      name(Escaped(path.field->name));
      return pointer;
    case PatchNode::kFlags:
    case PatchNode::kLabel:
      name(fields::kFlags.name);
      if (path.node == PatchNode::kLabel) index(path.index);
      return pointer;
    default:
      break;
  }
  name(fields::kTiles.name);
  if (path.node == PatchNode::kTiles) return pointer;
  if (path.node == PatchNode::kTile) {
    index(path.tile);
    return pointer;
  }
  number(path.tile);
  if (path.node == PatchNode::kTileField) {
    name(Escaped(path.field->name));
    return pointer;
  }
  name(fields::kShape.name);
  if (path.node == PatchNode::kShapeRow) {
    index(path.row);
  } else if (path.node == PatchNode::kShapeCell) {
    number(path.row);
    index(path.index);
  }
  return pointer;
}

std::string PatchFieldName(const PatchPath& path) {
  const std::string shape(fields::kShape.name);
  switch (path.node) {
    case PatchNode::kHeaderField:
    case PatchNode::kTileField:
      return std::string(path.field->name);
    case PatchNode::kFlags:
      return std::string(fields::kFlags.name);
    case PatchNode::kLabel:
      return std::string(fields::kFlags.name) + "[" + std::to_string(path.index) + "]";
    case PatchNode::kShape:
      return shape;
    case PatchNode::kShapeRow:
      return shape + "[" + std::to_string(path.row) + "]";
    case PatchNode::kShapeCell:
      return ShapeCellName(path.row, path.index);
    default:
      break;
  }
  return "";
}

}  // namespace brx::tool

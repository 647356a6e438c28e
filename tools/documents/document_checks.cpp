#include "tools/documents/document_checks.h"

#include <utility>

#include "model/structure_data.h"
#include "tools/text/quoting.h"
#include "tools/text/suggestion.h"

namespace brx::tool {

bool DocumentChecks::Unexpected(const text::JsonValueView& value, const char* expected,
                                const text::JsonPath& path) {
  return Problem(value.at, path.Text(),
                 std::string("expected ") + expected + ", found " + text::JsonTypeName(value.type));
}

bool DocumentChecks::OtherInteger(const text::JsonValueView& value, IntKind kind,
                                  const text::JsonPath& path, std::uint32_t& number) {
  if (!Expect(value, Type::kNumber, "an integer", path)) return false;
  std::string problem;
  return IntegerFromText(value.text, kind, number, problem) ||
         Problem(value.at, path.Text(), problem);
}

void DocumentChecks::FlagLabel(const text::JsonValueView& label, const text::JsonPath& path,
                               StructureFlags& flags) {
  std::string problem;
  const auto bit = FlagBitOf(label.text, problem);
  if (!bit) {
    Problem(label.at, path.Text(), problem);
  } else if (flags.Test(*bit)) {
    Problem(label.at, path.Text(), text::Quoted(label.text) + " is listed twice");
  } else {
    flags.Set(*bit, true);
  }
}

void DocumentChecks::Refuse(std::size_t mark, const text::TextPosition& at,
                            const text::JsonPath& path, std::string message) {
  problems_.items().resize(mark);
  Problem(at, path.Text(), std::move(message));
}

void DocumentChecks::ExpectShapeSide(std::size_t count, std::size_t mark,
                                     const text::TextPosition& at, const text::JsonPath& path,
                                     const char* what) {
  if (count == TileRecord::kShapeSide) return;
  Refuse(mark, at, path,
         "expected " + std::to_string(TileRecord::kShapeSide) + " " + what + ", found " +
             std::to_string(count));
}

std::optional<std::string_view> DocumentChecks::UnknownKey(
    const std::vector<std::string_view>& names, std::string_view key, const text::TextPosition& at,
    const text::JsonPath& path) {
  const auto guess = text::ClosestName(key, names);
  Problem(at, path.Text(), text::UnknownName("key", key, names));
  return guess;
}

void DocumentChecks::MissingKey(std::string_view name, const text::TextPosition& at,
                                const text::JsonPath& path) {
  Problem(at, path.Text(), "missing key " + text::Quoted(name));
}

}  // namespace brx::tool

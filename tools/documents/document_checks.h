// The checks a document's values from JSON go through, and the mistakes they
// find, kept in the order they are found: a value of the wrong type or out
// of its field's range, an unknown or repeated flag label, an unknown or
// missing key, a list of the wrong length.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/fields.h"
#include "model/flags.h"
#include "tools/documents/field_values.h"
#include "tools/text/json_reader.h"

namespace brx::tool {

class DocumentChecks {
 public:
  using Type = text::JsonValue::Type;

  // Of the problems, the first `most_problems` + 1 in the text are told.
  explicit DocumentChecks(std::size_t most_problems) : problems_(most_problems + 1) {}

  std::vector<text::JsonProblem>& problems() { return problems_.items(); }
  std::size_t count() const { return problems_.items().size(); }

  // Notes a mistake; false, for a check to return.
  bool Problem(const text::TextPosition& at, std::string path, std::string message) {
    problems_.Add({at, std::move(path), std::move(message)});
    return false;
  }

  bool Expect(const text::JsonValueView& value, Type type, const char* expected,
              const text::JsonPath& path) {
    return value.type == type || Unexpected(value, expected, path);
  }

  // A whole number within the range of `kind`; nothing is cut to fit.
  bool ReadInteger(const text::JsonValueView& value, IntKind kind, const text::JsonPath& path,
                   std::uint32_t& number) {
    if (value.type == Type::kNumber && ShortIntegerInRange(value.text, kind, number)) return true;
    return OtherInteger(value, kind, path, number);
  }

  // Sets the label's bit in `flags`, or notes why it cannot.
  void FlagLabel(const text::JsonValueView& label, const text::JsonPath& path,
                 StructureFlags& flags);

  // Drops what was noted since `mark` (a count) for one mistake about all
  // of a container, which starts at `at`.
  void Refuse(std::size_t mark, const text::TextPosition& at, const text::JsonPath& path,
              std::string message);

  // A shape's rows, or a row's values: kShapeSide of them.
  void ExpectShapeSide(std::size_t count, std::size_t mark, const text::TextPosition& at,
                       const text::JsonPath& path, const char* what);

  // The field of `key` in `fields`, marked in `accounted` (one bit a field),
  // or null, with the key noted as unknown. `next` is the field after the
  // last one found: keys come in the table's order nearly always, so it is
  // tried first, and then moved on.
  template <std::size_t N>
  const Field* MemberKey(const std::array<Field, N>& fields, std::string_view key,
                         std::size_t& next, std::uint32_t& accounted, const text::TextPosition& at,
                         const text::JsonPath& path) {
    const Field* field =
        next < N && fields[next].name == key ? &fields[next] : FindField(fields, key);
    if (field) {
      next = static_cast<std::size_t>(field - fields.data()) + 1;
      accounted |= 1u << (field - fields.data());
      return field;
    }
    if (const auto guess = UnknownKey(FieldNames(fields), key, at, path))
      accounted |= 1u << (FindField(fields, *guess) - fields.data());
    return nullptr;
  }

  // Notes each field of `fields` neither in `accounted` nor one that may be
  // left out, at the object's start `at`.
  template <std::size_t N>
  void Missing(const std::array<Field, N>& fields, std::uint32_t accounted,
               const text::TextPosition& at, const text::JsonPath& path) {
    for (std::size_t k = 0; k < N; ++k) {
      if (!(accounted >> k & 1u) && !fields[k].may_be_left_out)
        MissingKey(fields[k].name, at, path);
    }
  }

  // Notes that `key` is none of `names`; the name close to it, if any, which
  // is then not reported missing as well.
  std::optional<std::string_view> UnknownKey(const std::vector<std::string_view>& names,
                                             std::string_view key, const text::TextPosition& at,
                                             const text::JsonPath& path);
  void MissingKey(std::string_view name, const text::TextPosition& at, const text::JsonPath& path);

 private:
  bool Unexpected(const text::JsonValueView& value, const char* expected,
                  const text::JsonPath& path);
  bool OtherInteger(const text::JsonValueView& value, IntKind kind, const text::JsonPath& path,
                    std::uint32_t& number);

  text::ToldProblems problems_;
};

}  // namespace brx::tool

#include "tools/documents/field_values.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/fields.h"
#include "model/flags.h"
#include "model/number_text.h"
#include "tools/text/quoting.h"
#include "tools/text/suggestion.h"

namespace brx::tool {

bool IntegerFromText(std::string_view text, IntKind kind, std::uint32_t& value,
                     std::string& error) {
  if (ShortIntegerInRange(text, kind, value)) return true;
  switch (FieldNumber(text, kind, value)) {
    case NumberProblem::kNone:
      return true;
    case NumberProblem::kNotAnInteger:
      error = text::Excerpt(text) + " is not an integer";
      return false;
    case NumberProblem::kOutOfRange: {
      const IntRange range = RangeOf(kind);
      error = text::Excerpt(text) + " is outside " + std::to_string(range.min) + ".." +
              std::to_string(range.max);
      return false;
    }
    case NumberProblem::kNotANumber:
      break;
  }
  error = text::Quoted(text) + " is not a number";
  return false;
}

std::optional<std::size_t> FlagBitOf(std::string_view label, std::string& error) {
  if (const auto bit = StructureFlags::BitOf(label)) return bit;
  const auto& labels = StructureFlags::Labels();
  error =
      text::UnknownName("flag", label, std::vector<std::string_view>(labels.begin(), labels.end()));
  return std::nullopt;
}

}  // namespace brx::tool

#include "tools/brxtool/field_values.h"

#include <vector>

#include "model/fields.h"
#include "model/flags.h"
#include "model/number_text.h"
#include "tools/brxtool/quoting.h"
#include "tools/brxtool/suggestion.h"

namespace brx::tool {
bool IntegerFromText(const std::string& text, IntKind kind, std::uint32_t& value,
                     std::string& problem) {
  switch (FieldNumber(text, kind, value)) {
    case NumberProblem::kNone:
      return true;
    case NumberProblem::kNotAnInteger:
      problem = Excerpt(text) + " is not an integer";
      return false;
    case NumberProblem::kOutOfRange: {
      const IntRange range = RangeOf(kind);
      problem = Excerpt(text) + " is outside " + std::to_string(range.min) + ".." +
                std::to_string(range.max);
      return false;
    }
    case NumberProblem::kNotANumber:
      break;
  }
  problem = Quoted(text) + " is not a number";
  return false;
}

std::optional<std::size_t> FlagBitOf(const std::string& label, std::string& problem) {
  if (const auto bit = StructureFlags::BitOf(label)) return bit;
  const auto& labels = StructureFlags::Labels();
  problem = UnknownName("flag", label, std::vector<std::string_view>(labels.begin(), labels.end()));
  return std::nullopt;
}

}  // namespace brx::tool

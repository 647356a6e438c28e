#include "tools/brxtool/field_values.h"

#include <vector>

#include "model/flags.h"
#include "tools/brxtool/json_text.h"
#include "tools/brxtool/record_fields.h"
#include "tools/brxtool/suggestion.h"

namespace brx::tool {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Skips a run of digits; false when there is none.
bool SkipDigits(const std::string& text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at > start;
}

// A decimal number with a fraction or an exponent, as JSON writes them.
bool IsFractionalNumber(const std::string& text) {
  std::size_t at = text.rfind('-', 0) == 0 ? 1 : 0;
  if (!SkipDigits(text, at)) return false;
  if (at < text.size() && text[at] == '.' && !SkipDigits(text, ++at)) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (!SkipDigits(text, at)) return false;
  }
  return at == text.size();
}

}  // namespace

bool IntegerFromText(const std::string& text, IntKind kind, std::uint32_t& value,
                     std::string& problem) {
  const bool negative = text.rfind('-', 0) == 0;
  std::size_t at = negative ? 1 : 0;
  if (!SkipDigits(text, at) || at != text.size()) {
    problem =
        IsFractionalNumber(text) ? text + " is not an integer" : Quoted(text) + " is not a number";
    return false;
  }
  // Any magnitude beyond 32 bits is out of every range; stop counting there.
  constexpr long long kBeyondAnyRange = 1LL << 33;
  long long magnitude = 0;
  for (std::size_t k = negative ? 1 : 0; k < text.size() && magnitude < kBeyondAnyRange; ++k)
    magnitude = magnitude * 10 + (text[k] - '0');
  const long long number = negative ? -magnitude : magnitude;
  const IntRange range = RangeOf(kind);
  if (number < range.min || number > range.max) {
    problem = text + " is outside " + std::to_string(range.min) + ".." + std::to_string(range.max);
    return false;
  }
  value = static_cast<std::uint32_t>(number);
  return true;
}

std::optional<std::size_t> FlagBitOf(const std::string& label, std::string& problem) {
  if (const auto bit = StructureFlags::BitOf(label)) return bit;
  const auto& labels = StructureFlags::Labels();
  problem = UnknownName("flag", label, std::vector<std::string_view>(labels.begin(), labels.end()));
  return std::nullopt;
}

}  // namespace brx::tool

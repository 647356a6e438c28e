#include "model/number_text.h"

#include "model/fields.h"

namespace brx {
namespace {

// A run of decimal digits with an optional minus sign before it, and nothing else.
struct Decimal {
  bool negative = false;
  // Stops growing past 2^33, beyond the range of every field and of 32 bits.
  std::uint64_t magnitude = 0;
};

constexpr std::uint64_t kBeyondAnyRange = std::uint64_t{1} << 33;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::optional<Decimal> ReadDecimal(std::string_view text) {
  Decimal number;
  number.negative = !text.empty() && text.front() == '-';
  const std::string_view digits = text.substr(number.negative ? 1 : 0);
  if (digits.empty()) return std::nullopt;
  for (char c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    if (number.magnitude < kBeyondAnyRange)
      number.magnitude = number.magnitude * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return number;
}

// Skips a run of digits; false when there is none.
bool SkipDigits(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at > start;
}

// A decimal number with a fraction or an exponent, as JSON writes them.
bool IsFractionalNumber(std::string_view text) {
  std::size_t at = !text.empty() && text.front() == '-' ? 1 : 0;
  if (!SkipDigits(text, at)) return false;
  if (at < text.size() && text[at] == '.' && !SkipDigits(text, ++at)) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (!SkipDigits(text, at)) return false;
  }
  return at == text.size();
}

std::uint32_t Bits(const Decimal& number) {
  return static_cast<std::uint32_t>(number.negative ? std::uint64_t{0} - number.magnitude
                                                    : number.magnitude);
}

}  // namespace

std::optional<std::uint32_t> FormNumber(std::string_view text, IntKind kind) {
  constexpr std::string_view kBlanks = " \t";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t end = text.find_last_not_of(kBlanks) + 1;
  const auto number = ReadDecimal(text.substr(first, end - first));
  const bool is_signed = IsSignedKind(kind);
  if (!number || (number->negative && !is_signed)) return std::nullopt;
  const std::uint64_t limit = number->negative ? 0x80000000u
                              : is_signed      ? 0x7FFFFFFFu
                                               : 0xFFFFFFFFu;
  if (number->magnitude > limit) return std::nullopt;
  return Bits(*number);
}

NumberProblem FieldNumber(std::string_view text, IntKind kind, std::uint32_t& bits) {
  const auto number = ReadDecimal(text);
  if (!number)
    return IsFractionalNumber(text) ? NumberProblem::kNotAnInteger : NumberProblem::kNotANumber;
  const IntRange range = RangeOf(kind);
  const std::int64_t value = number->negative ? -static_cast<std::int64_t>(number->magnitude)
                                              : static_cast<std::int64_t>(number->magnitude);
  if (value < range.min || value > range.max) return NumberProblem::kOutOfRange;
  bits = Bits(*number);
  return NumberProblem::kNone;
}

}  // namespace brx

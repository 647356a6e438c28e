// Field values as brxtool takes them, from JSON and from the command line
// alike, checked the same way in both: a number outside its field's range is
// refused, never cut to fit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/fields.h"
#include "model/records.h"

namespace brx::tool {

// A whole number within the range of `kind`, from its decimal text: a JSON
// number as written, or a value given on the command line. The result holds
// the value's two's complement bits. On failure `error` says why, e.g.
// "300 is outside 0..255" or "1.5 is not an integer".
bool IntegerFromText(std::string_view text, IntKind kind, std::uint32_t& value, std::string& error);

// The same for the few digits within range that nearly every value is, read
// straight where it is called: false for anything else, which
// IntegerFromText then reads and names.
inline bool ShortIntegerInRange(std::string_view text, IntKind kind, std::uint32_t& value) {
  const bool negative = !text.empty() && text.front() == '-';
  const std::string_view digits = text.substr(negative ? 1 : 0);
  if (digits.empty() || digits.size() > 9) return false;
  std::int64_t magnitude = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + (c - '0');
  }
  const std::int64_t number = negative ? -magnitude : magnitude;
  const IntRange range = RangeOf(kind);
  if (number < range.min || number > range.max) return false;
  value = static_cast<std::uint32_t>(number);
  return true;
}

// The bit of a StructureFlags label (labels are case-sensitive). On failure
// `error` is `unknown flag "Dor"; did you mean "Door"?`.
std::optional<std::size_t> FlagBitOf(std::string_view label, std::string& error);

}  // namespace brx::tool

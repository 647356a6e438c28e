// Field values as brxtool takes them, from JSON and from the command line
// alike, checked the same way in both: a number outside its field's range is
// refused, never cut to fit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "model/records.h"

namespace brx::tool {

// A whole number within the range of `kind`, from its decimal text: a JSON
// number as written, or a value given on the command line. The result holds
// the value's two's complement bits. On failure `error` says why, e.g.
// "300 is outside 0..255" or "1.5 is not an integer".
bool IntegerFromText(const std::string& text, IntKind kind, std::uint32_t& value,
                     std::string& error);

// The bit of a StructureFlags label (labels are case-sensitive). On failure
// `error` is `unknown flag "Dor"; did you mean "Door"?`.
std::optional<std::size_t> FlagBitOf(const std::string& label, std::string& error);

}  // namespace brx::tool

// Whole numbers typed by people into a field, read by one reader for the
// editor's forms and for brxtool. Both read decimal digits with an optional
// minus sign the same way; they differ, on purpose, in three things:
//
//                      editor's form                 brxtool (JSON, set, CSV)
//  blanks around it    allowed (spaces and tabs)     not allowed
//  minus sign          in signed fields only         anywhere, then range-checked
//  too wide a number   cut to the field's width;     refused, with the
//                      only a number beyond the      field's range
//                      32-bit range of the field's
//                      signedness is refused
//
// The form cuts because its edit boxes always have: a user who types 300
// into Armour gets 44, as in every version of the editor. brxtool refuses
// because a file built from text must hold what the text says.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "model/records.h"

namespace brx {

// The editor's rule. The number's two's complement bits, for the field to
// cut to its width; nothing when the text is not a number it can take.
std::optional<std::uint32_t> FormNumber(std::string_view text, IntKind kind);

// brxtool's rule: what is wrong with the text as a value of a field of `kind`.
enum class NumberProblem {
  kNone,
  kNotANumber,    // e.g. "abc", "", " 5", "+5", "1."
  kNotAnInteger,  // a number with a fraction or an exponent, as JSON writes them: "1.5", "1e3"
  kOutOfRange,    // a whole number outside the field's range
};

// On kNone `bits` holds the value's two's complement bits.
NumberProblem FieldNumber(std::string_view text, IntKind kind, std::uint32_t& bits);

}  // namespace brx

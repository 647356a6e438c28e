// Where a command's input comes from: a named file, or standard input when
// the name is "-".
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace brx::tool {

// The operand that stands for standard input (and, for `build`, output).
inline const std::string kStandardStream = "-";

// How messages name the operand: "<stdin>" for "-", else the name as given.
std::string DisplayName(const std::string& operand);

// Standard input can be read once: false when "-" is among the operands
// more than once.
bool StandardInputAtMostOnce(const std::vector<std::string>& operands);

// Reads the file's first `limit` bytes (all of it when it is shorter), or as
// much of `in` when the operand is "-". On failure `error` says why.
bool ReadInput(const std::string& operand, std::istream& in, std::size_t limit,
               std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace brx::tool

// Where a command's input comes from: a named file, or standard input when
// the name is "-". Either is read front to back, a piece at a time.
#pragma once

#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "model/file_system.h"

namespace brx::tool {

// The operand that stands for standard input (and, for `build`, output).
inline const std::string kStandardStream = "-";

// How messages name the operand: "<stdin>" for "-", else the name as given.
std::string DisplayName(const std::string& operand);

// Standard input can be read once: false when "-" is among the operands
// more than once.
bool StandardInputAtMostOnce(const std::vector<std::string>& operands);

// The file, or `in` when the operand is "-". Null on failure, and `error`
// says why ("cannot open the file: ...").
std::unique_ptr<InputFile> OpenInput(const std::string& operand, std::istream& in,
                                     std::string& error);

}  // namespace brx::tool

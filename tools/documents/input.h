// Where a command's input comes from: a named file, or standard input when
// the name is "-". Either is read front to back, a piece at a time. The
// files come from the file system the program hands in, never from one
// reached for here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_system.h"
#include "tools/text/byte_source.h"

namespace brx::tool {

// What a run reads from: standard input for "-", the file system for a name.
struct InputSources {
  std::istream& standard_input;
  FileSystem& files;
};

// The operand that stands for standard input (and, for `build`, output).
inline const std::string kStandardStream = "-";

// How messages name the operand: "<stdin>" for "-", else the name as given.
std::string DisplayName(const std::string& operand);

// Standard input can be read once: false when "-" is among the operands
// more than once.
bool StandardInputAtMostOnce(const std::vector<std::string>& operands);

// The file, or `in` when the operand is "-". Null on failure, and `error`
// says why ("cannot open the file: ...").
std::unique_ptr<InputFile> OpenInput(const std::string& operand, const InputSources& inputs,
                                     std::string& error);

// A file, read as text.
class InputText : public text::ByteSource {
 public:
  explicit InputText(InputFile& file) : file_(file) {}
  bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) override {
    return file_.Read(data, size, got, error);
  }

 private:
  InputFile& file_;
};

// False when text input starts as a structure data file does: then `error`
// tells the user it is not `expected` ("JSON", "a table") and that the
// operands may have been swapped.
bool IsNotStructureData(const std::vector<std::uint8_t>& first_bytes, std::string_view expected,
                        std::string& error);

}  // namespace brx::tool

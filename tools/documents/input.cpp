#include "tools/documents/input.h"

#include <algorithm>

#include "model/records.h"

namespace brx::tool {
namespace {

class StreamInput : public InputFile {
 public:
  explicit StreamInput(std::istream& in) : in_(in) {}

  bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) override {
    got = 0;
    if (!in_.bad() && in_) {
      in_.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(size));
      got = static_cast<std::size_t>(in_.gcount());
    }
    if (!in_.bad()) return true;
    error = "cannot read the standard input";
    return false;
  }

 private:
  std::istream& in_;
};

}  // namespace

std::string DisplayName(const std::string& operand) {
  return operand == kStandardStream ? "<stdin>" : operand;
}

bool StandardInputAtMostOnce(const std::vector<std::string>& operands) {
  return std::count(operands.begin(), operands.end(), kStandardStream) <= 1;
}

std::unique_ptr<InputFile> OpenInput(const std::string& operand, const InputSources& inputs,
                                     std::string& error) {
  if (operand == kStandardStream) return std::make_unique<StreamInput>(inputs.standard_input);
  auto file = inputs.files.OpenForReading(operand, error);
  if (!file) error = "cannot open the file: " + error;
  return file;
}

bool IsNotStructureData(const std::vector<std::uint8_t>& first_bytes, std::string_view expected,
                        std::string& error) {
  const auto& magic = FileHeader::kMagicBytes;
  if (first_bytes.size() < magic.size() ||
      !std::equal(magic.begin(), magic.end(), first_bytes.begin()))
    return true;
  error = "this is a structure data file (it starts with \"" +
          std::string(magic.begin(), magic.end()) + "\"), not " + std::string(expected) +
          "; were the files swapped?";
  return false;
}

}  // namespace brx::tool

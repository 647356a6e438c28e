#include "tools/brxtool/input.h"

#include <algorithm>

#include "os/system_file_system.h"

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

std::unique_ptr<InputFile> OpenInput(const std::string& operand, std::istream& in,
                                     std::string& error) {
  if (operand == kStandardStream) return std::make_unique<StreamInput>(in);
  auto file = SystemFileSystem().OpenForReading(operand, error);
  if (!file) error = "cannot open the file: " + error;
  return file;
}

}  // namespace brx::tool

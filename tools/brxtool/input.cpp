#include "tools/brxtool/input.h"

#include <algorithm>

#include "os/system_file_system.h"

namespace brx::tool {

std::string DisplayName(const std::string& operand) {
  return operand == kStandardStream ? "<stdin>" : operand;
}

bool StandardInputAtMostOnce(const std::vector<std::string>& operands) {
  return std::count(operands.begin(), operands.end(), kStandardStream) <= 1;
}

bool ReadInput(const std::string& operand, std::istream& in, std::size_t limit,
               std::vector<std::uint8_t>& bytes, std::string& error) {
  if (operand != kStandardStream) {
    if (SystemFileSystem().ReadFile(operand, limit, bytes, error)) return true;
    error = "cannot open the file: " + error;
    return false;
  }
  bytes.clear();
  constexpr std::size_t kChunk = 1 << 16;
  while (bytes.size() < limit && in) {
    const std::size_t filled = bytes.size();
    bytes.resize(filled + std::min(kChunk, limit - filled));
    in.read(reinterpret_cast<char*>(bytes.data() + filled),
            static_cast<std::streamsize>(bytes.size() - filled));
    bytes.resize(filled + static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) {
    error = "cannot read the standard input";
    return false;
  }
  return true;
}

}  // namespace brx::tool

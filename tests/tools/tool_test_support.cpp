#include "tests/tools/tool_test_support.h"

#include <stdexcept>

#include "model/structure_data.h"
#include "tests/support/temp_folder.h"

namespace brx::testing {

std::string SampleJsonPath() {
  return std::string(BRX_TOOL_TEST_DATA) + "/sample.json";
}

std::string SampleJsonText() {
  return Text(ReadBytes(SampleJsonPath()));
}

std::vector<std::uint8_t> Serialized(const StructureSet& set) {
  std::vector<std::uint8_t> bytes;
  std::string reason;
  if (!SerializeStructureData(set, bytes, &reason)) throw std::runtime_error(reason);
  return bytes;
}

StructureSet Parsed(const std::vector<std::uint8_t>& bytes) {
  StructureSet set;
  std::string reason;
  if (!ParseStructureData(bytes.data(), bytes.size(), set, &reason))
    throw std::runtime_error(reason);
  return set;
}

std::string Text(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace brx::testing

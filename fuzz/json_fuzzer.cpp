// Untrusted JSON text into brxtool's build path. Besides never crashing,
// leaking or hanging, an accepted text must survive the trip a user makes
// with it: the built file, dumped back to JSON and built again, gives the same
// bytes, and that dump converts back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/structure_data.h"
#include "tools/brxtool/json_document.h"

namespace {

std::vector<std::uint8_t> Built(const brx::StructureSet& set) {
  std::vector<std::uint8_t> bytes;
  if (!brx::SerializeStructureData(set, bytes)) std::abort();
  return bytes;
}

// What `brxtool dump --json` prints for a file.
std::string Dumped(const std::vector<std::uint8_t>& bytes) {
  brx::StructureSet set;
  if (!brx::ParseStructureData(bytes.data(), bytes.size(), set)) std::abort();
  return brx::tool::FormatJson(brx::tool::DocumentToJson(set));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  brx::StructureSet set;
  std::string error;
  if (!brx::tool::DocumentFromJsonText(text, set, error)) {
    if (error.empty() || set.StructureCount() != 0) std::abort();
    return 0;
  }
  const std::vector<std::uint8_t> built = Built(set);
  const std::string dump = Dumped(built);

  brx::StructureSet again;
  if (!brx::tool::DocumentFromJsonText(dump, again, error)) std::abort();
  if (Built(again) != built) std::abort();
  // The dump states each StructureNumber as its position, so it is a text
  // that must come back from the document unchanged.
  if (brx::tool::FormatJson(brx::tool::DocumentToJson(again)) != dump) std::abort();
  return 0;
}

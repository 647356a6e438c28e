// Untrusted JSON text into brxtool's build path, from the bytes of the file
// (any encoding) on. Besides never crashing, leaking or hanging, a refused
// text must say where and why, and an accepted text must survive the trip a
// user makes with it: the built file, dumped back to JSON, says what the
// text said, and building that dump again gives the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/decoded_text.h"
#include "model/flags.h"
#include "model/structure_data.h"
#include "tools/documents/json_document.h"

namespace {

std::vector<std::uint8_t> Built(const brx::StructureSet& set) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!brx::SerializeStructureData(set, bytes, error)) std::abort();
  return bytes;
}

std::string Json(const brx::StructureSet& set) {
  std::ostringstream out;
  brx::text::JsonWriter writer(out);
  brx::tool::WriteDocumentJson(set, writer);
  return out.str();
}

// What `brxtool dump --json` prints for a file.
std::string Dumped(const std::vector<std::uint8_t>& bytes) {
  brx::StructureSet set;
  std::string error;
  if (!brx::ParseStructureData(bytes.data(), bytes.size(), set, error)) std::abort();
  return Json(set);
}

void ZeroIfMissing(nlohmann::json& object, const char* key) {
  if (!object.contains(key)) object[key] = 0;
}

// The values an accepted text gives, as the dump must show them: with what
// the build fills in (each StructureNumber its position, a Reserved key left
// out 0) and the flags in bit order. Compared without regard to key order.
nlohmann::json Expected(const std::string& text) {
  nlohmann::json json = nlohmann::json::parse(text);
  nlohmann::json& structures = json["structures"];
  for (std::size_t i = 0; i < structures.size(); ++i) {
    nlohmann::json& structure = structures[i];
    structure["StructureNumber"] = i;
    ZeroIfMissing(structure, "Reserved");
    for (nlohmann::json& tile : structure["Tiles"]) ZeroIfMissing(tile, "Reserved");
    nlohmann::json& flags = structure["Flags"];
    std::sort(flags.begin(), flags.end(), [](const nlohmann::json& a, const nlohmann::json& b) {
      return brx::StructureFlags::BitOf(a.get<std::string>()) <
             brx::StructureFlags::BitOf(b.get<std::string>());
    });
  }
  return json;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // As `brxtool build` reads it: the bytes decoded as they are parsed.
  brx::text::MemoryByteSource source(data, size);
  brx::text::TextDecoder decoder(source);
  if (!decoder.Start()) std::abort();
  brx::StructureSet set;
  std::vector<brx::text::JsonProblem> problems;
  const bool read = brx::tool::ReadDocumentJson(decoder, set, problems);
  if (!decoder.problem().empty()) {
    if (read || set.StructureCount() != 0) std::abort();
    return 0;
  }
  if (!read) {
    if (problems.empty() || problems.size() > brx::tool::kMostProblemsShown + 1 ||
        set.StructureCount() != 0)
      std::abort();
    for (std::size_t k = 0; k < problems.size(); ++k) {
      if (problems[k].message.empty() || problems[k].at.line == 0 || problems[k].at.column == 0)
        std::abort();
      if (k && problems[k].at < problems[k - 1].at) std::abort();
    }
    return 0;
  }
  const std::vector<std::uint8_t> built = Built(set);
  const std::string dump = Dumped(built);
  if (nlohmann::json::parse(dump) != Expected(DecodedText(data, size))) std::abort();

  brx::StructureSet again;
  if (!brx::tool::DocumentFromJsonText(dump, again, problems)) std::abort();
  if (Built(again) != built) std::abort();
  // The dump states each StructureNumber as its position, so it is a text
  // that must come back from the document unchanged.
  if (Json(again) != dump) std::abort();
  return 0;
}

// Untrusted JSON Patch text applied to a small document as `brxtool apply`
// applies it. Besides never crashing, leaking or hanging, a patch with
// mistakes must name each one by line and column, and a patch without any
// must leave a document the format can hold, which survives saving and
// loading unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "model/structure_data.h"
#include "tools/documents/patch/patch_apply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Three structures, of 2, 0 and 1 tiles: enough for every path to lead somewhere.
  brx::StructureEntry two;
  two.tiles.resize(2);
  two.tiles[1].SetShapeByte(7, 9);
  brx::StructureEntry one;
  one.tiles.resize(1);
  one.header.SetFlags(0x80010001);
  std::vector<brx::StructureEntry> entries = {two, brx::StructureEntry(), one};
  brx::tool::PatchApplier applier(entries);
  brx::text::MemoryByteSource source(data, size);
  brx::text::TextDecoder text(source);
  if (!text.Start()) std::abort();
  applier.Apply("p.json", text);
  if (!applier.mistakes().empty()) {
    for (const std::string& mistake : applier.mistakes()) {
      if (mistake.rfind("p.json:", 0) != 0) std::abort();
    }
    return 0;
  }
  brx::StructureSet set;
  for (brx::StructureEntry& entry : entries) set.AppendStructure(std::move(entry));
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!brx::SerializeStructureData(set, bytes, error)) std::abort();
  brx::StructureSet loaded;
  if (!brx::ParseStructureData(bytes.data(), bytes.size(), loaded, error)) std::abort();
  std::vector<std::uint8_t> again;
  if (!brx::SerializeStructureData(loaded, again, error) || again != bytes) std::abort();
  return 0;
}

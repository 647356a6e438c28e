// Untrusted JSON Patch text applied to a small document as `brxtool apply`
// applies it. Besides never crashing, leaking or hanging, a patch with
// mistakes must name each one by line and column, and a patch without any
// must leave a document the format can hold, which survives saving and
// loading unchanged.
//
// apply reads the lines diff --patch writes by a quicker way of its own.
// The same text with every `", "path"` written `" ,"path"` is the same JSON
// with every value where it was, which that way does not take: a patch that
// applies must apply the same either way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "model/structure_data.h"
#include "tools/documents/patch/patch_apply.h"

namespace {

struct Applied {
  std::vector<std::string> mistakes;
  std::vector<brx::tool::PatchConflict> conflicts;
  std::vector<std::uint8_t> bytes;
};

Applied Apply(const std::string& patch) {
  // Three structures, of 2, 0 and 1 tiles: enough for every path to lead somewhere.
  brx::StructureEntry two;
  two.tiles.resize(2);
  two.tiles[1].SetShapeByte(7, 9);
  brx::StructureEntry one;
  one.tiles.resize(1);
  one.header.SetFlags(0x80010001);
  std::vector<brx::StructureEntry> entries = {two, brx::StructureEntry(), one};
  brx::tool::PatchApplier applier(entries);
  brx::text::MemoryByteSource source(patch.data(), patch.size());
  brx::text::TextDecoder text(source);
  if (!text.Start()) std::abort();
  applier.Apply("p.json", text);
  Applied applied{applier.mistakes(), applier.conflicts(), {}};
  if (!applied.mistakes.empty()) {
    for (const std::string& mistake : applied.mistakes) {
      if (mistake.rfind("p.json:", 0) != 0) std::abort();
    }
    return applied;
  }
  brx::StructureSet set;
  for (brx::StructureEntry& entry : entries) set.AppendStructure(std::move(entry));
  std::string error;
  if (!brx::SerializeStructureData(set, applied.bytes, error)) std::abort();
  brx::StructureSet loaded;
  if (!brx::ParseStructureData(applied.bytes.data(), applied.bytes.size(), loaded, error))
    std::abort();
  std::vector<std::uint8_t> again;
  if (!brx::SerializeStructureData(loaded, again, error) || again != applied.bytes) std::abort();
  return applied;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string patch(reinterpret_cast<const char*>(data), size);
  const Applied applied = Apply(patch);
  std::string moved = patch;
  for (std::size_t at = 0; (at = moved.find("\", \"path\"", at)) != std::string::npos;)
    moved.replace(at, 3, "\" ,");
  if (moved == patch) return 0;
  const Applied again = Apply(moved);
  if (applied.mistakes.empty() != again.mistakes.empty()) std::abort();
  if (!applied.mistakes.empty()) return 0;
  if (applied.bytes != again.bytes || applied.conflicts.size() != again.conflicts.size())
    std::abort();
  for (std::size_t k = 0; k < applied.conflicts.size(); ++k) {
    const brx::tool::PatchConflict& a = applied.conflicts[k];
    const brx::tool::PatchConflict& b = again.conflicts[k];
    if (a.kind != b.kind || a.line != b.line || !(a.path == b.path)) std::abort();
  }
  return 0;
}

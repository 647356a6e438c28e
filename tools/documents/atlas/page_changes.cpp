#include "tools/documents/atlas/page_changes.h"

#include <cstdint>
#include <optional>

#include "model/flags.h"
#include "tools/documents/atlas/page_model.h"
#include "tools/documents/document_diff.h"

namespace brx::tool {
namespace {

std::uint32_t BitsOf(const std::vector<std::string>& labels) {
  std::uint32_t bits = 0;
  for (const std::string& label : labels) {
    if (const std::optional<std::size_t> bit = StructureFlags::BitOf(label)) bits |= 1u << *bit;
  }
  return bits;
}

void Append(std::string& text, const std::string& number) {
  text += number;
  text += ',';
}

void AppendDifference(const Difference& difference, std::string& text) {
  Append(text, std::to_string(static_cast<int>(difference.kind)));
  Append(text, std::to_string(*difference.structure));
  Append(text, difference.tile ? std::to_string(*difference.tile) : "-1");
  Append(text, difference.field.empty() ? "-1" : std::to_string(ChangeFieldCode(difference.field)));
  switch (difference.kind) {
    case Difference::Kind::kChanged:
      Append(text, difference.from.text);
      Append(text, difference.to.text);
      break;
    case Difference::Kind::kFlags:
      Append(text, std::to_string(BitsOf(difference.added)));
      Append(text, std::to_string(BitsOf(difference.removed)));
      break;
    case Difference::Kind::kAdded:
    case Difference::Kind::kRemoved:
      Append(text, "0");
      Append(text, "0");
      break;
  }
}

}  // namespace

bool CollectChanges(const LoadedFile& old, const LoadedFile& file, std::size_t first,
                    std::size_t count, std::size_t most_bytes, PageChanges& changes) {
  changes = PageChanges();
  const std::size_t end = first + count;
  const bool reaches_the_end = end == file.set.StructureCount();
  std::optional<std::size_t> last_changed;
  bool fits = true;
  CompareFiles(old, file, false, [&](const Difference& difference) {
    const std::size_t structure = *difference.structure;
    if (structure >= file.set.StructureCount()) {
      if (reaches_the_end) ++changes.removed_structures;
      return;
    }
    if (structure < first || structure >= end || !fits) return;
    if (last_changed != structure) ++changes.changed_structures;
    last_changed = structure;
    AppendDifference(difference, changes.numbers);
    fits = changes.numbers.size() <= most_bytes;
  });
  return fits;
}

}  // namespace brx::tool

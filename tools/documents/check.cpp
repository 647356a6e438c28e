#include "tools/documents/check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "model/fields.h"
#include "model/structure_data.h"

namespace brx::tool {
namespace {

std::string Plural(std::size_t count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

void CompareHeaderField(const HeaderField& field, const FileHeader& in_file,
                        const FileHeader& written, std::vector<std::string>& warnings) {
  const std::string name(field.name);
  if (field.IsNumber()) {
    const std::uint32_t value = field.NumberIn(in_file);
    const std::uint32_t written_value = field.NumberIn(written);
    if (value == written_value) return;
    warnings.push_back("the file header's " + name + " is " + std::to_string(value) +
                       "; the editor writes " + std::to_string(written_value));
    return;
  }
  const std::uint8_t* bytes = &in_file.bytes.at(field.offset);
  if (std::equal(bytes, bytes + field.width, &written.bytes.at(field.offset))) return;
  warnings.push_back("the file header's " + name + " bytes (offsets " +
                     std::to_string(field.offset) + " to " +
                     std::to_string(field.offset + field.width - 1) + ") are not all 0");
}

}  // namespace

std::vector<std::string> CheckWarnings(const LoadedFile& file) {
  std::vector<std::string> warnings;
  const StructureSet& set = file.set;
  const std::size_t tiles = file.TileCount();

  const std::size_t end = file.RecordsEnd();
  if (file.trailing.count > 0) {
    warnings.push_back(std::string(file.complete ? "" : "at least ") +
                       Plural(file.trailing.count, "byte", "bytes") +
                       " after the last record (from offset " + std::to_string(end) +
                       "), which the editor ignores");
  }

  const FileHeader& in_file = file.Header();
  const FileHeader written = MakeFileHeader(set.StructureCount(), tiles);
  for (const HeaderField& field : fields::kFileHeaderFields) {
    if (field.role == HeaderRole::kComputed || field.role == HeaderRole::kReserved)
      CompareHeaderField(field, in_file, written, warnings);
  }

  std::size_t mismatches = 0;
  for (std::size_t i = 0; i < set.StructureCount(); ++i) {
    const unsigned number = set.Header(i).StructureNumber();
    if (number == i) continue;
    if (++mismatches <= kNamedStructureNumberMismatches) {
      warnings.push_back("structure " + std::to_string(i) + " has StructureNumber " +
                         std::to_string(number) + "; the editor writes its position");
    }
  }
  if (mismatches > kNamedStructureNumberMismatches) {
    const std::size_t more = mismatches - kNamedStructureNumberMismatches;
    warnings.push_back(Plural(more, "more structure has a StructureNumber other than its position",
                              "more structures have StructureNumbers other than their positions") +
                       " (" + std::to_string(mismatches) + " in all)");
  }
  return warnings;
}

}  // namespace brx::tool

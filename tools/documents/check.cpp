#include "tools/documents/check.h"

#include <algorithm>
#include <cstddef>

#include "model/structure_data.h"

namespace brx::tool {
namespace {

std::string Plural(std::size_t count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

void CompareHeaderField(const char* name, unsigned in_file, unsigned written,
                        std::vector<std::string>& warnings) {
  if (in_file == written) return;
  warnings.push_back(std::string("the file header's ") + name + " is " + std::to_string(in_file) +
                     "; the editor writes " + std::to_string(written));
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
  CompareHeaderField("NumberOfStructuresCopy", in_file.NumberOfStructuresCopy(),
                     written.NumberOfStructuresCopy(), warnings);
  CompareHeaderField("DataSize", in_file.DataSize(), written.DataSize(), warnings);
  CompareHeaderField("FormatByte", in_file.FormatByte(), written.FormatByte(), warnings);
  const auto reserved = in_file.bytes.begin() + FileHeader::kReserved;
  if (!std::equal(reserved, in_file.bytes.end(), written.bytes.begin() + FileHeader::kReserved))
    warnings.push_back("the file header's Reserved bytes (offsets 11 to 15) are not all 0");

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

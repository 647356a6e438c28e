// Untrusted CSV into brxtool's import, from the bytes of the file (any
// encoding) on, applied to a small document. Besides never crashing,
// leaking or hanging, a refused table must say where and why, in order; an
// accepted one must leave a document that fits the format and that its own
// exported tables give again, from an empty document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "model/structure_data.h"
#include "tools/documents/tables/table_export.h"
#include "tools/documents/tables/table_import.h"

namespace {

using brx::tool::csv::TableImport;
using brx::tool::csv::TableKind;
using brx::tool::csv::TableSource;

// Imports tables into `set`; true when nothing was wrong.
bool Import(const std::vector<std::string>& tables, brx::StructureSet& set) {
  TableImport import(set, true);
  std::vector<std::unique_ptr<TableSource>> sources;
  for (const std::string& text : tables) {
    auto file = std::make_unique<brx::MemoryInputFile>(
        reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    sources.push_back(std::make_unique<TableSource>("t.csv", sources.size(), std::move(file)));
    if (!import.ReadHeader(*sources.back())) sources.pop_back();
  }
  for (const TableKind kind : {TableKind::kStructures, TableKind::kTiles}) {
    for (const auto& source : sources) {
      if (source->kind == kind) import.ReadRows(*source);
    }
  }
  import.Finish();
  import.Changes([](const brx::tool::Difference&){});
  const auto& problems = import.problems().items();
  for (std::size_t k = 0; k < problems.size(); ++k) {
    if (problems[k].text.empty()) std::abort();
    if (k && problems[k].at < problems[k - 1].at) std::abort();
  }
  return problems.empty();
}

std::string Table(TableKind kind, const brx::StructureSet& set) {
  std::ostringstream out;
  if (!brx::tool::csv::WriteTable(out, kind, set, ',')) std::abort();
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  brx::StructureSet set;
  brx::StructureEntry entry;
  entry.tiles.resize(2);
  set.AppendStructure(entry);
  set.AppendStructure(brx::StructureEntry{});
  if (!Import({std::string(reinterpret_cast<const char*>(data), size)}, set)) return 0;
  std::string error;
  if (!brx::FitsTheFormat(set, error)) std::abort();
  brx::StructureSet again;
  if (!Import({Table(TableKind::kTiles, set), Table(TableKind::kStructures, set)}, again))
    std::abort();
  if (!(again == set)) std::abort();
  return 0;
}

// Loading and saving a StructureSet through the file seam.
#include "model/structure_files.h"

#include <string>
#include <vector>

#include "model/atomic_save.h"
#include "model/structure_data.h"

namespace brx {
namespace {

bool HasName(const char* name) {
  return name && *name;
}

}  // namespace

bool LoadFromFile(StructureSet& set, const char* name, FileSystem& files, std::string& error) {
  set.Clear();
  if (!HasName(name)) {
    error = "no file name was given";
    return false;
  }
  std::string cause;
  const auto file = files.OpenForReading(name, cause);
  if (!file) {
    error = "cannot open the file: " + cause;
    return false;
  }
  return ParseStructureData(*file, set, error);
}

bool SaveToFile(const StructureSet& set, const char* name, FileSystem& files, std::string& error) {
  if (!FitsTheFormat(set, error)) return false;
  if (!HasName(name)) {
    error = "no file name was given";
    return false;
  }
  return SaveAtomically(
      files, name, [&set](const ByteSink& sink) { return WriteStructureData(set, sink); }, error);
}

}  // namespace brx

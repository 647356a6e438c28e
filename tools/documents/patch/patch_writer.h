// The JSON Patch that turns one file's `dump --json` document into
// another's, written as the differences are found: for each changed field a
// test of the first file's value and a replace with the second's; records the
// second appends as adds at their index; trailing records it lacks as a test
// of the whole record and a remove, last first. One operation a line, in
// file order, so that a patch reads well in a review and in git.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tools/documents/document_diff.h"
#include "tools/documents/loaded_file.h"
#include "tools/documents/patch/patch_path.h"
#include "tools/text/json_writer.h"

namespace brx::tool {

class PatchWriter {
 public:
  PatchWriter(const StructureSet& base, const StructureSet& mod, text::JsonWriter& writer);

  // One difference of CompareFiles (without `bytes`), in its order.
  void Write(const Difference& difference);
  // Ends the patch.
  void Finish();

 private:
  void Begin(const char* op, const std::string& pointer);
  void FlushRemoved();

  const StructureSet& base_;
  const StructureSet& mod_;
  text::JsonWriter& writer_;
  // A run of trailing records removed, to be written last first.
  std::vector<Difference> removed_;
};

}  // namespace brx::tool

// What the page's script knows of the format, taken from the model's field
// and flag tables (model/fields.h, model/flags.h) so that the page never
// retypes a name, a label, an offset or a range: written into the page as
// JSON, with the facts of the one file the page shows.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace brx::tool {

// The page carries its records in pieces of this many bytes, each the
// base64 text of one element: a browser reads a text of hundreds of
// megabytes into one element ever more slowly, and pieces in elements of
// their own in linear time. The script draws the first structures from the
// first piece, before the browser has read the rest. Whole groups of three
// bytes, so that no base64 group straddles two pieces.
inline constexpr std::size_t kRecordChunkBytes = 3 * 16 * 1024;

// What the page shows: the file's name and the structures it holds.
struct PageFacts {
  std::string name;
  std::size_t first = 0;  // the number of the first structure on the page
  std::size_t count = 0;  // how many structures follow it
  std::size_t file_structures = 0;
  std::optional<std::string> compared_with;  // the older file's name
  std::size_t changed_structures = 0;
  std::size_t removed_structures = 0;  // of the older file, past this one's end
};

// The code a change's field has in the page: its place in the list the
// model names (fields of structures and tiles, then each shape cell).
std::size_t ChangeFieldCode(std::string_view name);

// The model as one JSON object, safe inside a <script> element: no '<' in it.
void WritePageModel(const PageFacts& facts, std::ostream& out);

}  // namespace brx::tool

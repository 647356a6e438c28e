#include "tools/documents/atlas/atlas_page.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "tools/documents/atlas/base64.h"
#include "tools/documents/atlas/page_template.h"

namespace brx::tool {
namespace {

// The template's holes: @BRX_ATLAS_NAME@.
constexpr std::string_view kHoleStart = "@BRX_ATLAS_";

// Each piece of the records is an element of its own (see kRecordChunkBytes).
constexpr std::string_view kRecordsStart =
    "<script type=\"application/octet-stream\" class=\"atlas-records\">";
constexpr std::string_view kRecordsEnd = "</script>\n";

std::size_t RecordsSize(const StructureEntry& entry) {
  return StructureHeader::kSize + entry.tiles.size() * TileRecord::kSize;
}

void WriteHtmlText(std::string_view text, std::ostream& out) {
  for (char c : text) {
    switch (c) {
      case '&':
        out << "&amp;";
        break;
      case '<':
        out << "&lt;";
        break;
      case '>':
        out << "&gt;";
        break;
      case '"':
        out << "&quot;";
        break;
      case '\'':
        out << "&#39;";
        break;
      default:
        out << c;
    }
  }
}

// The records of the page as the file holds them, each header with its tile
// count as the writer puts it in, from byte `begin` of them to byte `end`
// (both on a piece's boundary), an element for each piece.
void WriteRecords(const AtlasPage& page, std::size_t begin, std::size_t end, std::ostream& out) {
  Base64Writer base64(out);
  std::size_t at = 0;
  bool open = false;
  const auto add = [&](const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
      const std::size_t piece = std::min(size, kRecordChunkBytes - at % kRecordChunkBytes);
      if (at >= begin && at < end) {
        if (!open) out << kRecordsStart;
        open = true;
        base64.Add(data, piece);
        if ((at + piece) % kRecordChunkBytes == 0) {
          base64.Finish();
          out << kRecordsEnd;
          open = false;
        }
      }
      at += piece;
      data += piece;
      size -= piece;
    }
  };
  for (std::size_t i = page.facts.first; i < page.facts.first + page.facts.count && at < end; ++i) {
    const StructureEntry& entry = page.set->Entry(i);
    StructureHeader header = entry.header;
    header.SetNumberOfTiles(static_cast<std::uint8_t>(entry.tiles.size()));
    add(header.bytes.data(), header.bytes.size());
    for (const TileRecord& tile : entry.tiles) add(tile.bytes.data(), tile.bytes.size());
  }
  if (open) {
    base64.Finish();
    out << kRecordsEnd;
  }
}

void WriteChanges(const AtlasPage& page, std::ostream& out) {
  std::string_view numbers = page.changes ? page.changes->numbers : std::string_view();
  if (!numbers.empty()) numbers.remove_suffix(1);  // the last comma
  out << '[' << numbers << ']';
}

void FillHole(std::string_view name, const AtlasPage& page, std::ostream& out) {
  if (name == "TITLE") {
    WriteHtmlText(page.facts.name, out);
  } else if (name == "MODEL") {
    WritePageModel(page.facts, out);
  } else if (name == "RECORDS_FIRST") {
    WriteRecords(page, 0, kRecordChunkBytes, out);
  } else if (name == "RECORDS_REST") {
    WriteRecords(page, kRecordChunkBytes, SIZE_MAX, out);
  } else if (name == "CHANGES") {
    WriteChanges(page, out);
  } else {
    throw std::logic_error("the page template has an unknown hole");
  }
}

}  // namespace

std::size_t PageRecordBytes(const StructureSet& set, std::size_t first, std::size_t count) {
  std::size_t size = 0;
  for (std::size_t i = first; i < first + count; ++i) size += RecordsSize(set.Entry(i));
  return Base64Length(size);
}

std::size_t StructuresThatFit(const StructureSet& set, std::size_t first, std::size_t most_bytes) {
  std::size_t size = 0;
  std::size_t i = first;
  while (i < set.StructureCount() && Base64Length(size + RecordsSize(set.Entry(i))) <= most_bytes)
    size += RecordsSize(set.Entry(i++));
  return std::max<std::size_t>(i - first, 1);
}

void WriteAtlasPage(const AtlasPage& page, std::ostream& out) {
  const std::string_view text = kAtlasPageTemplate;
  std::size_t at = 0;
  for (std::size_t hole = text.find(kHoleStart); hole != std::string_view::npos;
       hole = text.find(kHoleStart, at)) {
    out << text.substr(at, hole - at);
    const std::size_t name = hole + kHoleStart.size();
    const std::size_t end = text.find('@', name);
    FillHole(text.substr(name, end - name), page, out);
    at = end + 1;
  }
  out << text.substr(at);
}

}  // namespace brx::tool

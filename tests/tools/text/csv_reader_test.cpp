// The CSV reader on the bytes spreadsheets write: encodings, separators,
// quoting and line ends, with each cell's line and column; and what the
// writer quotes, read back.
#include "tools/text/csv_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/text/chunked_source.h"
#include "tools/text/csv_writer.h"

namespace brx::text {
namespace {

// Each row as "LINE:COLUMN=text|...;", then "!LINE:COLUMN" where reading stopped early.
std::string Rows(const std::string& bytes, std::string* problem = nullptr) {
  text::MemoryByteSource file(bytes.data(), bytes.size());
  text::CsvReader reader(file);
  std::string out;
  std::vector<text::Cell> row;
  while (reader.NextRow(row)) {
    for (std::size_t k = 0; k < row.size(); ++k) {
      out += (k ? "|" : "") + std::to_string(row[k].at.line) + ":" +
             std::to_string(row[k].at.column) + "=" + row[k].text + (row[k].cut ? "..." : "");
    }
    out += ";";
  }
  if (!reader.problem().empty()) {
    out += "!" + std::to_string(reader.problem_at().line) + ":" +
           std::to_string(reader.problem_at().column);
  }
  if (problem) *problem = reader.problem();
  return out;
}

// ASCII and the two characters below as UTF-16 with a byte-order mark.
std::string Utf16(const std::string& text, bool big_endian) {
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  const auto unit = [&](unsigned value) {
    const char high = static_cast<char>(value >> 8);
    const char low = static_cast<char>(value & 0xFF);
    out += big_endian ? std::string{high, low} : std::string{low, high};
  };
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text.compare(k, 2, "\xC3\xA9") == 0) {  // é
      unit(0xE9);
      ++k;
    } else if (text.compare(k, 4, "\xF0\x9F\x98\x80") == 0) {  // U+1F600, a surrogate pair
      unit(0xD83D);
      unit(0xDE00);
      k += 3;
    } else {
      unit(static_cast<unsigned char>(text[k]));
    }
  }
  return out;
}

TEST(CsvReader, ReadsWhatSpreadsheetsWrite) {
  const std::string wide = "\xC3\xA9\xF0\x9F\x98\x80";  // two characters, six bytes
  struct Case {
    std::string bytes;
    std::string rows;
  };
  const Case cases[] = {
      {"a,b\r\n1,2\r\n", "1:1=a|1:3=b;2:1=1|2:3=2;"},
      {"\xEF\xBB\xBF"
       "a,b\n1,2",
       "1:1=a|1:3=b;2:1=1|2:3=2;"},
      {"a;b;c,d\n1;2,5\n", "1:1=a|1:3=b|1:5=c,d;2:1=1|2:3=2,5;"},
      {"a\tb\tc;d\n1\t2\n", "1:1=a|1:3=b|1:5=c;d;2:1=1|2:3=2;"},
      {"sep=;\r\na;b,c\r\n1;2\r\n", "2:1=a|2:3=b,c;3:1=1|3:3=2;"},
      {"a,b\r1,2\r", "1:1=a|1:3=b;2:1=1|2:3=2;"},
      // Quotes: separators and doubled quotes inside, a line break inside.
      {"a,b\n\"1,5\",\"say \"\"hi\"\"\"\n", "1:1=a|1:3=b;2:1=1,5|2:7=say \"hi\";"},
      {"a,b\n\"x\r\ny\",z\n3,4\n", "1:1=a|1:3=b;2:1=x\r\ny|3:4=z;4:1=3|4:3=4;"},
      {"a,b\n\"5\" , x\"y\n", "1:1=a|1:3=b;2:1=5 |2:6= x\"y;"},
      {"a,b\n\n,\n", "1:1=a|1:3=b;2:1=;3:1=|3:2=;"},
      // Columns count characters, not bytes.
      {wide + ",x\n", "1:1=" + wide + "|1:4=x;"},
      {Utf16("a\tb\r\n1\t" + wide + "\tc\r\n", false), "1:1=a|1:3=b;2:1=1|2:3=" + wide + "|2:6=c;"},
      {Utf16("a;b\n1;2\n", true), "1:1=a|1:3=b;2:1=1|2:3=2;"},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string problem;
    EXPECT_EQ(Rows(c.bytes, &problem), c.rows) << c.bytes.substr(0, 40);
    EXPECT_EQ(problem, "") << c.bytes.substr(0, 40);
  }
}

// What the writer puts in a cell, quoted or not, the reader gives back.
TEST(CsvWriter, EveryCellReadsBackAsWritten) {
  const std::string texts[] = {"Wall", "a,b",          "a;b",  "a\tb", "say \"hi\"",
                               "\"",   "two\r\nlines", "cr\r", "\nlf", ""};
  for (const char separator : {',', ';', '\t'}) {
    for (const std::string& text : texts) {
      std::ostringstream out;
      {
        text::CsvWriter writer(out, separator);
        writer.Cell("Name");
        writer.Cell("Number");
        writer.EndRow();
        writer.Cell(text);
        writer.Cell(std::int64_t{-5});
        writer.EndRow();
      }
      const std::string bytes = out.str();
      text::MemoryByteSource file(bytes.data(), bytes.size());
      text::CsvReader reader(file);
      std::vector<text::Cell> row;
      ASSERT_TRUE(reader.NextRow(row)) << bytes;
      ASSERT_TRUE(reader.NextRow(row)) << bytes;
      ASSERT_EQ(row.size(), 2u) << bytes;
      EXPECT_EQ(row[0].text, text) << bytes;
      EXPECT_EQ(row[1].text, "-5") << bytes;
      EXPECT_FALSE(reader.NextRow(row)) << bytes;
      EXPECT_EQ(reader.problem(), "") << bytes;
    }
  }
}

TEST(CsvReader, StopsWhereTheTextCannotBeRead) {
  struct Case {
    std::string bytes;
    std::string rows;  // what was read, then where it stopped
  };
  const Case cases[] = {
      {"a,b\n\"x,1\n2,3\n", "1:1=a|1:3=b;!2:1"},
      {"a,b\n1,\xE9t\n", "1:1=a|1:3=b;!2:3"},           // Latin-1
      {"a,b\n1,\xC3", "1:1=a|1:3=b;!2:3"},              // cut inside a character
      {"a,b\n\xED\xA0\x80", "1:1=a|1:3=b;!2:1"},        // a surrogate in UTF-8
      {Utf16("a\n", false) + "x", "!1:1"},              // an odd byte at the end, found first
      {Utf16("a,b\n", false).substr(2), "!1:1"},        // UTF-16 without its mark
      {std::string("\xFF\xFE\0\0a\0\0\0", 8), "!1:1"},  // UTF-32
      {"a," + std::string(text::CsvReader::kMaxCells, ',') + "\n", "!1:16386"},
  };
  for (const Case& c : cases) {
    std::string problem;
    EXPECT_EQ(Rows(c.bytes, &problem), c.rows) << c.bytes.substr(0, 40);
    EXPECT_NE(problem, "") << c.bytes.substr(0, 40);
  }
  // A read that fails: the rows before it, then the reason.
  testing::ChunkedSource file("a,b\n1,2\n3,4\n", 4, 9);
  text::CsvReader reader(file);
  std::vector<text::Cell> row;
  EXPECT_TRUE(reader.NextRow(row));
  EXPECT_TRUE(reader.NextRow(row));
  EXPECT_FALSE(reader.NextRow(row));
  EXPECT_NE(reader.problem().find(testing::ChunkedSource::kError), std::string::npos)
      << reader.problem();
}

// A character cut by the end of a chunk read, and cells too long to keep.
TEST(CsvReader, CharactersAcrossChunksAndLongCells) {
  const std::string cut = "1:1=h;2:1=" + std::string(text::CsvReader::kMaxCellBytes, 'x') + "...";
  // Bytes 65535 and 65536 of the file; then units 65535 and 65536 of UTF-16.
  EXPECT_EQ(Rows("h\n" + std::string(65533, 'x') + "\xC3\xA9,1\n"), cut + "|2:65536=1;");
  EXPECT_EQ(Rows(Utf16("h\n" + std::string(65532, 'x') + "\xF0\x9F\x98\x80,1\n", false)),
            cut + "|2:65535=1;");
}

}  // namespace
}  // namespace brx::text

// The cursor both readers read through: look-ahead across the pieces the
// input comes in, and lines and columns as an editor shows them.
#include "tools/text/text_cursor.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/tools/text/chunked_source.h"
#include "tools/text/text_encoding.h"

namespace brx::text {
namespace {

using testing::ChunkedSource;

std::string Place(const TextPosition& at) {
  return std::to_string(at.line) + ":" + std::to_string(at.column);
}

// The place of each character that is not a line break, then of the end,
// moving one byte at a time; every byte and the three after it are
// checked against the bytes on the way.
std::string Places(const std::string& bytes, std::size_t chunk) {
  ChunkedSource source(bytes, chunk);
  TextDecoder decoder(source);
  decoder.Start();
  TextCursor cursor(decoder);
  std::string places;
  for (std::size_t at = 0; !cursor.AtEnd(); ++at) {
    for (std::size_t ahead = 0; ahead < 4; ++ahead) {
      const int expected =
          at + ahead < bytes.size() ? static_cast<unsigned char>(bytes[at + ahead]) : -1;
      EXPECT_EQ(cursor.Peek(ahead), expected) << "byte " << at << " + " << ahead;
    }
    const char c = static_cast<char>(cursor.Peek());
    if (c != '\r' && c != '\n' && TextCursor::StartsCharacter(c))
      places += Place(cursor.Here()) + " ";
    cursor.Skip();
  }
  return places + "end " + Place(cursor.Here());
}

TEST(TextCursor, LinesAndColumnsAsAnEditorShowsThem) {
  struct Case {
    std::string bytes;
    std::string places;
  };
  const Case cases[] = {
      {"ab\ncd", "1:1 1:2 2:1 2:2 end 2:3"},
      {"ab\r\ncd", "1:1 1:2 2:1 2:2 end 2:3"},
      {"ab\rcd", "1:1 1:2 2:1 2:2 end 2:3"},
      {"a\r\r\n\nb\n\rc\r", "1:1 4:1 6:1 end 7:1"},
      // é, €, U+1F600: one column each.
      {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80x\n", "1:1 1:2 1:3 1:4 end 2:1"},
      {"", "end 1:1"},
  };
  for (const Case& c : cases) {
    // In one piece, a byte at a time, and with characters cut between reads.
    for (const std::size_t chunk : {std::size_t{1} << 20, std::size_t{1}, std::size_t{2}})
      EXPECT_EQ(Places(c.bytes, chunk), c.places) << c.bytes << " in chunks of " << chunk;
  }
}

// A look-ahead past the piece at hand holds the bytes together, in order:
// here the decoder hands out the x's, then the rest, since the reads cut €.
TEST(TextCursor, LookAheadAcrossPieces) {
  const std::string bytes = std::string(998, 'x') + "\xE2\x82\xAC" + "yz";
  ChunkedSource source(bytes, 1000);
  TextDecoder decoder(source);
  decoder.Start();
  TextCursor cursor(decoder);
  ASSERT_TRUE(cursor.Fill(10));
  for (std::size_t k = 0; k < 997; ++k) cursor.Skip();
  ASSERT_TRUE(cursor.Fill(6));
  EXPECT_EQ(std::string(cursor.begin(), cursor.end()), "x\xE2\x82\xACyz");
  EXPECT_FALSE(cursor.Fill(7));
  EXPECT_EQ(cursor.Peek(5), 'z');
  EXPECT_EQ(cursor.Peek(6), -1);
  EXPECT_EQ(Place(cursor.Here()), "1:998");
}

// Skipping blanks at once counts as moving past them one by one does.
TEST(TextCursor, SkippingBlanksCountsAsSkippingBytes) {
  const std::string texts[] = {
      " \t\r\n  \r x",
      "\r\n\r\n" + std::string(20, ' ') + "\n\t\r",
      std::string(70000, ' ') + "\r\n" + std::string(3, ' ') + "y",
      "\r",
  };
  for (const std::string& text : texts) {
    for (const std::size_t chunk : {std::size_t{1} << 20, std::size_t{1}, std::size_t{7}}) {
      ChunkedSource source(text, chunk);
      TextDecoder decoder(source);
      decoder.Start();
      TextCursor at_once(decoder);
      at_once.SkipBlanks();
      const std::string rest(at_once.begin(), at_once.end());
      const std::string expected = Places(text.substr(0, text.size() - rest.size()), chunk);
      EXPECT_EQ("end " + Place(at_once.Here()), expected.substr(expected.rfind("end")))
          << text.substr(0, 20) << " in chunks of " << chunk;
      EXPECT_TRUE(rest.empty() || (rest[0] != ' ' && rest[0] != '\r' && rest[0] != '\n'));
    }
  }
}

}  // namespace
}  // namespace brx::text

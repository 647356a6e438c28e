// The decoder on what editors, shells and spreadsheets save, read through
// the cursor, which places a byte that is not UTF-8.
#include "tools/text/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/text/byte_source.h"
#include "tools/text/text_cursor.h"

namespace brx::text {
namespace {

TEST(TextEncoding, WhatEditorsAndShellsWriteIsRead) {
  struct Case {
    std::string bytes;
    std::string text;  // the UTF-8 text, or a part of the problem
    bool decoded;
  };
  using namespace std::string_literals;
  const Case cases[] = {
      {"{\"\xC3\xA9\xF0\x9F\x98\x80\"}", "{\"\xC3\xA9\xF0\x9F\x98\x80\"}", true},
      // A byte-order mark, as Windows editors write UTF-8, is dropped.
      {"\xEF\xBB\xBF{}", "{}", true},
      {"", "", true},
      // UTF-16 with its mark, as Windows PowerShell 5.1 writes; é and a pair of surrogates.
      {"\xFF\xFE{\0\xE9\0=\xD8\0\xDE\xAC\x20\xFD\xFF}\0"s,
       "{\xC3\xA9\xF0\x9F\x98\x80\xE2\x82\xAC\xEF\xBF\xBD}", true},
      {"\xFE\xFF\0{\0\xE9\xD8=\xDE\0\0}"s, "{\xC3\xA9\xF0\x9F\x98\x80}", true},
      {"\xFF\xFE"s, "", true},
      {"\xFF\xFE{\0}"s,
       "the text is UTF-16 LE (it starts with its byte-order mark), but has an odd number of "
       "bytes; it is cut short or not UTF-16",
       false},
      {"\xFF\xFE{\0\0\xD8"s,
       "the text is UTF-16 LE, but holds an unpaired surrogate 0xD800 at byte offset 4; it is "
       "damaged or not UTF-16",
       false},
      {"\xFE\xFF\xDC\0\0}"s,
       "the text is UTF-16 BE, but holds an unpaired surrogate 0xDC00 at byte offset 2; it is "
       "damaged or not UTF-16",
       false},
      {"\xFF\xFE\0\0{\0\0\0"s,
       "the text is UTF-32 (it starts with a UTF-32 byte-order mark); save it as UTF-8", false},
      {"\0\0\xFE\xFF\0\0\0{"s,
       "the text is UTF-32 (it starts with a UTF-32 byte-order mark); save it as UTF-8", false},
      {"{\0}\0"s,
       "the text looks like UTF-16 LE without a byte-order mark; save it as UTF-8, or as UTF-16 "
       "with a byte-order mark",
       false},
      {"\0{\0}"s,
       "the text looks like UTF-16 BE without a byte-order mark; save it as UTF-8, or as UTF-16 "
       "with a byte-order mark",
       false},
      // Not UTF-8: Windows-1252, an overlong form, a surrogate, beyond U+10FFFF, cut short.
      {"{\n  \"\xC3\xA9\xE9\"}",
       "the text is not UTF-8: byte 0xE9 at line 2, column 5 is not part of a UTF-8 character (a "
       "file saved as Windows-1252 or Latin-1?); save it as UTF-8",
       false},
      // The place counts lines as the readers do: LF, CR LF and CR each end one.
      {"\r\n\r\r\xC3\xA9\xC0\x80", "byte 0xC0 at line 4, column 2", false},
      {"\xC0\x80", "byte 0xC0 at line 1, column 1", false},
      {"a\xE0\x9F\xBF", "byte 0xE0 at line 1, column 2", false},
      {"\xED\xA0\x80", "byte 0xED at line 1, column 1", false},
      {"\xF0\x8F\xBF\xBF", "byte 0xF0 at line 1, column 1", false},
      {"\xF4\x90\x80\x80", "byte 0xF4 at line 1, column 1", false},
      {"\xF5\x80\x80\x80", "byte 0xF5 at line 1, column 1", false},
      {"\x80", "byte 0x80 at line 1, column 1", false},
      {"\xE2\x82", "byte 0xE2 at line 1, column 1", false},
      {"\xE2\x82x", "byte 0xE2 at line 1, column 1", false},
      {"\xEF\xBB\xBF\xF4\x8F\xBF\xBF\xEE\x80\x80", "\xF4\x8F\xBF\xBF\xEE\x80\x80", true},
  };
  for (const Case& c : cases) {
    MemoryByteSource source(c.bytes.data(), c.bytes.size());
    TextDecoder decoder(source);
    ASSERT_TRUE(decoder.Start());
    TextCursor cursor(decoder);
    std::string text;
    for (; !cursor.AtEnd(); cursor.Skip()) text += static_cast<char>(cursor.Peek());
    const std::string& problem = decoder.problem();
    const bool decoded = problem.empty();
    EXPECT_EQ(decoded, c.decoded) << ::testing::PrintToString(c.bytes);
    if (c.decoded) {
      EXPECT_EQ(text, c.text);
    } else {
      EXPECT_NE(problem.find(c.text), std::string::npos) << problem;
    }
  }
}

}  // namespace
}  // namespace brx::text

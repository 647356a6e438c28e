// The start-up file name: verbatim, except one pair of quotes around all of it.
#include "app/startup_file_name.h"

#include <gtest/gtest.h>

namespace brx {
namespace {

struct NameCase {
  const char* text;
  const char* name;
};

TEST(StartupFileName, OnlyOnePairOfQuotesAroundTheWholeTextIsRemoved) {
  const NameCase cases[] = {
      {"", ""},
      {"a.brx", "a.brx"},
      {"C:\\My Files\\a b.brx", "C:\\My Files\\a b.brx"},
      {"\"C:\\My Files\\a b.brx\"", "C:\\My Files\\a b.brx"},
      {"\"\"", ""},
      // Anything else is the user's text, kept as typed.
      {"\"", "\""},
      {"\"a.brx", "\"a.brx"},
      {"a.brx\"", "a.brx\""},
      {"\"a.brx\" ", "\"a.brx\" "},
      {"\"a.brx\" \"b.brx\"", "\"a.brx\" \"b.brx\""},
      {"\"a\"b.brx\"", "\"a\"b.brx\""},
      {"a.brx b.brx", "a.brx b.brx"},
      {"a.brx ", "a.brx "},
  };
  for (const NameCase& c : cases)
    EXPECT_EQ(StartupFileName(c.text), c.name) << "[" << c.text << "]";
  EXPECT_EQ(StartupFileName(nullptr), "");
}

}  // namespace
}  // namespace brx

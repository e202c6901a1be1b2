// Names as bytes: every name converts to text and back unchanged, and shows
// escaped where it would not show as itself.
#include <gtest/gtest.h>

#include <string>

#include "1_base/Utf8Names.h"

namespace {

#ifndef _WIN32
TEST(Utf8NamesTest, EveryNameRoundTripsAndShowsEscapedWhereNotText) {
  const struct {
    std::string bytes;
    wxString shown;
  } cases[] = {
      {"\xC3\x9C"
       "ber caf\xC3\xA9.txt",
       wxString::FromUTF8("Über café.txt")},
      {"\xE9t\xE9.txt", "\\xE9t\\xE9.txt"},                    // Latin-1
      {"g\xF4\x90\x80\x80h", "g\\xF4\\x90\\x80\\x80h"},        // beyond Unicode
      {"s\xED\xA0\x80", "s\\xED\\xA0\\x80"},                   // a surrogate
      {"p\xF4\x80\x80\x80", "p\\xF4\\x80\\x80\\x80"},          // what stands for bytes
      {"two\nlines\r\t\x7F", "two\\x0Alines\\x0D\\x09\\x7F"},  // control characters
      {"\xC2\x85", "\\xC2\\x85"},                              // a C1 control character
      {"", ""},
  };
  for (const auto& c : cases) {
    const wxString name = wxString(c.bytes.c_str(), NameConversion());
    EXPECT_EQ(name.empty(), c.bytes.empty()) << c.shown;
    const wxCharBuffer back = name.mb_str(NameConversion());
    EXPECT_EQ(std::string(back.data(), back.length()), c.bytes) << c.shown;
    EXPECT_EQ(EscapedName(name), c.shown);
  }
}
#endif

TEST(Utf8NamesTest, ControlCharactersAreEscapedEverywhere) {
  EXPECT_EQ(EscapedName("C:\\a\nb\x01.txt"), "C:\\a\\x0Ab\\x01.txt");
}

}  // namespace

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "2_crypto/PasswordKey.h"

namespace {

wxString Key(const wxString& password) { return KeyFromPassword(password, 16).keyText; }

TEST(KeyFromPasswordTest, ShortPasswordIsPaddedWithTwos) {
  EXPECT_EQ(Key("password"), "70617373776F72640202020202020202");
  EXPECT_EQ(Key(""), "02020202020202020202020202020202");
}

TEST(KeyFromPasswordTest, TrailingTwoIsIndistinguishableFromPadding) {
  EXPECT_EQ(Key("a"), Key(wxString("a") + wxUniChar(2)));
}

TEST(KeyFromPasswordTest, SixteenCharactersAreUsedAsTheyAre) {
  const PasswordKey key = KeyFromPassword("0123456789abcdef", 16);
  EXPECT_EQ(key.verdict, PasswordKeyVerdict::Made);
  EXPECT_EQ(key.keyText, "30313233343536373839616263646566");
}

// Refusals are verdicts: the caller shows them (this layer cannot show a box).
TEST(KeyFromPasswordTest, RefusalsAreVerdictsWithoutBoxes) {
  const struct {
    const char* utf8;
    PasswordKeyVerdict verdict;
  } cases[] = {
      {"0123456789abcdefg", PasswordKeyVerdict::TooLong},
      {"\xC3\xBC"
       "0123456789abcdef",
       PasswordKeyVerdict::TooLong},
      {"\xC5\xBC", PasswordKeyVerdict::NotRepresentable},      // z with dot above
      {"\xE5\xAF\x86", PasswordKeyVerdict::NotRepresentable},  // a CJK letter
  };
  for (const auto& c : cases) {
    const PasswordKey key = KeyFromPassword(wxString::FromUTF8(c.utf8), 16);
    EXPECT_EQ(key.verdict, c.verdict) << c.utf8;
    EXPECT_EQ(key.keyText, "") << c.utf8;
  }
}

// One password, one key: on Linux whatever the locale (the test main runs
// under UTF-8), on Windows under code page 1252. The padding counts bytes, so
// sixteen non-ASCII letters fill the key exactly.
TEST(KeyFromPasswordTest, NonAsciiPasswordsGiveWindows1252Keys) {
#ifdef _WIN32
  if (GetACP() != 1252) GTEST_SKIP() << "expectations are for code page 1252";
#endif
  const struct {
    const char* utf8;
    const char* key;
  } cases[] = {
      {"M\xC3\xBCller", "4DFC6C6C657202020202020202020202"},
      // The euro sign and Y with diaeresis lie in the code page's own range.
      {"\xE2\x82\xAC\xC5\xB8\xC3\x9F\xC3\xBF", "809FDFFF020202020202020202020202"},
      {"\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x84\xC3\x96\xC3\x9C\xC3\xA9\xC3\xA8\xC3\xA0\xC3\xA7\xC3\xB1"
       "\xC3\xB8\xC3\xA5\xC3\x86\xC2\xA3\xC2\xA7",
       "E4F6FCC4D6DCE9E8E0E7F1F8E5C6A3A7"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Key(wxString::FromUTF8(c.utf8)), c.key) << c.utf8;
  }
}

}  // namespace

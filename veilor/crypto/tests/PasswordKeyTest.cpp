#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "MessageBoxRecorder.h"
#include "crypto/PasswordKey.h"

namespace {

TEST(KeyFromPasswordTest, ShortPasswordIsPaddedWithTwos) {
  EXPECT_EQ(KeyFromPassword("password", 16), "70617373776F72640202020202020202");
  EXPECT_EQ(KeyFromPassword("", 16), "02020202020202020202020202020202");
}

TEST(KeyFromPasswordTest, TrailingTwoIsIndistinguishableFromPadding) {
  EXPECT_EQ(KeyFromPassword("a", 16), KeyFromPassword(wxString("a") + wxUniChar(2), 16));
}

TEST(KeyFromPasswordTest, SixteenCharactersAreUsedAsTheyAre) {
  MessageBoxRecorder boxes;
  EXPECT_EQ(KeyFromPassword("0123456789abcdef", 16), "30313233343536373839616263646566");
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(KeyFromPasswordTest, SeventeenCharactersAreRefusedWithAWarning) {
  MessageBoxRecorder boxes;
  EXPECT_EQ(KeyFromPassword("0123456789abcdefg", 16), "");
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Password is to long for current encryption alghorithm");
  EXPECT_EQ(boxes.Boxes()[0].title, "Veilor Warning");
  EXPECT_EQ(boxes.Boxes()[0].style, wxOK | wxCENTRE | wxICON_WARNING);
}

// The key text is made of the ANSI code page's bytes: UTF-8 on POSIX (the
// test main's locale), Windows-1252 on a Western Windows.
#ifdef _WIN32
TEST(KeyFromPasswordTest, KeyTextUsesTheCodePageBytes) {
  if (GetACP() != 1252) GTEST_SKIP() << "expectations are for code page 1252";
  EXPECT_EQ(KeyFromPassword(wxString::FromUTF8("p\xC3\xA4ss"), 16),
            "70E47373020202020202020202020202");
  // A letter the code page lacks gives no key rather than a lookalike's.
  EXPECT_EQ(KeyFromPassword(wxString::FromUTF8("\xC5\xBC"), 16), "");
}
#else
// A character that takes two bytes in the code page makes the key text longer
// than 32 digits, which the batch then refuses as a wrong key length.
TEST(KeyFromPasswordTest, MultiByteCharactersLengthenTheKeyText) {
  const wxString key = KeyFromPassword(wxString::FromUTF8("p\xC3\xA4ss"), 16);
  EXPECT_EQ(key,
            "70C3A473730202020202020202020202"
            "02");
  EXPECT_EQ(key.length(), 34u);
}
#endif

}  // namespace

#include <gtest/gtest.h>

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

// A character that takes two bytes in the code page makes the key text longer
// than 32 digits, which the batch then refuses as a wrong key length.
TEST(KeyFromPasswordTest, MultiByteCharactersLengthenTheKeyText) {
  const wxString key = KeyFromPassword(wxString::FromUTF8("p\xC3\xA4ss"), 16);
  EXPECT_EQ(key,
            "70C3A473730202020202020202020202"
            "02");
  EXPECT_EQ(key.length(), 34u);
}

}  // namespace

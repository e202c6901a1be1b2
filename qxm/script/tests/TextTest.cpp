// The tokenizer and the multibyte-aware text helpers of the script language.
#include <gtest/gtest.h>

#include <limits>

#include "script/ScriptText.h"
#include "script/Tokenizer.h"
#include "support/TokenizerSeam.h"

namespace {

std::vector<std::string> AllTokens(std::string_view text, std::string_view delimiters,
                                   TextRules rules = TextRules()) {
  Tokenizer tokenizer(text, delimiters, std::move(rules));
  std::vector<std::string> tokens;
  for (std::string token = tokenizer.Next(); !token.empty(); token = tokenizer.Next()) {
    tokens.push_back(token);
  }
  return tokens;
}

// Shift-JIS style: 0x81-0x9F and 0xE0-0xFC start a two-byte character whose
// trail byte may be an ASCII value such as the backslash.
TextRules ShiftJis() {
  return TextRules::DoubleByte(
      [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); });
}

TEST(TokenizerTest, DelimiterRunsGiveNoEmptyTokens) {
  EXPECT_EQ(AllTokens(";;a;;b;", ";"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(AllTokens("\r\n\r\nline1\r\n\n\rline2\n", "\r\n"),
            (std::vector<std::string>{"line1", "line2"}));
  EXPECT_EQ(AllTokens("  ", "\r\n"), (std::vector<std::string>{"  "}));
  EXPECT_TRUE(AllTokens("", ";").empty());
  EXPECT_TRUE(AllTokens(";;;", ";").empty());
}

TEST(TokenizerTest, PositionFollowsTheDelimiterAndEndsAtMinusOne) {
  Tokenizer tokenizer("ab;;c", ";");
  EXPECT_EQ(tokenizer.Next(), "ab");
  EXPECT_EQ(TokenizerSeam::Position(tokenizer), 3);
  EXPECT_EQ(tokenizer.Next(), "c");
  EXPECT_EQ(TokenizerSeam::Position(tokenizer), 5);
  EXPECT_EQ(tokenizer.Next(), "");
  EXPECT_EQ(TokenizerSeam::Position(tokenizer), -1);
  EXPECT_EQ(tokenizer.Next(), "");  // stays at the end
  EXPECT_EQ(TokenizerSeam::Position(tokenizer), -1);
}

TEST(TokenizerTest, TrailBytesOfDoubleByteCharactersAreNotDelimiters) {
  // 0x95 0x5C is one character whose second byte is a backslash.
  const std::string path = "Crypto\\\x95\x5C\\Deep";
  EXPECT_EQ(AllTokens(path, "\\", ShiftJis()),
            (std::vector<std::string>{"Crypto", "\x95\x5C", "Deep"}));
  // Byte by byte the same text loses the trail byte to the delimiter run.
  EXPECT_EQ(AllTokens(path, "\\"), (std::vector<std::string>{"Crypto", "\x95", "Deep"}));
  // A lead byte at the very end has no partner and stays a byte of its own.
  EXPECT_EQ(AllTokens("a;\x95", ";", ShiftJis()), (std::vector<std::string>{"a", "\x95"}));
}

TEST(ScriptTextTest, TrimRemovesTheSixWhiteSpaceCharactersOnly) {
  EXPECT_EQ(TrimSpace(" \t\v\f\r\n x y \t\r\n", TextRules()), "x y");
  EXPECT_EQ(TrimSpace("   ", TextRules()), "");
  EXPECT_EQ(TrimSpace("\xA0x\xA0", TextRules()), "\xA0x\xA0");
}

TEST(ScriptTextTest, TrimKeepsADoubleByteCharacterWhole) {
  // 0x81 0x20 is one character although its trail byte is a blank.
  EXPECT_EQ(TrimSpace(" a\x81 ", ShiftJis()), "a\x81 ");
  EXPECT_EQ(TrimSpace(" a\x81 ", TextRules()), "a\x81");
}

TEST(ScriptTextTest, ReplaceNeverRescansWhatItInserted) {
  const TextRules bytes;
  EXPECT_EQ(ReplaceAll("a%eb", "%e", "", bytes), "ab");
  EXPECT_EQ(ReplaceAll("%%ee", "%e", "", bytes), "%e");
  EXPECT_EQ(ReplaceAll("x %f %f", "%f", "[%f]", bytes), "x [%f] [%f]");
  EXPECT_EQ(ReplaceAll("none", "%f", "y", bytes), "none");
  EXPECT_EQ(ReplaceAll("", "%f", "y", bytes), "");
}

TEST(ScriptTextTest, MatchesOnlyAtCharacterBoundaries) {
  // 0x81 0x25 is one character; its trail byte is not the "%" of "%e".
  EXPECT_EQ(ReplaceAll("\x81%e", "%e", "", ShiftJis()), "\x81%e");
  EXPECT_EQ(ReplaceAll("\x81%e", "%e", "", TextRules()), "\x81");
  EXPECT_EQ(FindLastChar("a.b\x81.", '.', ShiftJis()), 1u);
  EXPECT_EQ(FindLastChar("a.b\x81.", '.', TextRules()), 4u);
  EXPECT_EQ(FindLastChar("abc", '.', TextRules()), std::string::npos);
}

TEST(ScriptTextTest, DecimalValueReadsLikeTheCLibrary) {
  EXPECT_EQ(DecimalValue("12"), 12);
  EXPECT_EQ(DecimalValue("  -7x"), -7);
  EXPECT_EQ(DecimalValue("+3 4"), 3);
  EXPECT_EQ(DecimalValue("x"), 0);
  EXPECT_EQ(DecimalValue(""), 0);
  EXPECT_EQ(DecimalValue("-"), 0);
  EXPECT_EQ(DecimalValue("007"), 7);
}

TEST(ScriptTextTest, DecimalValueClampsInsteadOfOverflowing) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(DecimalValue("2147483647"), kMax);
  EXPECT_EQ(DecimalValue("2147483648"), kMax);
  EXPECT_EQ(DecimalValue("99999999999999999999999"), kMax);
  EXPECT_EQ(DecimalValue("-2147483648"), kMin);
  EXPECT_EQ(DecimalValue("-99999999999999999999999"), kMin);
}

}  // namespace

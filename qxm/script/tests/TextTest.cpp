#include <gtest/gtest.h>

#include "script/ScriptText.h"
#include "script/Tokenizer.h"

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

TEST(TokenizerTest, DelimiterRunsGiveNoEmptyTokens) {
  EXPECT_EQ(AllTokens(";;a;;b;", ";"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(AllTokens("\r\n\r\nline1\r\n\n\rline2\n", "\r\n"),
            (std::vector<std::string>{"line1", "line2"}));
  EXPECT_TRUE(AllTokens("", ";").empty());
  EXPECT_TRUE(AllTokens(";;;", ";").empty());
}
}  // namespace

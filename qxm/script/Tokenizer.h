#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "TextRules.h"

// Splits text into runs of characters that are not in a delimiter set. Leading,
// trailing and repeated delimiters yield no empty tokens, so an empty token
// means that there are no more. Lines, the fields of an item line and the names
// of a submenu path are all cut this way.
class Tokenizer {
public:
  // The text must outlive the tokenizer.
  Tokenizer(std::string_view text, std::string_view delimiters, TextRules rules = TextRules());

  // The next token, or the empty string once the text is used up.
  std::string Next();

private:
  bool IsDelimiterAt(std::size_t pos, std::size_t length) const;

  std::string_view text_;
  std::string_view delimiters_;
  TextRules rules_;
  // Where the next search starts: just past the delimiter that ended the last
  // token, or -1 once the end was reached.
  std::ptrdiff_t position_ = 0;

  friend struct TokenizerSeam;
};

#include "Tokenizer.h"

Tokenizer::Tokenizer(std::string_view text, std::string_view delimiters, TextRules rules)
    : text_(text), delimiters_(delimiters), rules_(std::move(rules)) {}

bool Tokenizer::IsDelimiterAt(std::size_t pos, std::size_t length) const {
  // Delimiters are single bytes; a byte inside a longer character never is one.
  return length == 1 && delimiters_.find(text_[pos]) != std::string_view::npos;
}

std::string Tokenizer::Next() {
  if (position_ < 0) return std::string();
  auto pos = static_cast<std::size_t>(position_);
  while (pos < text_.size()) {
    const std::size_t length = rules_.CharLength(text_, pos);
    if (!IsDelimiterAt(pos, length)) break;
    pos += length;
  }
  if (pos >= text_.size()) {
    position_ = -1;
    return std::string();
  }
  const std::size_t begin = pos;
  while (pos < text_.size()) {
    const std::size_t length = rules_.CharLength(text_, pos);
    if (IsDelimiterAt(pos, length)) {
      position_ = static_cast<std::ptrdiff_t>(pos + 1);
      return std::string(text_.substr(begin, pos - begin));
    }
    pos += length;
  }
  position_ = static_cast<std::ptrdiff_t>(pos);
  return std::string(text_.substr(begin));
}

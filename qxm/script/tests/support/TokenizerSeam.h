#pragma once

#include <cstddef>

#include "script/Tokenizer.h"

// Lets a test see where the tokenizer resumes its search.
struct TokenizerSeam {
  static std::ptrdiff_t Position(const Tokenizer& tokenizer) { return tokenizer.position_; }
};

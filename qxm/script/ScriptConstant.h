#pragma once

#include <cstdint>
#include <string>

// One numbered constant of a script: the path of an icon or a program.
struct ScriptConstant {
  std::int32_t id = 0;     // never negative once stored
  std::string value;       // a path that existed when the line was parsed
  std::string sourceLine;  // the trimmed "%" line: what the stored script keeps
};

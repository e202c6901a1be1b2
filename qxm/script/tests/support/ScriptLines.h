#pragma once

#include <initializer_list>
#include <string>

#include "script/MenuScript.h"

// Parses lines into a script the way loading a file does, without a file and
// without the checks that only a whole file gets.
inline void AddLines(MenuScript& script, std::initializer_list<std::string> lines) {
  for (const std::string& line : lines) {
    ScriptItem item;
    bool isItem = false;
    script.ParseLine(line, item, isItem);
    if (isItem) script.items.push_back(item);
  }
}

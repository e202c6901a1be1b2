#pragma once

#include <vector>

#include "shell/ZQXM.h"

// Reads an object's state for the tests, which the class itself does not
// offer: what was selected, what applies, what was painted last.
class ZQXMProbe {
public:
  static bool MenuActive(const CZQXM& object) { return object.menuActive_; }
  static const PaintState& Painted(const CZQXM& object) { return object.painted_; }
  static const std::vector<PathText>& SelectedPaths(const CZQXM& object) {
    return object.selectedPaths_;
  }
  static const MenuScript& Script(const CZQXM& object) { return object.script_; }
};

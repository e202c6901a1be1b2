#pragma once

#include <vector>

#include <wx/defs.h>
#include <wx/string.h>

#include "6_ui/MessageBox.h"

// Answers every message box while alive (with OK, or the answer given) and
// keeps what was shown.
class MessageBoxRecorder {
public:
  struct Box {
    wxString text;
    wxString title;
    long style;
  };

  explicit MessageBoxRecorder(int answer = wxOK);
  ~MessageBoxRecorder();

  const std::vector<Box>& Boxes() const { return boxes_; }

private:
  std::vector<Box> boxes_;
  MessageBoxHandler previous_;
};

#pragma once

#include <vector>

#include <wx/string.h>

#include "core/MessageBox.h"

// Answers every message box with OK while alive and keeps what was shown.
class MessageBoxRecorder {
public:
  struct Box {
    wxString text;
    wxString title;
    long style;
  };

  MessageBoxRecorder();
  ~MessageBoxRecorder();

  const std::vector<Box>& Boxes() const { return boxes_; }

private:
  std::vector<Box> boxes_;
  MessageBoxHandler previous_;
};

#include "MessageBoxRecorder.h"

#include <wx/defs.h>

MessageBoxRecorder::MessageBoxRecorder() {
  previous_ = SetMessageBoxHandler([this](const wxString& text, const wxString& title, long style) {
    boxes_.push_back({text, title, style});
    return wxOK;
  });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHandler(previous_); }

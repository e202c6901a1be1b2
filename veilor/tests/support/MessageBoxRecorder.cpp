#include "MessageBoxRecorder.h"

#include <wx/defs.h>

MessageBoxRecorder::MessageBoxRecorder(int answer) {
  previous_ =
      SetMessageBoxHandler([this, answer](const wxString& text, const wxString& title, long style) {
        boxes_.push_back({text, title, style});
        return answer;
      });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHandler(previous_); }

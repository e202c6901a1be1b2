#include "6_ui/MessageBox.h"

#include <utility>

#include <wx/msgdlg.h>

namespace {
MessageBoxHandler& CurrentHandler() {
  static MessageBoxHandler handler;
  return handler;
}
}  // namespace

int ShowMessageBox(const wxString& text, const wxString& title, long style) {
  if (const MessageBoxHandler& handler = CurrentHandler()) {
    return handler(text, title, style);
  }
  return wxMessageBox(text, title, style, nullptr);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  return std::exchange(CurrentHandler(), std::move(handler));
}

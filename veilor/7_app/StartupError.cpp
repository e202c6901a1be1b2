#include "7_app/StartupError.h"

#include <cstdio>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "6_ui/MessageBox.h"

#ifdef __WINDOWS__
#include <windows.h>
#endif

namespace {
wxString& Pending() {
  static wxString message;
  return message;
}

bool& Reported() {
  static bool reported = false;
  return reported;
}

void PrintError(const wxString& text) {
  const wxString line = Msg(msg::PlainErrorTitle) + Msg(msg::Colon) + Msg(msg::Space) + text + "\n";
  std::fputs(line.utf8_str(), stderr);
  std::fflush(stderr);
}
}  // namespace

void ReportStartupError(const wxString& message) {
  if (Reported()) return;
  Reported() = true;
  Pending() = message;
#ifdef __WINDOWS__
  MessageBoxW(nullptr, message.wc_str(), Msg(msg::PlainErrorTitle).wc_str(), MB_OK | MB_ICONHAND);
#endif
}

bool HasStartupError() { return Reported(); }

void ShowPendingStartupError() {
#ifndef __WINDOWS__
  if (Reported()) ShowMessageBox(Pending(), Msg(msg::PlainErrorTitle), wxOK | wxICON_ERROR);
#endif
}

void ReportNoDisplay() {
  if (Reported()) PrintError(Pending());
  PrintError(Msg(msg::NoDisplay));
}

#include "7_app/StartupError.h"

#include <cstdio>
#include <optional>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "6_ui/MessageBox.h"

#ifdef __WINDOWS__
#include <windows.h>
#endif

namespace {
// The first error reported, kept until the toolkit can show it.
std::optional<wxString>& Pending() {
  static std::optional<wxString> message;
  return message;
}

void PrintError(const wxString& text) {
  const wxString line = Msg(msg::PlainErrorTitle) + Msg(msg::Colon) + Msg(msg::Space) + text + "\n";
  std::fputs(line.utf8_str(), stderr);
  std::fflush(stderr);
}
}  // namespace

void ReportStartupError(const wxString& message) {
  if (Pending()) return;
  Pending() = message;
#ifdef __WINDOWS__
  MessageBoxW(nullptr, message.wc_str(), Msg(msg::PlainErrorTitle).wc_str(), MB_OK | MB_ICONHAND);
#endif
}

bool HasStartupError() { return Pending().has_value(); }

void ShowPendingStartupError() {
#ifndef __WINDOWS__
  if (Pending()) ShowMessageBox(*Pending(), Msg(msg::PlainErrorTitle), wxOK | wxICON_ERROR);
#endif
}

void ReportNoDisplay() {
  if (Pending()) PrintError(*Pending());
  PrintError(Msg(msg::NoDisplay));
}

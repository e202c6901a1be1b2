#pragma once

#include "6_ui/AdministratorPrompt.h"

class wxWindow;

// The administrator prompt the program shows: the skinned password window
// without its browse button, and a warning box.
class CAdministratorWindowPrompt : public CAdministratorPrompt {
public:
  explicit CAdministratorWindowPrompt(wxWindow* parent) : parent_(parent) {}

  std::optional<wxString> AskPassword() override;
  void Warn(const wxString& text) override;

private:
  wxWindow* parent_;
};

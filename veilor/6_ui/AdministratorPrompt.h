#pragma once

#include <optional>

#include <wx/string.h>

// How the administrator check asks for the password and warns of a wrong
// one, so that the check can run against something other than a window.
class CAdministratorPrompt {
public:
  virtual ~CAdministratorPrompt() = default;

  // The typed password; nothing when the user cancelled.
  virtual std::optional<wxString> AskPassword() = 0;

  virtual void Warn(const wxString& text) = 0;
};

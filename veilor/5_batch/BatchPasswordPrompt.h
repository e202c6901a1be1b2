#pragma once

#include <optional>

#include <wx/string.h>

// How a batch asks the user for its password; the windows layer implements it.
class CBatchPasswordPrompt {
public:
  virtual ~CBatchPasswordPrompt() = default;

  // The prompt, whether stored passwords are offered and whether a typed
  // password must be typed twice; nothing when the user cancelled.
  virtual std::optional<wxString> AskPassword(const wxString& prompt, bool offerStored,
                                              bool askTwice) = 0;

  // Points out a problem with a password before the batch goes on.
  virtual void Warn(const wxString& text) = 0;
};

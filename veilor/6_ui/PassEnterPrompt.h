#pragma once

#include "5_batch/BatchPasswordPrompt.h"

class CPasswordManager;

// A batch's password prompt: the skinned password window, whose browse
// button offers the given stored passwords, and warning boxes.
class CPassEnterPrompt : public CBatchPasswordPrompt {
public:
  explicit CPassEnterPrompt(CPasswordManager& passwords) : passwords_(passwords) {}

  std::optional<wxString> AskPassword(const wxString& prompt, bool offerStored,
                                      bool askTwice) override;
  void Warn(const wxString& text) override;

private:
  CPasswordManager& passwords_;
};

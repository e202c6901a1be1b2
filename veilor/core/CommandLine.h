#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

// The one action a run performs, chosen from the argument count and the verb.
enum class Action {
  None,
  About,
  Settings,
  PasswordManager,
  EncryptAes,
  DecryptAes,
  EncryptDes3,
  DecryptDes3,
};

struct Command {
  Action action = Action::None;
  wxString pathList;  // the comma-joined files and folders of a cipher verb
};

// `args` is the whole argument vector, program name first. Verbs are matched
// exactly and case-sensitively; anything else, and any other argument count,
// gives Action::None.
Command ParseCommandLine(const wxArrayString& args);

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
  EncryptAge,
  DecryptAge,
  Help,
  Version,
};

struct Command {
  Action action = Action::None;
  // The arguments after a cipher verb, as given: one comma-joined list, or one
  // path each (see CollectArguments).
  wxArrayString paths;
};

// `args` is the whole argument vector, program name first. Verbs are matched
// exactly and case-sensitively. A cipher verb takes one or more arguments
// after it; the other verbs none. Anything else gives Action::None.
Command ParseCommandLine(const wxArrayString& args);

// What "--help" prints, and an unknown command line to the error stream: the
// verbs and what they take.
wxString UsageText();
// What "--version" prints: the program's name and the version of this build.
wxString VersionText();

// Prints the answer to "--help" or "--version" on standard output; false,
// printing nothing, for any other command. Needs no toolkit, so that these
// work without a display.
bool PrintAnswer(const Command& command);

#include "7_app/CommandLine.h"

#include <cstdio>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "1_base/ProductVersion.h"

namespace {

struct VerbEntry {
  int textId;
  Action action;
};

// Verbs that stand alone, and verbs that take the list of paths.
constexpr VerbEntry kPlainVerbs[] = {
    {msg::VerbSettings, Action::Settings},
    {msg::VerbAbout, Action::About},
    {msg::VerbPasswordManager, Action::PasswordManager},
    {msg::OptionHelp, Action::Help},
    {msg::OptionVersion, Action::Version},
};
constexpr VerbEntry kCipherVerbs[] = {
    {msg::VerbAese, Action::EncryptAes},   {msg::VerbAesd, Action::DecryptAes},
    {msg::VerbDes3e, Action::EncryptDes3}, {msg::VerbDes3d, Action::DecryptDes3},
    {msg::VerbAgee, Action::EncryptAge},   {msg::VerbAged, Action::DecryptAge},
};

template <std::size_t N>
Action Lookup(const VerbEntry (&table)[N], const wxString& verb) {
  for (const VerbEntry& entry : table) {
    if (verb == Msg(entry.textId)) return entry.action;
  }
  return Action::None;
}

}  // namespace

Command ParseCommandLine(const wxArrayString& args) {
  Command command;
  if (args.size() == 1) {
    command.action = Action::About;
  } else if (args.size() == 2) {
    command.action = Lookup(kPlainVerbs, args[1]);
  } else {
    command.action = Lookup(kCipherVerbs, args[1]);
    if (command.action != Action::None) {
      for (std::size_t i = 2; i < args.size(); ++i) command.paths.Add(args[i]);
    }
  }
  return command;
}

wxString UsageText() { return Msg(msg::UsageText); }

wxString VersionText() { return Msg(msg::ProgramName) + Msg(msg::Space) + kProductVersion + "\n"; }

bool PrintAnswer(const Command& command) {
  if (command.action != Action::Help && command.action != Action::Version) return false;
  std::fputs((command.action == Action::Help ? UsageText() : VersionText()).utf8_str(), stdout);
  std::fflush(stdout);
  return true;
}

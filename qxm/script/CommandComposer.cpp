#include "CommandComposer.h"

#include <string>

#include "MenuScript.h"
#include "ScriptText.h"

namespace {

// Appended in place rather than built from temporaries: GCC 12 at -O3 reports a
// false overlap for chains of string concatenations (its bug 105329).
void AppendQuoted(PathText& out, const PathText& text) {
  out += '"';
  out += text;
  out += '"';
}

}  // namespace

PathText PathList(const std::vector<PathText>& paths) {
  PathText list;
  for (const PathText& path : paths) {
    AppendQuoted(list, path);
    list += ',';
  }
  return list;
}

ComposedCommand ComposeCommand(const MenuScript& script, std::int32_t index,
                               const std::vector<PathText>& paths) {
  ComposedCommand command;
  AppendQuoted(command.program, script.FromAnsi(script.GetExecutable(index)));
  // The placeholder is found in the script's own text, character by character,
  // and only the text between placeholders is converted.
  const std::string arguments = script.GetArguments(index);
  const PathText list = PathList(paths);
  const std::string placeholder = "%f";
  std::size_t copied = 0;
  for (std::size_t found = FindText(arguments, placeholder, script.Text());
       found != std::string::npos;
       found = FindText(arguments, placeholder, script.Text(), copied)) {
    command.parameters += script.FromAnsi(arguments.substr(copied, found - copied));
    command.parameters += list;
    copied = found + placeholder.size();
  }
  command.parameters += script.FromAnsi(arguments.substr(copied));
  return command;
}

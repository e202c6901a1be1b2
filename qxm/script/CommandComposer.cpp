#include "CommandComposer.h"

#include <string>

#include "MenuScript.h"
#include "ScriptText.h"

namespace {

const PathText kQuote(1, '"');
const PathText kComma(1, ',');

}  // namespace

PathText PathList(const std::vector<PathText>& paths) {
  PathText list;
  for (const PathText& path : paths) list += kQuote + path + kQuote + kComma;
  return list;
}

ComposedCommand ComposeCommand(const MenuScript& script, std::int32_t index,
                               const std::vector<PathText>& paths) {
  ComposedCommand command;
  command.program = kQuote + script.FromAnsi(script.GetExecutable(index)) + kQuote;
  // The placeholder is found in the script's own text, character by character,
  // and only the text between placeholders is converted.
  const std::string arguments = script.GetArguments(index);
  const PathText list = PathList(paths);
  const std::string placeholder = "%f";
  std::size_t copied = 0;
  for (std::size_t found = FindText(arguments, placeholder, script.Text());
       found != std::string::npos;
       found = FindText(arguments, placeholder, script.Text(), copied)) {
    command.parameters += script.FromAnsi(arguments.substr(copied, found - copied)) + list;
    copied = found + placeholder.size();
  }
  command.parameters += script.FromAnsi(arguments.substr(copied));
  return command;
}

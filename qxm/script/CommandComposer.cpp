#include "CommandComposer.h"

#include "MenuScript.h"
#include "ScriptText.h"

std::string PathList(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& path : paths) list += "\"" + path + "\",";
  return list;
}

ComposedCommand ComposeCommand(const MenuScript& script, std::int32_t index,
                               const std::vector<std::string>& paths) {
  ComposedCommand command;
  command.program = "\"" + script.GetExecutable(index) + "\"";
  command.parameters = ReplaceAll(script.GetArguments(index), "%f", PathList(paths), script.Text());
  return command;
}

#include "tool/QxmTool.h"

#include <map>

#include "script/MenuModel.h"
#include "script/MenuScript.h"
#include "script/QXMException.h"
#include "script/Registry.h"
#include "script/ScriptStorage.h"
#include "tool/MenuPrinter.h"
#include "tool/ToolText.h"

namespace {

constexpr char kMainHelp[] =
    "Usage: qxm COMMAND [ARGUMENTS]\n"
    "Installs, inspects and tries the context-menu script without Explorer.\n"
    "\n"
    "Commands:\n"
    "  install FILE   parse and check the script FILE and store it as the installed script\n"
    "  uninstall      delete the installed script\n"
    "  show           print the installed script's stored lines\n"
    "  menu PATH...   print the context menu offered for the selected PATHs\n"
    "\n"
    "'qxm COMMAND --help' describes one command. The installed script lives in\n"
    "HKEY_LOCAL_MACHINE\\Software\\Ordal context menu on Windows and under /etc/qxm\n"
    "elsewhere; the environment variable QXM_REGISTRY_DIR moves the latter.\n";

struct Command {
  const char* usage;
  const char* description;
  int (*run)(const std::vector<std::string>& args, Registry&, std::ostream&, std::ostream&);
  std::size_t minArgs;
  std::size_t maxArgs;
};

ScriptServices ToolServices(std::ostream& err) {
  ScriptServices services = ScriptServices::Platform();
  services.showWarning = [&err](const std::string& text, const std::string& caption) {
    err << caption << ": " << text << '\n';
  };
  return services;
}

int Install(const std::vector<std::string>& args, Registry& registry, std::ostream& out,
            std::ostream& err) {
  MenuScript script(ToolServices(err));
  try {
    script.InstallScript(AnsiFromArgument(args[0]), registry);
  } catch (const CQXMException& error) {
    err << error.GetMessage() << '\n';
    return kExitFailure;
  }
  out << "Installed " << args[0] << ": items " << script.items.size() << ", constants "
      << script.constants.size() << '\n';
  return kExitOk;
}

int Uninstall(const std::vector<std::string>&, Registry& registry, std::ostream&,
              std::ostream& err) {
  try {
    DeleteStoredScript(registry);
  } catch (const CQXMException& error) {
    err << error.GetMessage() << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

int Show(const std::vector<std::string>&, Registry& registry, std::ostream& out,
         std::ostream& err) {
  const auto key = OpenStoredScript(registry);
  if (!key) {
    err << "qxm: no script is installed\n";
    return kExitFailure;
  }
  // Exactly what loading takes: each series up to its first unusable value.
  const ValueList stored = StoredValues(*key);
  for (const auto& valueName : {LineValueName, ImgValueName}) {
    for (std::size_t i = 0;; ++i) {
      const std::string name = valueName(i);
      const auto line = ReadStoredLine(stored, name);
      if (!line) break;
      out << name << '=' << *line << '\n';
    }
  }
  return kExitOk;
}

int Menu(const std::vector<std::string>& args, Registry& registry, std::ostream& out,
         std::ostream& err) {
  std::vector<PathText> paths;
  for (const std::string& arg : args) paths.push_back(PathFromArgument(arg));
  MenuScript script(ToolServices(err));
  try {
    script.LoadFromRegistry(registry);
    script.SelectItems(paths);
  } catch (const CQXMException& error) {
    err << error.GetMessage() << '\n';
    return kExitFailure;
  }
  PrintMenu(BuildMenu(script, paths), out);
  return kExitOk;
}

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {
      {"install",
       {"Usage: qxm install FILE\n",
        "Parses the script FILE, checks it and stores it as the installed script, replacing\n"
        "the one stored before. On an error the script's message goes to standard error\n"
        "and nothing is stored.\n",
        Install, 1, 1}},
      {"uninstall",
       {"Usage: qxm uninstall\n",
        "Deletes the installed script, if there is one. When it cannot be deleted, the\n"
        "reason goes to standard error and the exit status is 1.\n",
        Uninstall, 0, 0}},
      {"show",
       {"Usage: qxm show\n",
        "Prints the installed script's stored lines in the order they are loaded, one\n"
        "NAME=TEXT line each.\n",
        Show, 0, 0}},
      {"menu",
       {"Usage: qxm menu PATH...\n",
        "Loads the installed script as the context menu does, selects its items for the\n"
        "PATHs and prints the menu the user would see: one line per entry, indented by\n"
        "two spaces per submenu level, '> NAME' for a submenu, '---' for a separator and\n"
        "'NAME  =>  PROGRAM PARAMETERS' for a command. Prints nothing when no item applies.\n",
        Menu, 1, static_cast<std::size_t>(-1)}},
  };
  return commands;
}

}  // namespace

int RunQxm(const std::vector<std::string>& args, Registry& registry, std::ostream& out,
           std::ostream& err) {
  if (args.empty()) {
    err << kMainHelp;
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h") {
    out << kMainHelp;
    return kExitOk;
  }
  const auto found = Commands().find(args[0]);
  if (found == Commands().end()) {
    err << "qxm: unknown command '" << args[0] << "'\n" << kMainHelp;
    return kExitUsage;
  }
  const Command& command = found->second;
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (!rest.empty() && (rest[0] == "--help" || rest[0] == "-h")) {
    out << command.usage << command.description;
    return kExitOk;
  }
  if (rest.size() < command.minArgs || rest.size() > command.maxArgs) {
    err << command.usage << "Run 'qxm " << args[0] << " --help' for more.\n";
    return kExitUsage;
  }
  return command.run(rest, registry, out, err);
}

#include "tool/QxmTool.h"

#include <functional>
#include <map>

#include "script/MenuModel.h"
#include "script/MenuScript.h"
#include "script/QXMException.h"
#include "script/Registry.h"
#include "script/ScriptStorage.h"
#include "tool/MenuPrinter.h"
#include "tool/ToolText.h"
#ifndef _WIN32
#include "tool/DesktopMenu.h"
#include "tool/FileManagerMenus.h"
#include "tool/InstallLock.h"
#include "tool/ThunarMenu.h"
#endif

struct MenuFolders;

namespace {

// The Linux command has the file managers' menus and two scopes; the Windows
// one stays as it was.
#ifdef _WIN32
#define QXM_SYSTEM ""
#define QXM_SYSTEM_LAST ""
#define QXM_STORE_HELP                                                               \
  "HKEY_LOCAL_MACHINE\\Software\\Ordal context menu on Windows and under /etc/qxm\n" \
  "elsewhere; the environment variable QXM_REGISTRY_DIR moves the latter.\n"
#define QXM_INSTALL_HELP ""
#define QXM_UNINSTALL_HELP ""
#define QXM_SHOW_HELP ""
#define QXM_SYNC_LINE ""
#else
#define QXM_SYSTEM "[--system] "
#define QXM_SYSTEM_LAST " [--system]"
#define QXM_STORE_HELP                                                                  \
  "$XDG_CONFIG_HOME/qxm (~/.config/qxm) for the current user, and under /etc/qxm for\n" \
  "all users when a command has --system after its name; the environment variable\n"    \
  "QXM_REGISTRY_DIR moves both. install also writes the file managers' menus.\n"
#define QXM_INSTALL_HELP                                                                 \
  "It then replaces the file managers' menus written before with the script's:\n"        \
  "Nautilus scripts, Nemo actions, Dolphin service menus and actions merged into\n"      \
  "Thunar's uca.xml, for the current user or, with --system, for all users (Nautilus\n"  \
  "has no such place). What a format cannot show, such as separators or submenus, is\n"  \
  "said once per kind on standard output. Each selected path is passed to the program\n" \
  "as an argument of its own where the script has %f.\n"
#define QXM_UNINSTALL_HELP                                                          \
  "The file managers' menus that install wrote go too, and nothing else: every\n"   \
  "file that carries qxm's mark, found where the file managers look or where the\n" \
  "install's record says, and qxm's actions in uca.xml. Install and uninstall\n"    \
  "wait up to 30 seconds for one another.\n"
#define QXM_SHOW_HELP \
  "A user without a script of their own is shown the one installed for all users.\n"
#define QXM_SYNC_LINE \
  "  sync-user      bring the menu for all users into the current user's Thunar actions\n"
#endif

constexpr char kMainHelp[] =
    "Usage: qxm COMMAND [ARGUMENTS]\n"
    "Installs, inspects and tries the context-menu script without Explorer.\n"
    "\n"
    "Commands:\n"
    "  install FILE   parse and check the script FILE and store it as the installed script\n"
    "  uninstall      delete the installed script\n"
    "  show           print the installed script's stored lines\n"
    "  menu PATH...   print the context menu offered for the selected PATHs\n" QXM_SYNC_LINE
    "\n"
    "'qxm COMMAND --help' describes one command. The installed script lives in\n" QXM_STORE_HELP;

// Where one run of a command works.
struct Place {
  Registry& registry;
  // Read by show and menu when registry holds no script: the script installed
  // for all users, while a user has none of their own.
  Registry* fallback = nullptr;
  // Where install writes the file managers' menus; none on Windows.
  const MenuFolders* folders = nullptr;
};

struct Command {
  const char* usage;
  const char* description;
  int (*run)(const std::vector<std::string>& args, Place&, std::ostream&, std::ostream&);
  std::size_t minArgs;
  std::size_t maxArgs;
  bool changesStore = false;  // runs alone: never beside another that changes it
};

Registry& ReadFrom(Place& place) {
  if (place.fallback != nullptr && !OpenStoredScript(place.registry)) return *place.fallback;
  return place.registry;
}

ScriptServices ToolServices(std::ostream& err) {
  ScriptServices services = ScriptServices::Platform();
  services.showWarning = [&err](const std::string& text, const std::string& caption) {
    err << caption << ": " << text << '\n';
  };
  return services;
}

int Install(const std::vector<std::string>& args, Place& place, std::ostream& out,
            std::ostream& err) {
  MenuScript script(ToolServices(err));
  try {
    script.InstallScript(AnsiFromArgument(args[0]), place.registry);
  } catch (const CQXMException& error) {
    err << error.GetMessage() << '\n';
    return kExitFailure;
  }
  out << "Installed " << args[0] << ": items " << script.items.size() << ", constants "
      << script.constants.size() << '\n';
#ifndef _WIN32
  if (place.folders != nullptr && !InstallMenus(script, *place.folders, place.registry, out, err)) {
    return kExitFailure;
  }
  if (place.fallback != nullptr && OpenStoredScript(*place.fallback)) {
    out << "For the current user this script replaces the one installed for all users: "
           "the file managers show its menu in place of theirs\n";
  }
#endif
  return kExitOk;
}

int Uninstall(const std::vector<std::string>&, Place& place, std::ostream&, std::ostream& err) {
  bool menusRemoved = true;
#ifndef _WIN32
  if (place.folders != nullptr) menusRemoved = UninstallMenus(place.registry, *place.folders, err);
#endif
  try {
    DeleteStoredScript(place.registry);
  } catch (const CQXMException& error) {
    err << error.GetMessage() << '\n';
    return kExitFailure;
  }
  return menusRemoved ? kExitOk : kExitFailure;
}

int Show(const std::vector<std::string>&, Place& place, std::ostream& out, std::ostream& err) {
  const auto key = OpenStoredScript(ReadFrom(place));
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

int Menu(const std::vector<std::string>& args, Place& place, std::ostream& out, std::ostream& err) {
  std::vector<PathText> paths;
  for (const std::string& arg : args) paths.push_back(PathFromArgument(arg));
  MenuScript script(ToolServices(err));
  try {
    script.LoadFromRegistry(ReadFrom(place));
    script.SelectItems(paths);
  } catch (const CQXMException& error) {
    err << error.GetMessage() << '\n';
    return kExitFailure;
  }
  PrintMenu(BuildMenu(script, paths), out);
  return kExitOk;
}

#ifndef _WIN32
int SyncUser(const std::vector<std::string>&, Place& place, std::ostream&, std::ostream& err) {
  if (place.fallback == nullptr || place.folders == nullptr) {
    err << "qxm: sync-user works for the current user only\n";
    return kExitUsage;
  }
  // A user's own script replaces the one for all users; its install wrote
  // the user's menus.
  if (OpenStoredScript(place.registry)) {
    return KeepUsersOwnMenus(*place.folders, err) ? kExitOk : kExitFailure;
  }
  std::string actions;
  if (OpenStoredScript(*place.fallback)) {
    MenuScript script(ToolServices(err));
    try {
      script.LoadFromRegistry(*place.fallback);
    } catch (const CQXMException& error) {
      err << error.GetMessage() << '\n';
      return kExitFailure;
    }
    std::vector<std::string> problems;
    Losses losses;  // said when the menu for all users was installed
    actions = ThunarActions(BuildDesktopMenu(script, problems), losses, kThunarAllUsersIdPrefix);
  }
  return SyncUserThunar(*place.folders, actions, err) ? kExitOk : kExitFailure;
}
#endif

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {
      {"install",
       {"Usage: qxm install " QXM_SYSTEM "FILE\n",
        "Parses the script FILE, checks it and stores it as the installed script, replacing\n"
        "the one stored before. On an error the script's message goes to standard error\n"
        "and nothing is stored.\n" QXM_INSTALL_HELP,
        Install, 1, 1, true}},
      {"uninstall",
       {"Usage: qxm uninstall" QXM_SYSTEM_LAST "\n",
        "Deletes the installed script, if there is one. When it cannot be deleted, the\n"
        "reason goes to standard error and the exit status is 1.\n" QXM_UNINSTALL_HELP,
        Uninstall, 0, 0, true}},
      {"show",
       {"Usage: qxm show" QXM_SYSTEM_LAST "\n",
        "Prints the installed script's stored lines in the order they are loaded, one\n"
        "NAME=TEXT line each.\n" QXM_SHOW_HELP,
        Show, 0, 0}},
      {"menu",
       {"Usage: qxm menu " QXM_SYSTEM "PATH...\n",
        "Loads the installed script as the context menu does, selects its items for the\n"
        "PATHs and prints the menu the user would see: one line per entry, indented by\n"
        "two spaces per submenu level, '> NAME' for a submenu, '---' for a separator and\n"
        "'NAME  =>  PROGRAM PARAMETERS' for a command. Prints nothing when no item applies.\n",
        Menu, 1, static_cast<std::size_t>(-1)}},
#ifndef _WIN32
      {"sync-user",
       {"Usage: qxm sync-user\n",
        "For a user without a script of their own, puts the Thunar actions of the script\n"
        "installed for all users into the user's own uca.xml, replacing those put there\n"
        "before, or takes them out when no script is installed for all users. Thunar\n"
        "reads the actions for all users only while a user has no uca.xml, which it\n"
        "writes on its first start. install --system writes an autostart entry and a\n"
        "script of the X session's start-up that run this at each login, the latter\n"
        "before the session starts Thunar; while actions are merged, a script of the\n"
        "user's own takes them out once the menu for all users is gone, and then itself.\n",
        // Without the store's lock, which would make the store's folder
        // for every user at every login; it changes no store.
        SyncUser, 0, 0, false}},
#endif
  };
  return commands;
}

}  // namespace

namespace {

// The command line after the program's name; the command's place is chosen
// once its name and its --system option are known.
int Dispatch(const std::vector<std::string>& args, bool systemOption,
             const std::function<int(const Command&, const std::vector<std::string>&, bool)>& run,
             std::ostream& out, std::ostream& err) {
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
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (!rest.empty() && (rest[0] == "--help" || rest[0] == "-h")) {
    out << command.usage << command.description;
    return kExitOk;
  }
  const bool system = systemOption && !rest.empty() && rest[0] == "--system";
  if (system) rest.erase(rest.begin());
  if (rest.size() < command.minArgs || rest.size() > command.maxArgs) {
    err << command.usage << "Run 'qxm " << args[0] << " --help' for more.\n";
    return kExitUsage;
  }
  return run(command, rest, system);
}

}  // namespace

int RunQxm(const std::vector<std::string>& args, Registry& registry, std::ostream& out,
           std::ostream& err) {
  return Dispatch(
      args, false,
      [&](const Command& command, const std::vector<std::string>& rest, bool) {
        Place place{registry};
        return command.run(rest, place, out, err);
      },
      out, err);
}

#ifndef _WIN32
namespace {

// Long enough for another install of a large script to finish.
constexpr std::chrono::seconds kLockWait{30};

}  // namespace

int RunQxm(const std::vector<std::string>& args, const QxmScope& user, const QxmScope& system,
           std::ostream& out, std::ostream& err) {
  return Dispatch(
      args, true,
      [&](const Command& command, const std::vector<std::string>& rest, bool forAll) {
        const QxmScope& scope = forAll ? system : user;
        std::optional<InstallLock> lock;
        if (command.changesStore && !scope.lockFile.empty()) {
          std::string error;
          lock = InstallLock::Take(scope.lockFile, kLockWait, error);
          if (!lock) {
            err << error << '\n';
            return kExitFailure;
          }
        }
        Place place = forAll ? Place{system.registry, nullptr, &system.folders}
                             : Place{user.registry, &system.registry, &user.folders};
        return command.run(rest, place, out, err);
      },
      out, err);
}
#endif

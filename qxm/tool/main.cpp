#include <clocale>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "script/Registry.h"
#include "tool/QxmTool.h"
#include "tool/ToolText.h"
#ifndef _WIN32
#include <sys/stat.h>

#include "script/FileRegistry.h"
#include "tool/MenuFolders.h"

namespace {

// The store makes its own folder but not the folders above it, which a new
// account may lack (~/.config).
void MakeParents(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    ::mkdir(folder.substr(0, slash).c_str(), 0700);
  }
}

}  // namespace
#endif

int main(int argc, char** argv) {
  // Script text follows the user's multibyte rules, as Explorer's code page does on Windows.
  std::setlocale(LC_CTYPE, "");
  try {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    const std::vector<std::string> args(arguments.begin() + (arguments.empty() ? 0 : 1),
                                        arguments.end());
#ifdef _WIN32
    const auto registry = OpenPlatformRegistry();
    return RunQxm(args, *registry, std::cout, std::cerr);
#else
    const Environment environment = [](const std::string& name) {
      const char* value = std::getenv(name.c_str());
      return std::string(value == nullptr ? "" : value);
    };
    const std::string userRoot = UserStoreRoot(environment);
    if (!args.empty() && args[0] == "install") MakeParents(userRoot);
    FileRegistry userStore(userRoot);
    FileRegistry systemStore(FileRegistry::DefaultRoot());
    // The lock lies in the store's folder, beside the keys, which never start with a dot.
    return RunQxm(args, {userStore, UserMenuFolders(environment), userRoot + "/.lock"},
                  {systemStore, SystemMenuFolders(), FileRegistry::DefaultRoot() + "/.lock"},
                  std::cout, std::cerr);
#endif
  } catch (const std::exception& error) {
    std::cerr << "qxm: " << error.what() << '\n';
    return kExitFailure;
  }
}

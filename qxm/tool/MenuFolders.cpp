#include "tool/MenuFolders.h"

#include <unistd.h>

namespace {

std::string Folder(const Environment& environment, const char* variable, const char* fallback) {
  const std::string value = environment(variable);
  // XDG folders given as relative paths are ignored, as the desktops do.
  if (!value.empty() && value.front() == '/') return value;
  return environment("HOME") + fallback;
}

}  // namespace

MenuFolders UserMenuFolders(const Environment& environment) {
  const std::string data = Folder(environment, "XDG_DATA_HOME", "/.local/share");
  const std::string config = Folder(environment, "XDG_CONFIG_HOME", "/.config");
  MenuFolders folders{data + "/nautilus/scripts",
                      data + "/nemo/actions",
                      data + "/kio/servicemenus",
                      config + "/Thunar/uca.xml",
                      {},
                      {},
                      config + "/autostart",
                      data + "/qxm/thunar-leftovers.sh",
                      false,
                      {},
                      {}};
  // Dolphin reads service menus for all users from $XDG_DATA_DIRS.
  std::string dataDirs = environment("XDG_DATA_DIRS");
  if (dataDirs.empty()) dataDirs = "/usr/local/share:/usr/share";
  const std::string forAll = SystemMenuFolders().dolphinServiceMenus;
  const std::string forAllRoot = forAll.substr(0, forAll.rfind("/kio/"));
  if ((":" + dataDirs + ":").find(":" + forAllRoot + ":") != std::string::npos)
    folders.dolphinForAllUsers = forAll;
  std::string dirs = environment("XDG_CONFIG_DIRS");
  if (dirs.empty()) dirs = "/etc/xdg";
  for (std::size_t from = 0; from <= dirs.size();) {
    std::size_t colon = dirs.find(':', from);
    if (colon == std::string::npos) colon = dirs.size();
    const std::string dir = dirs.substr(from, colon - from);
    if (!dir.empty() && dir.front() == '/' &&
        ::access((dir + "/Thunar/uca.xml").c_str(), R_OK) == 0) {
      folders.thunarDefaults = dir + "/Thunar/uca.xml";
      break;
    }
    from = colon + 1;
  }
  return folders;
}

MenuFolders SystemMenuFolders() {
  return {{},
          "/usr/share/nemo/actions",
          "/usr/share/kio/servicemenus",
          "/etc/xdg/Thunar/uca.xml",
          {},
          "/usr/share/nautilus-python/extensions",
          "/etc/xdg/autostart",
          {},
          true,
          {},
          "/etc/X11/Xsession.d"};
}

std::string UserStoreRoot(const Environment& environment) {
  const std::string explicitRoot = environment("QXM_REGISTRY_DIR");
  if (!explicitRoot.empty()) return explicitRoot;
  return Folder(environment, "XDG_CONFIG_HOME", "/.config") + "/qxm";
}

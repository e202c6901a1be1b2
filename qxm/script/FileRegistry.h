#pragma once

#include <string>

#include "Registry.h"

// A registry for platforms without one: every key is a folder under a root
// folder, named after the key, and its values are one file in that folder,
// replaced as a whole on every change. The root is system-wide and writable by
// the administrator only, as HKEY_LOCAL_MACHINE is.
class FileRegistry : public Registry {
public:
  explicit FileRegistry(std::string root);

  // $QXM_REGISTRY_DIR when set and not empty, else /etc/qxm.
  static std::string DefaultRoot();

  std::unique_ptr<RegistryKey> CreateKey(const std::string& path) override;
  std::unique_ptr<RegistryKey> OpenKey(const std::string& path, Access access) override;

  // The folder that holds a key, and the file in it that holds its values.
  std::string KeyFolder(const std::string& path) const;
  static std::string ValuesFile(const std::string& keyFolder);

  // A key name as a folder name: "/" and "%" are escaped, and so is a leading
  // ".", which keeps the values file and temporary files apart from subkeys.
  static std::string EncodeName(const std::string& name);
  static std::string DecodeName(const std::string& folderName);

private:
  std::string root_;
};

#pragma once

#include <windows.h>

#include "Registry.h"

// The Windows registry under one root key (HKEY_LOCAL_MACHINE for the stored
// script). Compiled only in the Windows build.
class WinRegistry : public Registry {
public:
  explicit WinRegistry(HKEY root) : root_(root) {}

  std::unique_ptr<RegistryKey> CreateKey(const std::string& path) override;
  std::unique_ptr<RegistryKey> OpenKey(const std::string& path, Access access) override;

private:
  HKEY root_;
};

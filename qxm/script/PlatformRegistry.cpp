#include "Registry.h"

#ifdef _WIN32
#include "WinRegistry.h"
#else
#include "FileRegistry.h"
#endif

std::unique_ptr<Registry> OpenPlatformRegistry() {
#ifdef _WIN32
  return std::make_unique<WinRegistry>(HKEY_LOCAL_MACHINE);
#else
  return std::make_unique<FileRegistry>(FileRegistry::DefaultRoot());
#endif
}

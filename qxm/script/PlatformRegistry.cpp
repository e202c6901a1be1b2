#include "Registry.h"

#ifdef _WIN32
#include "WinRegistry.h"
#else
#include <cerrno>
#include <cstring>

#include "FileRegistry.h"
#endif

std::unique_ptr<Registry> OpenPlatformRegistry() {
#ifdef _WIN32
  return std::make_unique<WinRegistry>(HKEY_LOCAL_MACHINE);
#else
  return std::make_unique<FileRegistry>(FileRegistry::DefaultRoot());
#endif
}

std::string RegistryErrorText() {
#ifdef _WIN32
  // The registry functions return their error; WinRegistry hands it on here.
  const DWORD error = GetLastError();
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
  LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                             result.back() == ' ' || result.back() == '.')) {
    result.pop_back();
  }
  return result;
#else
  return std::strerror(errno);
#endif
}

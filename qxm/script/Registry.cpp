#include "Registry.h"

bool RegistryKey::SetString(const std::string& name, const std::string& text) {
  // The terminating NUL is part of the stored data, as Windows stores strings.
  return SetValue(name, kRegSz, std::string_view(text.c_str(), text.size() + 1));
}

#include "Registry.h"

bool RegistryKey::SetString(const std::string& name, const std::string& text) {
  // The terminating NUL is part of the stored data, as Windows stores strings.
  return SetValue(name, kRegSz, std::string_view(text.c_str(), text.size() + 1));
}

bool RegistryKey::ReplaceValues(const ValueList& values) {
  for (const RegistryValue& value : values.Values()) {
    if (!SetValue(value.name, value.type, value.data)) return false;
  }
  const auto names = ValueNames();
  if (!names) return false;
  for (const std::string& name : *names) {
    if (values.Find(name) == nullptr && !DeleteValue(name)) return false;
  }
  return true;
}

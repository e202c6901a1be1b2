#include "Registry.h"

#include <cstring>

bool RegistryKey::SetString(const std::string& name, const std::string& text) {
  // The terminating NUL is part of the stored data, as Windows stores strings.
  return SetValue(name, kRegSz, std::string_view(text.c_str(), text.size() + 1));
}

RegistryKey::Query RegistryKey::QueryFrom(const ValueList& values, const std::string& name,
                                          std::uint32_t& type, char* buffer, std::size_t capacity,
                                          std::size_t& size) {
  const RegistryValue* value = values.Find(name);
  if (value == nullptr) return Query::kMissing;
  type = value->type;
  size = value->data.size();
  if (size > capacity) return Query::kMoreData;
  if (size > 0) std::memcpy(buffer, value->data.data(), size);
  return Query::kOk;
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

std::optional<ValueList> RegistryKey::ReadValues() {
  const auto names = ValueNames();
  if (!names) return std::nullopt;
  ValueList values;
  std::string buffer(256, '\0');
  for (const std::string& name : *names) {
    std::uint32_t type = kRegNone;
    std::size_t size = 0;
    Query found = QueryValue(name, type, buffer.data(), buffer.size(), size);
    if (found == Query::kMoreData) {
      buffer.resize(size);
      found = QueryValue(name, type, buffer.data(), buffer.size(), size);
    }
    if (found == Query::kMissing) continue;  // deleted since the names were read
    if (found != Query::kOk) return std::nullopt;
    values.Set(name, type, std::string_view(buffer.data(), size));
  }
  return values;
}

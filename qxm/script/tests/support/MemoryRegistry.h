#pragma once

#include <map>
#include <string>

#include "script/Registry.h"
#include "script/RegistryValues.h"

// A registry held in memory, with switches that make its operations fail the
// way a real one can (no rights, a write refused).
class MemoryRegistry : public Registry {
public:
  std::unique_ptr<RegistryKey> CreateKey(const std::string& path) override;
  std::unique_ptr<RegistryKey> OpenKey(const std::string& path, Access access) override;

  // Creating keys is refused, as for a user without administrator rights.
  bool refuseCreate = false;
  // Setting values succeeds this many more times, then fails (negative: never).
  int setsBeforeFailure = -1;

  bool HasKey(const std::string& path) const;
  // The values of a key; the key must exist.
  ValueList& Values(const std::string& path);

private:
  friend class MemoryRegistryKey;
  static std::string Normalized(const std::string& path);

  std::map<std::string, ValueList> keys_;  // by lower-case path
};

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RegistryValues.h"

// Value types, numbered as the Windows registry numbers them.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// An open key of a registry-like store. Destroying it closes it. Value and
// subkey names are compared without regard to ASCII case, as Windows does.
class RegistryKey {
public:
  enum class Query { kOk, kMissing, kMoreData, kFailed };

  virtual ~RegistryKey() = default;

  virtual bool SetValue(const std::string& name, std::uint32_t type, std::string_view data) = 0;
  // A string value: the text and its terminating NUL byte.
  bool SetString(const std::string& name, const std::string& text);

  // Copies a value's type and data into the caller's buffer of capacity bytes.
  // size receives the data's length, also for kMoreData (buffer too small).
  virtual Query QueryValue(const std::string& name, std::uint32_t& type, char* buffer,
                           std::size_t capacity, std::size_t& size) = 0;
  virtual bool DeleteValue(const std::string& name) = 0;
  // Nothing when the names cannot be read.
  virtual std::optional<std::vector<std::string>> ValueNames() = 0;
  virtual std::optional<std::vector<std::string>> SubkeyNames() = 0;
  // Deletes a direct subkey that has no subkeys of its own.
  virtual bool DeleteSubkey(const std::string& name) = 0;

  // Makes these the key's only values. Value by value, so an interruption can
  // leave a part done, unless the store can replace them all at once.
  virtual bool ReplaceValues(const ValueList& values);

  // Every value of the key in one go, for a reader of many values; nothing
  // when they cannot be read. Value by value, unless the store holds them
  // together and can read them at once.
  virtual std::optional<ValueList> ReadValues();

protected:
  // QueryValue for a store that holds its values in a list.
  static Query QueryFrom(const ValueList& values, const std::string& name, std::uint32_t& type,
                         char* buffer, std::size_t capacity, std::size_t& size);
};

// The machine-wide root of such a store (HKEY_LOCAL_MACHINE on Windows). Key
// paths are relative to it, their names separated by backslashes.
class Registry {
public:
  enum class Access { kRead, kWrite };

  virtual ~Registry() = default;

  // Creates the key and its parents when missing, or opens it, for writing.
  // Null on failure, for example without the right to write.
  virtual std::unique_ptr<RegistryKey> CreateKey(const std::string& path) = 0;
  // Null when the key is missing or the access is refused.
  virtual std::unique_ptr<RegistryKey> OpenKey(const std::string& path, Access access) = 0;
};

// The system's description of why the last registry operation failed.
std::string RegistryErrorText();

// The Windows registry's HKEY_LOCAL_MACHINE; elsewhere the file-backed store at
// FileRegistry::DefaultRoot().
std::unique_ptr<Registry> OpenPlatformRegistry();

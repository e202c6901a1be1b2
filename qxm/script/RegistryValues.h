#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One value of a key: its name, its type and its exact data bytes.
struct RegistryValue {
  std::string name;
  std::uint32_t type = 0;
  std::string data;
};

// The values of one key in the order they were first set. Names are found
// without regard to ASCII case and keep the spelling they were created with.
class ValueList {
public:
  const RegistryValue* Find(std::string_view name) const;
  void Set(const std::string& name, std::uint32_t type, std::string_view data);
  bool Remove(std::string_view name);
  std::vector<std::string> Names() const;
  const std::vector<RegistryValue>& Values() const { return values_; }

  // The file form of a key: a signature line, then for every value the length
  // of its name, the name, its type, the length of its data and the data, the
  // numbers as 32-bit little-endian integers.
  std::string Serialize() const;
  // Nothing for bytes that are not exactly such a form.
  static std::optional<ValueList> Parse(std::string_view bytes);

private:
  void Index();

  std::vector<RegistryValue> values_;
  // Position in values_ by lower-case name: a key of thousands of values is
  // read and written in linear time.
  std::unordered_map<std::string, std::size_t> positions_;
};

bool SameName(std::string_view a, std::string_view b);

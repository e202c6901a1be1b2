#include "RegistryValues.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr std::string_view kSignature = "QXM registry key 1\n";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The form under which names that SameName takes for one are indexed.
std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = LowerAscii(c);
  return folded;
}

void AppendNumber(std::string& out, std::uint32_t number) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(number >> shift));
}

bool ReadNumber(std::string_view& in, std::uint32_t& number) {
  if (in.size() < 4) return false;
  number = 0;
  for (int i = 0; i < 4; ++i) {
    number |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
  }
  in.remove_prefix(4);
  return true;
}

bool ReadBytes(std::string_view& in, std::string& out) {
  std::uint32_t length = 0;
  if (!ReadNumber(in, length) || length > in.size()) return false;
  out.assign(in.substr(0, length));
  in.remove_prefix(length);
  return true;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

const RegistryValue* ValueList::Find(std::string_view name) const {
  const auto found = positions_.find(Folded(name));
  return found == positions_.end() ? nullptr : &values_[found->second];
}

void ValueList::Set(const std::string& name, std::uint32_t type, std::string_view data) {
  const auto [found, added] = positions_.emplace(Folded(name), values_.size());
  if (added) {
    values_.push_back(RegistryValue{name, type, std::string(data)});
    return;
  }
  RegistryValue& value = values_[found->second];
  value.type = type;
  value.data.assign(data);
}

bool ValueList::Remove(std::string_view name) {
  const auto found = positions_.find(Folded(name));
  if (found == positions_.end()) return false;
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(found->second));
  Index();
  return true;
}

void ValueList::Index() {
  positions_.clear();
  for (std::size_t i = 0; i < values_.size(); ++i) positions_.emplace(Folded(values_[i].name), i);
}

std::vector<std::string> ValueList::Names() const {
  std::vector<std::string> names;
  for (const RegistryValue& value : values_) names.push_back(value.name);
  return names;
}

std::string ValueList::Serialize() const {
  std::string out(kSignature);
  for (const RegistryValue& value : values_) {
    AppendNumber(out, static_cast<std::uint32_t>(value.name.size()));
    out += value.name;
    AppendNumber(out, value.type);
    AppendNumber(out, static_cast<std::uint32_t>(value.data.size()));
    out += value.data;
  }
  return out;
}

std::optional<ValueList> ValueList::Parse(std::string_view bytes) {
  if (bytes.substr(0, kSignature.size()) != kSignature) return std::nullopt;
  bytes.remove_prefix(kSignature.size());
  ValueList list;
  while (!bytes.empty()) {
    RegistryValue value;
    if (!ReadBytes(bytes, value.name) || !ReadNumber(bytes, value.type) ||
        !ReadBytes(bytes, value.data)) {
      return std::nullopt;
    }
    // A name twice would make the file mean two things.
    if (!list.positions_.emplace(Folded(value.name), list.values_.size()).second) {
      return std::nullopt;
    }
    list.values_.push_back(std::move(value));
  }
  return list;
}

#include "MemoryRegistry.h"

#include <stdexcept>

class MemoryRegistryKey : public RegistryKey {
public:
  MemoryRegistryKey(MemoryRegistry& registry, std::string path, bool writable)
      : registry_(registry), path_(std::move(path)), writable_(writable) {}

  bool SetValue(const std::string& name, std::uint32_t type, std::string_view data) override {
    ValueList* values = Find();
    if (values == nullptr || !writable_) return false;
    if (registry_.setsBeforeFailure == 0) return false;
    if (registry_.setsBeforeFailure > 0) --registry_.setsBeforeFailure;
    values->Set(name, type, data);
    return true;
  }

  Query QueryValue(const std::string& name, std::uint32_t& type, char* buffer, std::size_t capacity,
                   std::size_t& size) override {
    ValueList* values = Find();
    if (values == nullptr) return Query::kFailed;
    return QueryFrom(*values, name, type, buffer, capacity, size);
  }

  bool DeleteValue(const std::string& name) override {
    ValueList* values = Find();
    return values != nullptr && writable_ && values->Remove(name);
  }

  std::optional<std::vector<std::string>> ValueNames() override {
    ValueList* values = Find();
    if (values == nullptr) return std::nullopt;
    return values->Names();
  }

  std::optional<std::vector<std::string>> SubkeyNames() override {
    if (Find() == nullptr) return std::nullopt;
    std::vector<std::string> names;
    const std::string prefix = MemoryRegistry::Normalized(path_) + "\\";
    for (const auto& [path, values] : registry_.keys_) {
      if (path.compare(0, prefix.size(), prefix) != 0) continue;
      const std::string rest = path.substr(prefix.size());
      if (rest.find('\\') == std::string::npos) names.push_back(rest);
    }
    return names;
  }

  bool DeleteSubkey(const std::string& name) override {
    if (Find() == nullptr || !writable_) return false;
    const std::string child = MemoryRegistry::Normalized(path_ + "\\" + name);
    if (registry_.keys_.count(child) == 0) return false;
    for (const auto& [path, values] : registry_.keys_) {
      if (path.compare(0, child.size() + 1, child + "\\") == 0) return false;
    }
    registry_.keys_.erase(child);
    return true;
  }

private:
  ValueList* Find() {
    const auto found = registry_.keys_.find(MemoryRegistry::Normalized(path_));
    return found == registry_.keys_.end() ? nullptr : &found->second;
  }

  MemoryRegistry& registry_;
  std::string path_;
  bool writable_;
};

std::string MemoryRegistry::Normalized(const std::string& path) {
  std::string normalized;
  for (char c : path) {
    if (c == '\\' && (normalized.empty() || normalized.back() == '\\')) continue;
    normalized += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  if (!normalized.empty() && normalized.back() == '\\') normalized.pop_back();
  return normalized;
}

std::unique_ptr<RegistryKey> MemoryRegistry::CreateKey(const std::string& path) {
  if (refuseCreate) return nullptr;
  const std::string normalized = Normalized(path);
  for (std::size_t slash = normalized.find('\\'); slash != std::string::npos;
       slash = normalized.find('\\', slash + 1)) {
    keys_[normalized.substr(0, slash)];
  }
  keys_[normalized];
  return std::make_unique<MemoryRegistryKey>(*this, path, true);
}

std::unique_ptr<RegistryKey> MemoryRegistry::OpenKey(const std::string& path, Access access) {
  if (!HasKey(path)) return nullptr;
  return std::make_unique<MemoryRegistryKey>(*this, path, access == Access::kWrite);
}

bool MemoryRegistry::HasKey(const std::string& path) const {
  return keys_.count(Normalized(path)) != 0;
}

ValueList& MemoryRegistry::Values(const std::string& path) {
  const auto found = keys_.find(Normalized(path));
  if (found == keys_.end()) throw std::logic_error("no such key: " + path);
  return found->second;
}

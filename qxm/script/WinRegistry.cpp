#include "WinRegistry.h"

namespace {

// Enough for any value or key name the registry allows, with its terminator.
constexpr DWORD kMaxNameChars = 16384;

// The registry functions return their error instead of setting it; keeping it
// as the thread's last error lets RegistryErrorText tell the reason.
bool Succeeded(LSTATUS status) {
  SetLastError(static_cast<DWORD>(status));
  return status == ERROR_SUCCESS;
}

class WinRegistryKey : public RegistryKey {
public:
  explicit WinRegistryKey(HKEY key) : key_(key) {}
  ~WinRegistryKey() override { RegCloseKey(key_); }
  WinRegistryKey(const WinRegistryKey&) = delete;
  WinRegistryKey& operator=(const WinRegistryKey&) = delete;

  bool SetValue(const std::string& name, std::uint32_t type, std::string_view data) override {
    if (data.size() > MAXDWORD) return false;
    return Succeeded(RegSetValueExA(key_, name.c_str(), 0, type,
                                    reinterpret_cast<const BYTE*>(data.data()),
                                    static_cast<DWORD>(data.size())));
  }

  Query QueryValue(const std::string& name, std::uint32_t& type, char* buffer, std::size_t capacity,
                   std::size_t& size) override {
    DWORD valueType = REG_NONE;
    DWORD length = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
    const LSTATUS status = RegQueryValueExA(key_, name.c_str(), nullptr, &valueType,
                                            reinterpret_cast<BYTE*>(buffer), &length);
    type = valueType;
    size = length;
    if (status == ERROR_SUCCESS) return Query::kOk;
    if (status == ERROR_FILE_NOT_FOUND) return Query::kMissing;
    if (status == ERROR_MORE_DATA) return Query::kMoreData;
    return Query::kFailed;
  }

  bool DeleteValue(const std::string& name) override {
    return Succeeded(RegDeleteValueA(key_, name.c_str()));
  }

  std::optional<std::vector<std::string>> ValueNames() override {
    std::vector<std::string> names;
    std::string name(kMaxNameChars, '\0');
    for (DWORD index = 0;; ++index) {
      DWORD length = kMaxNameChars;
      const LSTATUS status =
          RegEnumValueA(key_, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_NO_MORE_ITEMS) return names;
      if (!Succeeded(status)) return std::nullopt;
      names.emplace_back(name.data(), length);
    }
  }

  std::optional<std::vector<std::string>> SubkeyNames() override {
    std::vector<std::string> names;
    std::string name(kMaxNameChars, '\0');
    for (DWORD index = 0;; ++index) {
      DWORD length = kMaxNameChars;
      const LSTATUS status =
          RegEnumKeyExA(key_, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_NO_MORE_ITEMS) return names;
      if (!Succeeded(status)) return std::nullopt;
      names.emplace_back(name.data(), length);
    }
  }

  bool DeleteSubkey(const std::string& name) override {
    return Succeeded(RegDeleteKeyA(key_, name.c_str()));
  }

private:
  HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> WinRegistry::CreateKey(const std::string& path) {
  HKEY key = nullptr;
  const REGSAM access =
      KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
  if (!Succeeded(RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                 nullptr, &key, nullptr))) {
    return nullptr;
  }
  return std::make_unique<WinRegistryKey>(key);
}

std::unique_ptr<RegistryKey> WinRegistry::OpenKey(const std::string& path, Access access) {
  HKEY key = nullptr;
  // Deleting a subkey depends on the subkey's own rights, not on this handle's.
  const REGSAM rights = access == Access::kRead ? KEY_READ : KEY_READ | KEY_SET_VALUE;
  if (!Succeeded(RegOpenKeyExA(root_, path.c_str(), 0, rights, &key))) return nullptr;
  return std::make_unique<WinRegistryKey>(key);
}

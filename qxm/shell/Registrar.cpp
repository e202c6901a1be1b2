#include "Registrar.h"

#include <oleauto.h>

#include "ComGuard.h"
#include "Module.h"
#include "QXM_h.h"
#include "script/MenuScript.h"
#include "script/Registry.h"
#include "script/ReplaceAll.h"

namespace {

using Flag = RegistryEntry::Flag;

const wchar_t kClassId[] = L"{4C1E7AAA-62B0-4D15-9E37-A0C4F2B81D55}";
const wchar_t kAppId[] = L"{2E9B4AAA-5D71-4C3A-A8F2-6B1D3E07C9F4}";
const wchar_t kTypeLibId[] = L"{A53F1AAA-8E24-4ab1-8C6D-1F0B7E94C2D8}";

std::wstring Fill(std::wstring text, const std::wstring& modulePath) {
  const std::pair<std::wstring, std::wstring> fills[] = {
      {L"%MODULE%", modulePath}, {L"%APPID%", kAppId}, {L"%CLSID%", kClassId}};
  for (const auto& [token, value] : fills) text = ReplaceAll(std::move(text), token, value);
  return text;
}

HRESULT FromStatus(LSTATUS status) {
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

HRESULT DeleteTree(HKEY parent, const std::wstring& name) {
  const LSTATUS status = RegDeleteTreeW(parent, name.c_str());
  return status == ERROR_FILE_NOT_FOUND ? S_OK : FromStatus(status);
}

HRESULT Register(HKEY parent, const RegistryEntry& entry, const std::wstring& modulePath) {
  const std::wstring name = Fill(entry.name, modulePath);
  if (entry.flag == Flag::kReplaced) {
    if (const HRESULT hr = DeleteTree(parent, name); FAILED(hr)) return hr;
  }
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return FromStatus(status);
  HRESULT hr = S_OK;
  for (const RegistryEntry::Value& value : entry.values) {
    const std::wstring data = Fill(value.data, modulePath);
    status = RegSetValueExW(key, value.name.empty() ? nullptr : value.name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
      hr = FromStatus(status);
      break;
    }
  }
  for (std::size_t i = 0; SUCCEEDED(hr) && i < entry.subkeys.size(); ++i) {
    hr = Register(key, entry.subkeys[i], modulePath);
  }
  RegCloseKey(key);
  return hr;
}

HRESULT Unregister(HKEY parent, const RegistryEntry& entry) {
  const std::wstring name = Fill(entry.name, std::wstring());
  if (entry.flag == Flag::kReplaced) return DeleteTree(parent, name);
  HKEY key = nullptr;
  LSTATUS status = RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &key);
  if (status == ERROR_FILE_NOT_FOUND) return S_OK;  // nothing of ours below
  if (status != ERROR_SUCCESS) return FromStatus(status);
  HRESULT hr = S_OK;
  for (std::size_t i = 0; SUCCEEDED(hr) && i < entry.subkeys.size(); ++i) {
    hr = Unregister(key, entry.subkeys[i]);
  }
  DWORD subkeys = 0;
  if (SUCCEEDED(hr)) {
    hr = FromStatus(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, nullptr));
  }
  RegCloseKey(key);
  if (FAILED(hr) || entry.flag == Flag::kKept || subkeys != 0) return hr;
  return FromStatus(RegDeleteKeyW(parent, name.c_str()));
}

RegistryEntry Key(std::wstring name, Flag flag, std::vector<RegistryEntry::Value> values,
                  std::vector<RegistryEntry> subkeys = {}) {
  return RegistryEntry{std::move(name), flag, std::move(values), std::move(subkeys)};
}

RegistryEntry HandlerBinding(const wchar_t* fileClass) {
  return Key(fileClass, Flag::kKept, {},
             {Key(L"ShellEx", Flag::kKept, {},
                  {Key(L"ContextMenuHandlers", Flag::kKept, {},
                       {Key(L"ZQXM", Flag::kReplaced, {{L"", L"%CLSID%"}})})})});
}

bool TypeLibraryRegistered() {
  HKEY key = nullptr;
  const std::wstring path = std::wstring(L"TypeLib\\") + kTypeLibId + L"\\1.0";
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

void DeleteStoredScriptOf(std::unique_ptr<Registry> registry) {
  if (registry) DeleteStoredScript(*registry);
}

}  // namespace

const std::vector<RegistryEntry>& AppIdEntries() {
  static const std::vector<RegistryEntry> table = {
      Key(L"AppID", Flag::kKept, {},
          {Key(L"%APPID%", Flag::kNone, {{L"", L"ZQXM"}}),
           Key(L"QXM.DLL", Flag::kNone, {{L"AppID", L"%APPID%"}})}),
      HandlerBinding(L"*"),
      HandlerBinding(L"Directory"),
  };
  return table;
}

const std::vector<RegistryEntry>& ClassEntries() {
  static const std::vector<RegistryEntry> table = {
      Key(L"ZQXM.ZQXM.1", Flag::kNone, {{L"", L"ZQXM Class"}},
          {Key(L"CLSID", Flag::kNone, {{L"", L"%CLSID%"}})}),
      Key(L"ZQXM.ZQXM", Flag::kNone, {{L"", L"ZQXM Class"}},
          {Key(L"CLSID", Flag::kNone, {{L"", L"%CLSID%"}}),
           Key(L"CurVer", Flag::kNone, {{L"", L"ZQXM.ZQXM.1"}})}),
      Key(L"CLSID", Flag::kKept, {},
          {Key(L"%CLSID%", Flag::kReplaced, {{L"", L"ZQXM Class"}, {L"AppID", L"%APPID%"}},
               {Key(L"ProgID", Flag::kNone, {{L"", L"ZQXM.ZQXM.1"}}),
                Key(L"VersionIndependentProgID", Flag::kNone, {{L"", L"ZQXM.ZQXM"}}),
                Key(L"Programmable", Flag::kReplaced, {}),
                Key(L"InprocServer32", Flag::kNone,
                    {{L"", L"%MODULE%"}, {L"ThreadingModel", L"Apartment"}}),
                Key(L"TypeLib", Flag::kNone, {{L"", kTypeLibId}})})}),
  };
  return table;
}

HRESULT RegisterEntries(HKEY root, const std::vector<RegistryEntry>& table,
                        const std::wstring& modulePath) {
  for (const RegistryEntry& entry : table) {
    if (const HRESULT hr = Register(root, entry, modulePath); FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT UnregisterEntries(HKEY root, const std::vector<RegistryEntry>& table) {
  for (const RegistryEntry& entry : table) {
    if (const HRESULT hr = Unregister(root, entry); FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT RegisterTypeLibrary() {
  const std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  ITypeLib* library = nullptr;
  const HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &library);
  if (library != nullptr) library->Release();
  return hr;
}

HRESULT UnregisterTypeLibrary() {
  return UnRegisterTypeLib(LIBID_ZQXMLib, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
}

HRESULT RegisterServer() {
  // A failure to empty the script key is shown; access is then refused.
  return Guarded(ShownError{E_ACCESSDENIED}, [] {
    const std::wstring module = ModulePath();
    // Registering the type library also writes IZQXM's proxy/stub entries.
    HRESULT hr = RegisterEntries(HKEY_CLASSES_ROOT, AppIdEntries(), module);
    if (SUCCEEDED(hr)) hr = RegisterEntries(HKEY_CLASSES_ROOT, ClassEntries(), module);
    if (SUCCEEDED(hr)) hr = RegisterTypeLibrary();
    if (FAILED(hr)) return hr;
    // A following DllInstall starts from an empty key.
    DeleteStoredScriptOf(OpenPlatformRegistry());
    return hr;
  });
}

HRESULT UnregisterServer() {
  return Guarded(ShownError{E_FAIL}, [] {
    HRESULT hr = UnregisterEntries(HKEY_CLASSES_ROOT, ClassEntries());
    // A type library that is not registered (a second unregistration) has
    // nothing left to remove; the system would call that a failure. Removing
    // it also removes IZQXM's proxy/stub entries.
    if (SUCCEEDED(hr) && TypeLibraryRegistered()) hr = UnregisterTypeLibrary();
    if (SUCCEEDED(hr)) hr = UnregisterEntries(HKEY_CLASSES_ROOT, AppIdEntries());
    if (FAILED(hr)) return hr;
    DeleteStoredScriptOf(OpenPlatformRegistry());
    return hr;
  });
}

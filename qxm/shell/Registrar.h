#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The registry entries of QXM.dll under HKEY_CLASSES_ROOT, written in code
// rather than by a registrar script: the application ID with the shell
// handler bindings, and the class with its ProgIDs.
struct RegistryEntry {
  // What unregistration does with a key, and registration before writing it.
  enum class Flag {
    kNone,      // removed at unregistration once no subkey remains under it
    kKept,      // never removed
    kReplaced,  // deleted with all its contents before writing, and at unregistration
  };
  struct Value {
    std::wstring name;  // empty: the key's default value
    std::wstring data;  // %MODULE%, %APPID% and %CLSID% are filled in
  };

  std::wstring name;
  Flag flag = Flag::kNone;
  std::vector<Value> values;
  std::vector<RegistryEntry> subkeys;
};

// The application ID and the handler bindings for files and folders.
const std::vector<RegistryEntry>& AppIdEntries();
// The class, its ProgIDs and its server.
const std::vector<RegistryEntry>& ClassEntries();

// Writes or removes a table below root. The first failure is returned.
HRESULT RegisterEntries(HKEY root, const std::vector<RegistryEntry>& table,
                        const std::wstring& modulePath);
HRESULT UnregisterEntries(HKEY root, const std::vector<RegistryEntry>& table);

// The type library embedded in this module as resource 1. IZQXM is dual, so
// the type-library marshaller is its proxy/stub: registering the type library
// writes HKCR\Interface\{IID} naming it, and removing it removes that entry.
HRESULT RegisterTypeLibrary();
HRESULT UnregisterTypeLibrary();

// The exports' work. Neither lets an exception out (see ComGuard.h).
HRESULT RegisterServer();
HRESULT UnregisterServer();

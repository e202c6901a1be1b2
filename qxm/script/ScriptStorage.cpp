// The stored copy of an installed script, one registry value per line.
#include "ScriptStorage.h"

#include <cstring>

#include "MenuScript.h"
#include "QXMException.h"
#include "Registry.h"
#include "RegistryValues.h"

namespace {

void DeleteKeyTree(Registry& registry, RegistryKey& parent, const std::string& parentPath,
                   const std::string& name) {
  const std::string path = parentPath + "\\" + name;
  if (auto key = registry.OpenKey(path, Registry::Access::kWrite)) {
    if (const auto subkeys = key->SubkeyNames()) {
      for (const std::string& subkey : *subkeys) DeleteKeyTree(registry, *key, path, subkey);
    }
  }
  parent.DeleteSubkey(name);
}

}  // namespace

std::string LineValueName(std::size_t i) { return "Line" + std::to_string(i); }

std::string ImgValueName(std::size_t j) { return "Img" + std::to_string(j); }

std::optional<std::string> ReadStoredLine(RegistryKey& key, const std::string& name) {
  char buffer[kStoredLineLimit];
  std::uint32_t type = kRegNone;
  std::size_t size = 0;
  if (key.QueryValue(name, type, buffer, sizeof buffer, size) != RegistryKey::Query::kOk) {
    return std::nullopt;
  }
  // An expandable string is taken as it is, without expansion.
  if (type != kRegSz && type != kRegExpandSz) return std::nullopt;
  if (size == 0 || size > sizeof buffer || buffer[size - 1] != '\0') return std::nullopt;
  return std::string(buffer, std::strlen(buffer));
}

bool MenuScript::InstallScript(const std::string& fileName, Registry& registry) {
  return LoadFromFile(fileName) && SaveToRegistry(registry);
}

bool MenuScript::SaveToRegistry(Registry& registry) const {
  const auto key = registry.CreateKey(kScriptKeyPath);
  if (!key) throw CQXMException("Error creating registry key for saving scripts");
  const CQXMException setupFailed("Error setup registry key for saving scripts");
  std::vector<std::string> written;
  for (std::size_t i = 0; i < items.size(); ++i) {
    written.push_back(LineValueName(i));
    if (!key->SetString(written.back(), items[i].sourceLine)) throw setupFailed;
  }
  for (std::size_t j = 0; j < constants.size(); ++j) {
    written.push_back(ImgValueName(j));
    if (!key->SetString(written.back(), constants[j].sourceLine)) throw setupFailed;
  }
  // The script replaces the stored one as a whole: a value left from a longer
  // script would otherwise be loaded as part of this one.
  const auto names = key->ValueNames();
  if (!names) throw setupFailed;
  for (const std::string& name : *names) {
    bool ours = false;
    for (const std::string& own : written) ours = ours || SameName(name, own);
    if (!ours && !key->DeleteValue(name)) throw setupFailed;
  }
  return true;
}

bool MenuScript::LoadFromRegistry(Registry& registry) {
  const auto key = registry.OpenKey(kScriptKeyPath, Registry::Access::kRead);
  if (!key) {
    throw CQXMException(
        "Error opening registry key for load scripts. Maybe, you forget install COM server.\n"
        " Use: regsvr32 /i:\"...\\QXM.qxm\" QXM.dll");
  }
  items.clear();
  for (std::size_t i = 0;; ++i) {
    const auto line = ReadStoredLine(*key, LineValueName(i));
    if (!line) break;
    ScriptItem record;
    bool isItem = false;
    ParseLine(*line, record, isItem);
    if (isItem) items.push_back(std::move(record));
  }
  constants.clear();
  for (std::size_t j = 0;; ++j) {
    const auto line = ReadStoredLine(*key, ImgValueName(j));
    if (!line) break;
    ScriptItem record;
    bool isItem = false;
    ParseLine(*line, record, isItem);
  }
  return true;
}

void DeleteStoredScript(Registry& registry) {
  const std::string path = kScriptKeyPath;
  const std::size_t slash = path.rfind('\\');
  const std::string parentPath = path.substr(0, slash);
  try {
    if (auto parent = registry.OpenKey(parentPath, Registry::Access::kWrite)) {
      DeleteKeyTree(registry, *parent, parentPath, path.substr(slash + 1));
    }
  } catch (const std::exception&) {
    // Deleting is best effort and reports nothing; only lack of memory gets here.
  }
}

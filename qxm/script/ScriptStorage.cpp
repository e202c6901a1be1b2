// The stored copy of an installed script, one registry value per line.
//
// A new script is never written over the old one where the loader reads it.
// It is first written whole into a staging key beside the script's key and
// marked complete by a value set last; from then on the loader takes the
// staged copy. Then the script's key is rewritten and the staging key removed,
// after which the loader takes the script's key again. Deleting the script's
// key is what uninstalls. Wherever an interruption stops a save or a delete,
// the loader finds the old script whole or the new one whole.
#include "ScriptStorage.h"

#include "MenuScript.h"
#include "QXMException.h"
#include "Registry.h"
#include "RegistryValues.h"

namespace {

constexpr char kCompleteValue[] = "Complete";

CQXMException CreateFailed() {
  return CQXMException("Error creating registry key for saving scripts");
}

CQXMException SetupFailed() { return CQXMException("Error setup registry key for saving scripts"); }

bool IsComplete(RegistryKey& key) {
  char data[8];
  std::uint32_t type = kRegNone;
  std::size_t size = 0;
  const auto found = key.QueryValue(kCompleteValue, type, data, sizeof data, size);
  return found == RegistryKey::Query::kOk || found == RegistryKey::Query::kMoreData;
}

// Deletes a key's subkeys, deepest first, then the key. Why not, if it failed.
std::optional<std::string> DeleteKeyTree(Registry& registry, RegistryKey& parent,
                                         const std::string& parentPath, const std::string& name) {
  const std::string path = parentPath + "\\" + name;
  if (auto key = registry.OpenKey(path, Registry::Access::kWrite)) {
    const auto subkeys = key->SubkeyNames();
    if (!subkeys) return RegistryErrorText();
    for (const std::string& subkey : *subkeys) {
      if (auto why = DeleteKeyTree(registry, *key, path, subkey)) return why;
    }
  }
  if (!parent.DeleteSubkey(name)) return RegistryErrorText();
  return std::nullopt;
}

// Removes a key with everything in it; a missing key is no failure.
std::optional<std::string> DeleteTree(Registry& registry, const std::string& path) {
  if (!registry.OpenKey(path, Registry::Access::kRead)) return std::nullopt;
  const std::size_t slash = path.rfind('\\');
  const std::string parentPath = path.substr(0, slash);
  const auto parent = registry.OpenKey(parentPath, Registry::Access::kWrite);
  if (!parent) return RegistryErrorText();
  return DeleteKeyTree(registry, *parent, parentPath, path.substr(slash + 1));
}

// The lines of a stored script exactly as the loader takes them.
ValueList StoredLines(RegistryKey& key) {
  const ValueList stored = StoredValues(key);
  ValueList values;
  for (const auto& valueName : {LineValueName, ImgValueName}) {
    for (std::size_t i = 0;; ++i) {
      const auto line = ReadStoredLine(stored, valueName(i));
      if (!line) break;
      values.Set(valueName(i), kRegSz, std::string_view(line->c_str(), line->size() + 1));
    }
  }
  return values;
}

void WriteScriptKey(Registry& registry, const ValueList& values) {
  const auto key = registry.CreateKey(kScriptKeyPath);
  if (!key) throw CreateFailed();
  if (!key->ReplaceValues(values)) throw SetupFailed();
}

// A staged copy left by a save that was stopped: a complete one is already
// what the loader takes, so it is moved in first; an incomplete one is dropped.
void FinishInterruptedSave(Registry& registry) {
  {
    const auto staged = registry.OpenKey(kStagedScriptKeyPath, Registry::Access::kRead);
    if (!staged) return;
    if (IsComplete(*staged) && registry.OpenKey(kScriptKeyPath, Registry::Access::kRead)) {
      WriteScriptKey(registry, StoredLines(*staged));
    }
  }
  if (DeleteTree(registry, kStagedScriptKeyPath).has_value()) throw SetupFailed();
}

}  // namespace

std::string LineValueName(std::size_t i) { return "Line" + std::to_string(i); }

std::string ImgValueName(std::size_t j) { return "Img" + std::to_string(j); }

std::optional<std::string> ReadStoredLine(const ValueList& values, const std::string& name) {
  // A line must fit the loader's fixed buffer, its NUL included. An
  // expandable string is taken as it is, without expansion.
  const RegistryValue* value = values.Find(name);
  if (value == nullptr || value->data.size() > kStoredLineLimit) return std::nullopt;
  if (value->type != kRegSz && value->type != kRegExpandSz) return std::nullopt;
  if (value->data.empty() || value->data.back() != '\0') return std::nullopt;
  return std::string(value->data.c_str());  // up to the first NUL
}

ValueList StoredValues(RegistryKey& key) {
  std::optional<ValueList> values = key.ReadValues();
  return values ? std::move(*values) : ValueList();
}

std::unique_ptr<RegistryKey> OpenStoredScript(Registry& registry) {
  auto key = registry.OpenKey(kScriptKeyPath, Registry::Access::kRead);
  if (!key) return nullptr;
  auto staged = registry.OpenKey(kStagedScriptKeyPath, Registry::Access::kRead);
  if (staged && IsComplete(*staged)) return staged;
  return key;
}

bool MenuScript::InstallScript(const std::string& fileName, Registry& registry) {
  return LoadFromFile(fileName) && SaveToRegistry(registry);
}

bool MenuScript::SaveToRegistry(Registry& registry) const {
  FinishInterruptedSave(registry);
  ValueList values;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::string& text = items[i].sourceLine;
    values.Set(LineValueName(i), kRegSz, std::string_view(text.c_str(), text.size() + 1));
  }
  for (std::size_t j = 0; j < constants.size(); ++j) {
    const std::string& text = constants[j].sourceLine;
    values.Set(ImgValueName(j), kRegSz, std::string_view(text.c_str(), text.size() + 1));
  }
  {
    const auto staged = registry.CreateKey(kStagedScriptKeyPath);
    if (!staged) throw CreateFailed();
    if (!staged->ReplaceValues(values) ||
        !staged->SetValue(kCompleteValue, kRegDword, std::string_view("\1\0\0\0", 4))) {
      throw SetupFailed();
    }
  }
  WriteScriptKey(registry, values);
  if (DeleteTree(registry, kStagedScriptKeyPath).has_value()) throw SetupFailed();
  return true;
}

bool MenuScript::LoadFromRegistry(Registry& registry) {
  const auto key = OpenStoredScript(registry);
  if (!key) {
    throw CQXMException(
        "Error opening registry key for load scripts. Maybe, you forget install COM server.\n"
        " Use: regsvr32 /i:\"...\\QXM.qxm\" QXM.dll");
  }
  const ValueList stored = StoredValues(*key);
  items.clear();
  for (std::size_t i = 0;; ++i) {
    const auto line = ReadStoredLine(stored, LineValueName(i));
    if (!line) break;
    ScriptItem record;
    bool isItem = false;
    ParseLine(*line, record, isItem);
    if (isItem) items.push_back(std::move(record));
  }
  constants.clear();
  for (std::size_t j = 0;; ++j) {
    const auto line = ReadStoredLine(stored, ImgValueName(j));
    if (!line) break;
    ScriptItem record;
    bool isItem = false;
    ParseLine(*line, record, isItem);
  }
  return true;
}

void DeleteStoredScript(Registry& registry) {
  // The script's key first: once it is gone nothing is installed, whatever
  // is left of a staged copy.
  for (const char* path : {kScriptKeyPath, kStagedScriptKeyPath}) {
    if (const auto why = DeleteTree(registry, path)) {
      throw CQXMException("Error deleting registry key for saving scripts '" + std::string(path) +
                          "': " + *why);
    }
  }
}

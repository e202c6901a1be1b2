#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

class Registry;
class RegistryKey;
class ValueList;

// Where an installed script is kept: a key under the machine-wide root.
inline constexpr char kScriptKeyPath[] = "Software\\Ordal context menu";
// A new script is written whole here first, beside the script's key, so that
// replacing the stored script is all or nothing.
inline constexpr char kStagedScriptKeyPath[] = "Software\\Ordal context menu (new)";
// A stored line must fit in this many bytes, its NUL included, to be loaded.
inline constexpr std::size_t kStoredLineLimit = 4096;

// "Line" + i for the i-th item, "Img" + j for the j-th constant.
std::string LineValueName(std::size_t i);
std::string ImgValueName(std::size_t j);

// The text of one stored line, from the values of the script's key, as the
// loader takes it: nothing when the value is missing, too long, not a string
// or not ended by a NUL byte.
std::optional<std::string> ReadStoredLine(const ValueList& values, const std::string& name);
// All values of the key that holds a script, read at once so that loading
// thousands of lines stays linear; none when they cannot be read, which the
// loader takes as no lines.
ValueList StoredValues(RegistryKey& key);

// The key that holds the installed script as the loader takes it: a completely
// staged copy while one is being moved in, else the script's key. Null when no
// script is installed.
std::unique_ptr<RegistryKey> OpenStoredScript(Registry& registry);

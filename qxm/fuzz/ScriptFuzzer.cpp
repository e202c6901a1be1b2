// Feeds arbitrary bytes to the script readers. The first byte picks the reader
// (bits 0-1) and whether text is read with double-byte rules (bit 2); the rest
// is a script file, a set of lines, or the stored form of a registry key.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "script/MenuModel.h"
#include "script/MenuScript.h"
#include "script/QXMException.h"
#include "script/RegistryValues.h"
#include "script/ScriptStorage.h"
#include "support/MemoryRegistry.h"

namespace {

ScriptServices FuzzServices(bool doubleByte) {
  ScriptServices services;
  // A made-up file system: every path exists except empty ones and those with
  // a "?", so that both answers are reachable; a trailing "/" is a folder.
  services.pathExists = [](const std::string& path) {
    return !path.empty() && path.find('?') == std::string::npos;
  };
  services.isDirectory = [](const PathText& path) { return !path.empty() && path.back() == '/'; };
  services.fromAnsi = [](const std::string& text) { return PathText(text); };
  services.showWarning = [](const std::string&, const std::string&) {};
  if (doubleByte) {
    services.text = TextRules::DoubleByte([](unsigned char b) { return b >= 0x81 && b <= 0xFE; });
  }
  return services;
}

const std::string& ScratchFile() {
  static const std::string path = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/qxm-fuzz-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) std::abort();
    ::close(fd);
    return pattern;
  }();
  return path;
}

void WriteScratch(std::string_view bytes) {
  const int fd = ::open(ScratchFile().c_str(), O_WRONLY | O_TRUNC);
  if (fd < 0) std::abort();
  if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
  ::close(fd);
}

// Whatever was accepted must select, build a menu and compose commands.
void UseScript(MenuScript& script) {
  for (const auto& paths : {std::vector<std::string>{"a.txt"}, std::vector<std::string>{"dir/"},
                            std::vector<std::string>{"x%f", "y"}}) {
    script.SelectItems(paths);
    const MenuModel model = BuildMenu(script, paths);
    for (const ScriptItem& item : script.applicable) {
      script.GetHelpText(item.index);
      script.SubmenuName(item, 1);
    }
    (void)model;
  }
}

// Saving and loading again gives the same script when every line fits.
void CheckRoundTrip(const MenuScript& script, const ScriptServices& services) {
  for (const ScriptItem& item : script.items) {
    if (item.sourceLine.size() >= kStoredLineLimit ||
        item.sourceLine.find('\0') != std::string::npos)
      return;
  }
  for (const ScriptConstant& constant : script.constants) {
    if (constant.sourceLine.size() >= kStoredLineLimit) return;
  }
  MemoryRegistry registry;
  script.SaveToRegistry(registry);
  MenuScript loaded(services);
  loaded.LoadFromRegistry(registry);
  if (loaded.items.size() != script.items.size() ||
      loaded.constants.size() != script.constants.size()) {
    std::abort();
  }
  for (std::size_t i = 0; i < script.items.size(); ++i) {
    if (loaded.items[i].sourceLine != script.items[i].sourceLine) std::abort();
  }
}

void FromFile(std::string_view input, const ScriptServices& services) {
  WriteScratch(input);
  MenuScript script(services);
  script.LoadFromFile(ScratchFile());
  UseScript(script);
  CheckRoundTrip(script, services);
}

void FromLines(std::string_view input, const ScriptServices& services) {
  MenuScript script(services);
  std::size_t begin = 0;
  while (begin <= input.size()) {
    std::size_t end = input.find('\n', begin);
    if (end == std::string_view::npos) end = input.size();
    ScriptItem item;
    bool isItem = false;
    script.ParseLine(std::string(input.substr(begin, end - begin)), item, isItem);
    if (isItem) script.items.push_back(item);
    begin = end + 1;
  }
  UseScript(script);
}

void FromRegistry(std::string_view input, const ScriptServices& services) {
  const auto values = ValueList::Parse(input);
  if (!values) return;
  MemoryRegistry registry;
  registry.CreateKey(kScriptKeyPath);
  registry.Values(kScriptKeyPath) = *values;
  MenuScript script(services);
  script.LoadFromRegistry(registry);
  UseScript(script);
  DeleteStoredScript(registry);
  if (registry.HasKey(kScriptKeyPath)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const ScriptServices services = FuzzServices((data[0] & 4) != 0);
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    switch (data[0] & 3) {
      case 0: FromFile(input, services); break;
      case 1: FromLines(input, services); break;
      default: FromRegistry(input, services); break;
    }
  } catch (const CQXMException&) {
    // A rejected script is an expected outcome; anything else escaping is a fault.
  }
  return 0;
}

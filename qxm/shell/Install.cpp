#include "Install.h"

#include <string>

#include "ComGuard.h"
#include "Module.h"
#include "script/MenuScript.h"
#include "script/Registry.h"

namespace {

std::string ToAnsi(const wchar_t* text) {
  if (text == nullptr || *text == L'\0') return std::string();
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), size, nullptr, nullptr);
  result.resize(static_cast<std::size_t>(size) - 1);
  return result;
}

}  // namespace

ScriptServices ShellScriptServices() {
  ScriptServices services = ScriptServices::Platform();
  services.showWarning = [](const std::string& text, const std::string& caption) {
    ShowMessage(text, caption.c_str(), MB_OK | MB_ICONWARNING);
  };
  return services;
}

HRESULT InstallFromCommandLine(BOOL install, const wchar_t* commandLine) {
  if (!install) return S_OK;
  return Guarded(ShownError{E_FAIL}, [&] {
    MenuScript script(ShellScriptServices());
    const auto registry = OpenPlatformRegistry();
    return script.InstallScript(ToAnsi(commandLine), *registry) ? S_OK : E_FAIL;
  });
}

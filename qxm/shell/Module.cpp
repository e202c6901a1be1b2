#include "Module.h"

#include <atomic>

namespace {

HMODULE g_module = nullptr;
LONG volatile g_locks = 0;
std::atomic<MessageBoxHook> g_messageBox{nullptr};

}  // namespace

HMODULE ModuleHandle() { return g_module != nullptr ? g_module : GetModuleHandleW(nullptr); }

void SetModuleHandle(HMODULE module) { g_module = module; }

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(ModuleHandle(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    // A full buffer may hold a cut path: try again with a larger one.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void LockModule() { InterlockedIncrement(&g_locks); }

void UnlockModule() { InterlockedDecrement(&g_locks); }

LONG ModuleLockCount() { return InterlockedCompareExchange(&g_locks, 0, 0); }

void SetMessageBoxHook(MessageBoxHook hook) { g_messageBox = hook; }

int ShowMessage(const std::string& text, const char* caption, UINT type) {
  const MessageBoxHook hook = g_messageBox;
  if (hook != nullptr) return hook(text.c_str(), caption, type);
  return MessageBoxA(nullptr, text.c_str(), caption, type);
}

void ShowError(const std::string& text, const char* caption) {
  ShowMessage(text, caption, MB_OK | MB_ICONERROR);
}

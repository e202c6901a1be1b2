#pragma once

#include <windows.h>

#include <string>

// Process-wide state of QXM.dll: its module handle, the lock count that
// decides whether it may be unloaded, and the way it talks to the user.

// The module that holds the type library; set when the library is loaded
// (the process's own module until then, which is what a test program links).
HMODULE ModuleHandle();
void SetModuleHandle(HMODULE module);
// The module's full path (wide, so that any folder name survives).
std::wstring ModulePath();

// Live objects and server locks. Changed atomically.
void LockModule();
void UnlockModule();
LONG ModuleLockCount();

// Every message box of the extension goes through here, so that a test can
// answer boxes instead of blocking on them. The hook has MessageBoxA's meaning.
using MessageBoxHook = int (*)(const char* text, const char* caption, UINT type);
// Null restores the system's message box.
void SetMessageBoxHook(MessageBoxHook hook);
int ShowMessage(const std::string& text, const char* caption, UINT type);

// The captions the extension uses.
inline constexpr char kErrorCaption[] = "Error";
inline constexpr char kWarningCaption[] = "Ordal's Context Menu Warning";
inline constexpr char kRunErrorCaption[] = "Ordal's Context Menu Error";

// An error message box without an owner window.
void ShowError(const std::string& text, const char* caption = kErrorCaption);

#pragma once

#include <windows.h>

#include "script/ScriptServices.h"

// The platform's services for the script code, with its warnings shown
// through the extension's message boxes.
ScriptServices ShellScriptServices();

// DllInstall's work: with install true, parses the script file that the
// command line names (taken as it is, in the ANSI code page) and stores it.
// S_OK, or E_FAIL after showing why.
HRESULT InstallFromCommandLine(BOOL install, const wchar_t* commandLine);

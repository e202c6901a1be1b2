#pragma once

#ifdef _WIN32
#include <windows.h>

#include <string>

// Text between a Windows code page (CP_ACP, CP_UTF8) and UTF-16. What the
// code page cannot hold becomes the system's replacement character; a failed
// conversion gives the empty text.
std::wstring Widen(const std::string& text, UINT codePage);
std::string Narrow(const std::wstring& text, UINT codePage);
#endif

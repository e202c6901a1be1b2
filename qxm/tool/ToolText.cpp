#include "tool/ToolText.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "script/CodePages.h"

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  // The C runtime's copy holds question marks for what the code page lacks;
  // it is the fallback only.
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(Narrow(wide[i], CP_UTF8));
  LocalFree(wide);
  return arguments;
}

PathText PathFromArgument(const std::string& argument) { return Widen(argument, CP_UTF8); }

std::string AnsiFromArgument(const std::string& argument) {
  return Narrow(Widen(argument, CP_UTF8), CP_ACP);
}

std::string OutputText(const PathText& text) { return Narrow(text, CP_UTF8); }

std::string OutputFromAnsi(const std::string& text) { return Narrow(Widen(text, CP_ACP), CP_UTF8); }

#else

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

PathText PathFromArgument(const std::string& argument) { return argument; }

std::string AnsiFromArgument(const std::string& argument) { return argument; }

std::string OutputText(const PathText& text) { return text; }

std::string OutputFromAnsi(const std::string& text) { return text; }

#endif

// Stands in for veilor in the command tests: writes its raw command line and
// the arguments split from it the way the C runtime splits them, one per line
// in UTF-8, to the file that QXM_RECORDER_OUT names. Read wide, so that names
// outside the ANSI code page arrive as they were sent. The file appears
// complete or not at all.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(length) - 1);
  return utf8;
}

}  // namespace

int main() {
  wchar_t target[MAX_PATH * 4] = {};
  if (GetEnvironmentVariableW(L"QXM_RECORDER_OUT", target, MAX_PATH * 4) == 0) return 2;
  const std::wstring partial = std::wstring(target) + L".partial";
  FILE* file = _wfopen(partial.c_str(), L"wb");
  if (file == nullptr) return 3;
  std::fprintf(file, "%s\n", Utf8(GetCommandLineW()).c_str());
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv != nullptr && i < argc; ++i)
    std::fprintf(file, "%s\n", Utf8(argv[i]).c_str());
  LocalFree(argv);
  std::fclose(file);
  return MoveFileExW(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}

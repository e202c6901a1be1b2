#include <cstdio>

#include "ScriptServices.h"

#ifdef _WIN32
#include <windows.h>

#include "CodePages.h"
#else
#include <sys/stat.h>
#endif

namespace {

// A path with a NUL byte in it would be cut short by the system call and could
// name a different, existing file.
template <typename Text>
bool HasNul(const Text& path) {
  return path.find(typename Text::value_type{}) != Text::npos;
}

#ifdef _WIN32
bool PathExists(const std::string& path) {
  if (HasNul(path)) return false;
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
bool IsDirectory(const PathText& path) {
  if (HasNul(path)) return false;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
PathText FromAnsi(const std::string& text) { return Widen(text, CP_ACP); }
void ShowWarning(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}
#else
bool PathExists(const std::string& path) {
  if (HasNul(path)) return false;
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0;
}
bool IsDirectory(const PathText& path) {
  if (HasNul(path)) return false;
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}
// Paths are bytes here, as the script's text is.
PathText FromAnsi(const std::string& text) { return text; }
void ShowWarning(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}
#endif

}  // namespace

ScriptServices ScriptServices::Platform() {
  return ScriptServices{PathExists, IsDirectory, FromAnsi, ShowWarning, TextRules::Platform()};
}

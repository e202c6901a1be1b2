#include <cstdio>

#include "ScriptServices.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// A path with a NUL byte in it would be cut short by the system call and could
// name a different, existing file.
bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

#ifdef _WIN32
bool PathExists(const std::string& path) {
  if (HasNul(path)) return false;
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
bool IsDirectory(const std::string& path) {
  if (HasNul(path)) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
void ShowWarning(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}
#else
bool PathExists(const std::string& path) {
  if (HasNul(path)) return false;
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0;
}
bool IsDirectory(const std::string& path) {
  if (HasNul(path)) return false;
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}
void ShowWarning(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}
#endif

}  // namespace

ScriptServices ScriptServices::Platform() {
  return ScriptServices{PathExists, IsDirectory, ShowWarning, TextRules::Platform()};
}

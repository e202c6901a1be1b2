#pragma once

#include <string>

#include <wx/string.h>

// A path inside a folder, with this platform's separators ("/" in the name
// becomes "\\" on Windows), as the program itself builds paths.
wxString JoinPath(const wxString& folder, const wxString& name);

// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes away.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const wxString& Path() const { return path_; }
  // Path of a name inside the folder; "/" in the name may stand for any
  // separator.
  wxString operator/(const wxString& name) const { return JoinPath(path_, name); }

private:
  wxString path_;
};

// Whole-file helpers for tests that compare files byte for byte.
std::string ReadFileBytes(const wxString& path);
void WriteFileBytes(const wxString& path, const std::string& bytes);

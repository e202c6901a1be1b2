#pragma once

#include <string>

#include <wx/string.h>

// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes away.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const wxString& Path() const { return path_; }
  // Path of a name inside the folder.
  wxString operator/(const wxString& name) const;

private:
  wxString path_;
};

// Whole-file helpers for tests that compare files byte for byte.
std::string ReadFileBytes(const wxString& path);
void WriteFileBytes(const wxString& path, const std::string& bytes);

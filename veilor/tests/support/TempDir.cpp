#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <wx/filefn.h>

#include "FreshFolder.h"

namespace {
// File names as the system takes them: UTF-16 on Windows, UTF-8 elsewhere.
std::filesystem::path FsPath(const wxString& path) {
#ifdef _WIN32
  return std::filesystem::path(path.ToStdWstring());
#else
  return std::filesystem::path(std::string(path.utf8_str()));
#endif
}
}  // namespace

TempDir::TempDir() {
  const std::filesystem::path folder = CreateFreshFolder("veilor-test-");
#ifdef _WIN32
  path_ = wxString(folder.wstring());
#else
  path_ = wxString::FromUTF8(folder.string().c_str());
#endif
}

TempDir::~TempDir() { RemoveFolder(FsPath(path_)); }

wxString JoinPath(const wxString& folder, const wxString& name) {
  wxString native = name;
  native.Replace("/", wxString(wxFILE_SEP_PATH));
  return folder + wxFILE_SEP_PATH + native;
}

std::string ReadFileBytes(const wxString& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const wxString& path, const std::string& bytes) {
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

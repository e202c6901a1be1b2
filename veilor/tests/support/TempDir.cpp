#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include <wx/filefn.h>

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
#ifdef _WIN32
  // No mkdtemp: a random name that did not exist yet.
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("veilor-test-" + std::to_string(random()) + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(folder, error)) path_ = wxString(folder.wstring());
  }
  if (path_.empty()) std::abort();
#else
  std::string pattern = (std::filesystem::temp_directory_path() / "veilor-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = wxString::FromUTF8(pattern.c_str());
#endif
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(FsPath(path_), ignored);
}

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

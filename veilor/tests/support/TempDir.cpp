#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

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
  std::filesystem::remove_all(std::string(path_.utf8_str()), ignored);
}

wxString TempDir::operator/(const wxString& name) const { return path_ + "/" + name; }

std::string ReadFileBytes(const wxString& path) {
  std::ifstream in(std::string(path.utf8_str()), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const wxString& path, const std::string& bytes) {
  std::ofstream out(std::string(path.utf8_str()), std::ios::binary | std::ios::trunc);
  out << bytes;
}

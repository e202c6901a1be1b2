#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "veilor-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = wxString::FromUTF8(pattern.c_str());
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

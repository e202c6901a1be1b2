#include "TempDir.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "FreshFolder.h"

TempDir::TempDir() : path_(CreateFreshFolder("qxm-").string()) {}

TempDir::~TempDir() { RemoveFolder(path_); }

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

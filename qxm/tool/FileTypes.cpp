#include "tool/FileTypes.h"

#include <iterator>

namespace {

// Debian 12's shared-mime-info knows none of these; age files get ours too.
constexpr FileType kTypes[] = {
    {"aes", "application/x-veilor-aes"},
    {"des3", "application/x-veilor-des3"},
    {"age", "application/x-age"},
};

}  // namespace

const FileType* FileTypeOfExtension(const std::string& extension) {
  for (const FileType& type : kTypes) {
    if (extension == type.extension) return &type;
  }
  return nullptr;
}

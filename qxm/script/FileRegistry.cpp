#include "FileRegistry.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "AtomicFile.h"
#include "RegistryValues.h"

namespace {

// One level down, appended in place: GCC 12 at -O3 reports a false overlap for
// "/" + name built as a temporary (its bug 105329).
void AppendFolder(std::string& folder, const std::string& name) {
  folder += '/';
  folder += name;
}

bool IsFolder(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  return errno == EEXIST && IsFolder(path);
}

// The entries of a folder, split into those whose names start with a dot and
// the others. False when the folder cannot be read.
bool ListFolder(const std::string& folder, std::vector<std::string>& visible,
                std::vector<std::string>& hidden) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    (name[0] == '.' ? hidden : visible).push_back(name);
  }
  ::closedir(dir);
  return true;
}

class FileRegistryKey : public RegistryKey {
public:
  FileRegistryKey(std::string folder, bool writable)
      : folder_(std::move(folder)), writable_(writable) {}

  bool SetValue(const std::string& name, std::uint32_t type, std::string_view data) override {
    ValueList values;
    if (!writable_ || !Load(values)) return false;
    values.Set(name, type, data);
    return Save(values);
  }

  Query QueryValue(const std::string& name, std::uint32_t& type, char* buffer, std::size_t capacity,
                   std::size_t& size) override {
    ValueList values;
    if (!Load(values)) return Query::kFailed;
    return QueryFrom(values, name, type, buffer, capacity, size);
  }

  bool DeleteValue(const std::string& name) override {
    ValueList values;
    if (!writable_ || !Load(values) || !values.Remove(name)) return false;
    return Save(values);
  }

  std::optional<std::vector<std::string>> ValueNames() override {
    ValueList values;
    if (!Load(values)) return std::nullopt;
    return values.Names();
  }

  // One read of the values file, however many values it holds.
  std::optional<ValueList> ReadValues() override {
    ValueList values;
    if (!Load(values)) return std::nullopt;
    return values;
  }

  std::optional<std::vector<std::string>> SubkeyNames() override {
    std::vector<std::string> visible;
    std::vector<std::string> hidden;
    if (!ListFolder(folder_, visible, hidden)) return std::nullopt;
    std::vector<std::string> names;
    for (const std::string& entry : visible) {
      if (IsFolder(folder_ + "/" + entry)) names.push_back(FileRegistry::DecodeName(entry));
    }
    return names;
  }

  bool DeleteSubkey(const std::string& name) override {
    if (!writable_) return false;
    const std::string folder = folder_ + "/" + FileRegistry::EncodeName(name);
    std::vector<std::string> visible;
    std::vector<std::string> hidden;
    if (!ListFolder(folder, visible, hidden)) return false;
    // A subkey, or a file that is not the store's own, is not ours to delete.
    if (!visible.empty()) {
      errno = ENOTEMPTY;
      return false;
    }
    // Out of sight in one step, so that the key is never seen half deleted.
    static unsigned counter = 0;
    const std::string gone =
        folder_ + "/.deleted-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    if (::rename(folder.c_str(), gone.c_str()) != 0) return false;
    // The values file and any temporary file a writer left, listed once the
    // folder is out of sight, where no writer can add one.
    visible.clear();
    hidden.clear();
    ListFolder(gone, visible, hidden);
    for (const std::string& file : hidden) ::unlink((gone + "/" + file).c_str());
    ::rmdir(gone.c_str());
    return true;
  }

  // One file holds all the values, so they are replaced in one step.
  bool ReplaceValues(const ValueList& values) override {
    return writable_ && IsFolder(folder_) && Save(values);
  }

private:
  bool Load(ValueList& values) const {
    if (!IsFolder(folder_)) return false;  // the key was deleted while open
    std::string bytes;
    const std::string file = FileRegistry::ValuesFile(folder_);
    if (!ReadWholeFile(file, bytes)) {
      // A key whose values were never set has no file yet.
      if (::access(file.c_str(), F_OK) != 0 && errno == ENOENT) {
        values = ValueList();
        return true;
      }
      return false;
    }
    std::optional<ValueList> parsed = ValueList::Parse(bytes);
    if (!parsed) return false;
    values = std::move(*parsed);
    return true;
  }

  bool Save(const ValueList& values) const {
    return ReplaceFileAtomically(FileRegistry::ValuesFile(folder_), values.Serialize());
  }

  std::string folder_;
  bool writable_;
};

}  // namespace

FileRegistry::FileRegistry(std::string root) : root_(std::move(root)) {}

std::string FileRegistry::DefaultRoot() {
  const char* root = std::getenv("QXM_REGISTRY_DIR");
  return (root != nullptr && *root != '\0') ? std::string(root) : std::string("/etc/qxm");
}

std::string FileRegistry::KeyFolder(const std::string& path) const {
  std::string folder = root_;
  std::size_t begin = 0;
  while (begin <= path.size()) {
    std::size_t end = path.find('\\', begin);
    if (end == std::string::npos) end = path.size();
    if (end > begin) AppendFolder(folder, EncodeName(path.substr(begin, end - begin)));
    begin = end + 1;
  }
  return folder;
}

std::string FileRegistry::ValuesFile(const std::string& keyFolder) {
  return keyFolder + "/.values";
}

std::string FileRegistry::EncodeName(const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte == '/' || byte == '%' || byte == '\0' || (i == 0 && byte == '.')) {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0xF];
    } else {
      encoded += static_cast<char>(byte);
    }
  }
  return encoded;
}

std::string FileRegistry::DecodeName(const std::string& folderName) {
  const auto hexValue = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string name;
  for (std::size_t i = 0; i < folderName.size(); ++i) {
    if (folderName[i] == '%' && i + 2 < folderName.size() && hexValue(folderName[i + 1]) >= 0 &&
        hexValue(folderName[i + 2]) >= 0) {
      name += static_cast<char>(hexValue(folderName[i + 1]) * 16 + hexValue(folderName[i + 2]));
      i += 2;
    } else {
      name += folderName[i];
    }
  }
  return name;
}

std::unique_ptr<RegistryKey> FileRegistry::CreateKey(const std::string& path) {
  if (!MakeFolder(root_)) return nullptr;
  std::string folder = root_;
  std::size_t begin = 0;
  while (begin <= path.size()) {
    std::size_t end = path.find('\\', begin);
    if (end == std::string::npos) end = path.size();
    if (end > begin) {
      AppendFolder(folder, EncodeName(path.substr(begin, end - begin)));
      if (!MakeFolder(folder)) return nullptr;
    }
    begin = end + 1;
  }
  if (::access(folder.c_str(), W_OK) != 0) return nullptr;
  return std::make_unique<FileRegistryKey>(folder, true);
}

std::unique_ptr<RegistryKey> FileRegistry::OpenKey(const std::string& path, Access access) {
  const std::string folder = KeyFolder(path);
  if (!IsFolder(folder)) return nullptr;
  if (access == Access::kWrite && ::access(folder.c_str(), W_OK) != 0) return nullptr;
  auto key = std::make_unique<FileRegistryKey>(folder, access == Access::kWrite);
  // A values file that does not read back is a key that cannot be opened.
  if (!key->ValueNames()) return nullptr;
  return key;
}

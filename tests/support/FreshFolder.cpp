#include "FreshFolder.h"

#include <random>
#include <stdexcept>
#include <system_error>

std::filesystem::path CreateFreshFolder(const std::string& prefix) {
  // A random name that did not exist yet: creating it is the check, and Windows has no mkdtemp.
  std::random_device random;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path folder =
        base / (prefix + std::to_string(random()) + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(folder, error)) return folder;
  }
  throw std::runtime_error("no fresh folder under " + base.string());
}

void RemoveFolder(const std::filesystem::path& folder) {
  std::error_code ignored;
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(folder, ignored);
}

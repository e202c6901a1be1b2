#include "InterruptingRegistry.h"

// ReplaceValues is left to the base class, so that it goes value by value
// through the counted writes, as on a registry that cannot replace them at once.
class InterruptingKey : public RegistryKey {
public:
  InterruptingKey(InterruptingRegistry& registry, std::unique_ptr<RegistryKey> inner)
      : registry_(registry), inner_(std::move(inner)) {}

  bool SetValue(const std::string& name, std::uint32_t type, std::string_view data) override {
    return registry_.Write() && inner_->SetValue(name, type, data);
  }
  Query QueryValue(const std::string& name, std::uint32_t& type, char* buffer, std::size_t capacity,
                   std::size_t& size) override {
    return inner_->QueryValue(name, type, buffer, capacity, size);
  }
  bool DeleteValue(const std::string& name) override {
    return registry_.Write() && inner_->DeleteValue(name);
  }
  std::optional<std::vector<std::string>> ValueNames() override { return inner_->ValueNames(); }
  std::optional<std::vector<std::string>> SubkeyNames() override { return inner_->SubkeyNames(); }
  bool DeleteSubkey(const std::string& name) override {
    return registry_.Write() && inner_->DeleteSubkey(name);
  }

private:
  InterruptingRegistry& registry_;
  std::unique_ptr<RegistryKey> inner_;
};

bool InterruptingRegistry::Write() {
  if (writesLeft_ > 0) {
    --writesLeft_;
    return true;
  }
  interrupted_ = true;
  if (mode_ == Mode::kKill) throw Killed{};
  return false;
}

std::unique_ptr<RegistryKey> InterruptingRegistry::CreateKey(const std::string& path) {
  if (!Write()) return nullptr;
  auto key = inner_.CreateKey(path);
  if (!key) return nullptr;
  return std::make_unique<InterruptingKey>(*this, std::move(key));
}

std::unique_ptr<RegistryKey> InterruptingRegistry::OpenKey(const std::string& path, Access access) {
  auto key = inner_.OpenKey(path, access);
  if (!key) return nullptr;
  return std::make_unique<InterruptingKey>(*this, std::move(key));
}

#pragma once

#include "script/Registry.h"

// Passes everything on to another registry until a number of writes (creating
// a key, setting or deleting a value, deleting a subkey) have been done. Every
// later write is refused, or throws Killed, which nothing in the code under
// test catches: the store is then left as a killed process leaves it.
class InterruptingRegistry : public Registry {
public:
  enum class Mode { kRefuse, kKill };
  struct Killed {};

  InterruptingRegistry(Registry& inner, int writesAllowed, Mode mode)
      : inner_(inner), writesLeft_(writesAllowed), mode_(mode) {}

  std::unique_ptr<RegistryKey> CreateKey(const std::string& path) override;
  std::unique_ptr<RegistryKey> OpenKey(const std::string& path, Access access) override;

  // Whether a write was refused or killed.
  bool Interrupted() const { return interrupted_; }

private:
  friend class InterruptingKey;
  // True when the write may go ahead.
  bool Write();

  Registry& inner_;
  int writesLeft_;
  Mode mode_;
  bool interrupted_ = false;
};

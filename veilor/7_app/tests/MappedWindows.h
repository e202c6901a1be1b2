#pragma once

#include <memory>

// Listens on the display from its construction for every window that is
// shown (mapped) at the top level, by any client: a window that appears
// and goes again between two looks is still counted.
class MappedWindows {
public:
  MappedWindows();
  ~MappedWindows();
  MappedWindows(const MappedWindows&) = delete;
  MappedWindows& operator=(const MappedWindows&) = delete;

  // Whether the display could be watched.
  bool Listening() const;
  // How many top-level windows were shown since the construction.
  int Count();

private:
  struct Connection;
  std::unique_ptr<Connection> connection_;
};

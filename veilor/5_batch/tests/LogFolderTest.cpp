// Where the log goes on a Linux desktop.
#include <gtest/gtest.h>

#include "5_batch/LogFolder.h"

namespace {

#ifndef _WIN32  // Windows keeps "Log" beside the program
TEST(LogFolderTest, StateFolderOfTheDesktop) {
  const struct {
    wxString stateHome, home, expected;
  } cases[] = {
      {"/state", "/home/u", "/state/Veilor/Log"},
      {"/state/", "/home/u", "/state/Veilor/Log"},
      {"/state", "", "/state/Veilor/Log"},
      {"", "/home/u", "/home/u/.local/state/Veilor/Log"},
      {"", "/home/u/", "/home/u/.local/state/Veilor/Log"},
      {"relative/state", "/home/u", "/home/u/.local/state/Veilor/Log"},
      {"", "", ""},
      {"relative/state", "relative/home", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StateLogFolder(c.stateHome, c.home), c.expected) << c.stateHome << " " << c.home;
  }
}
#endif

}  // namespace

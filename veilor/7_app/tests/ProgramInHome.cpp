#include "ProgramInHome.h"

ProgramRunner ProgramInHome(const wxString& home, std::vector<std::string> args) {
  ProgramRunner runner(VEILOR_PROGRAM, std::move(args));
  runner.Env("HOME", home.utf8_string())
      .Env("XDG_CONFIG_HOME", std::nullopt)
      .Env("XDG_STATE_HOME", std::nullopt)
      .Env("LC_ALL", "C.UTF-8");
  return runner;
}

#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// Starts a program as a child process with extra or removed environment
// variables, and collects its standard error.
class ProgramRunner {
public:
  ProgramRunner(std::string program, std::vector<std::string> args);

  // Sets (or, with std::nullopt, removes) an environment variable of the child.
  ProgramRunner& Env(const std::string& name, std::optional<std::string> value);

  // Starts the child; false when it could not be started.
  bool Start();

  // Waits at most `seconds` for the child; kills it when time runs out.
  // Returns the exit status, or nothing when it was killed or died of a signal.
  std::optional<int> Wait(int seconds);

  const std::string& StandardError() const { return stderr_; }

  // The child's process id, for signals.
  int Pid() const { return pid_; }

private:
  std::string program_;
  std::vector<std::string> args_;
  std::map<std::string, std::optional<std::string>> env_;
  int pid_ = -1;
  int stderrPipe_ = -1;
  std::string stderr_;
};

// Runs a shell command and returns its standard output with the final line
// end removed.
std::string ShellOutput(const std::string& command);

// The id of the visible window titled exactly `title`, waiting up to
// `seconds` for it; empty when none appeared.
std::string FindVisibleWindow(const std::string& title, int seconds);

// Gives the window `id` the keyboard focus and waits until it has it.
void FocusWindow(const std::string& id);

// Presses Enter in the visible window titled exactly `title` until it is
// gone, for about a minute at most: a report ignores Enter while its batch
// runs (Escape would stop the batch), so a slow machine is simply waited for.
void PressEnterUntilClosed(const std::string& title);

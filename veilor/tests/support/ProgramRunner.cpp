#include "ProgramRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

ProgramRunner::ProgramRunner(std::string program, std::vector<std::string> args)
    : program_(std::move(program)), args_(std::move(args)) {}

ProgramRunner& ProgramRunner::Env(const std::string& name, std::optional<std::string> value) {
  env_[name] = std::move(value);
  return *this;
}

bool ProgramRunner::Start() {
  int fds[2];
  if (pipe(fds) != 0) return false;
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    dup2(fds[1], STDERR_FILENO);
    close(fds[0]);
    close(fds[1]);
    for (const auto& [name, value] : env_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    std::vector<char*> argv;
    argv.push_back(program_.data());
    for (std::string& arg : args_) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(program_.c_str(), argv.data());
    _exit(127);
  }
  close(fds[1]);
  stderrPipe_ = fds[0];
  fcntl(stderrPipe_, F_SETFL, O_NONBLOCK);
  return true;
}

std::optional<int> ProgramRunner::Wait(int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  bool exited = false;
  char buffer[4096];
  while (!exited) {
    ssize_t n;
    while ((n = read(stderrPipe_, buffer, sizeof buffer)) > 0) stderr_.append(buffer, n);
    exited = waitpid(pid_, &status, WNOHANG) == pid_;
    if (!exited && std::chrono::steady_clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      close(stderrPipe_);
      return std::nullopt;
    }
    if (!exited) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ssize_t n;
  while ((n = read(stderrPipe_, buffer, sizeof buffer)) > 0) stderr_.append(buffer, n);
  close(stderrPipe_);
  if (!WIFEXITED(status)) return std::nullopt;
  return WEXITSTATUS(status);
}

std::string ShellOutput(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    pclose(pipe);
  }
  while (!output.empty() && output.back() == '\n') output.pop_back();
  return output;
}

std::string FindVisibleWindow(const std::string& title, int seconds) {
  // xdotool's own waiting (--sync) gives up with BadWindow when a window
  // closes while it walks the window tree, as a password window does when
  // the report opens; single searches are repeated instead.
  return ShellOutput("for i in $(seq " + std::to_string(seconds * 5) +
                     "); do id=$(xdotool search --onlyvisible --name '^" + title +
                     "$' 2>/dev/null | head -1); [ -n \"$id\" ] && { echo \"$id\"; break; };" +
                     " sleep 0.2; done");
}

void FocusWindow(const std::string& id) {
  // Waiting for the focus gives up with BadWindow when a window inside the
  // one focused is replaced meanwhile (a password window asking again), so
  // it is tried again.
  ShellOutput("for i in $(seq 10); do xdotool windowfocus --sync " + id +
              " 2>/dev/null && break; sleep 0.3; done");
}

void PressEnterUntilClosed(const std::string& title) {
  // A search that meets a window closing elsewhere fails with BadWindow and
  // finds nothing, so the window counts as closed only after three searches
  // in a row find nothing.
  const std::string search =
      "xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null | head -1";
  ShellOutput("misses=0; for i in $(seq 240); do id=$(" + search +
              "); if [ -z \"$id\" ]; then misses=$((misses + 1)); [ $misses -ge 3 ] && break;" +
              " sleep 0.3; continue; fi; misses=0;" +
              " xdotool windowfocus --sync \"$id\" key Return 2>/dev/null; sleep 0.5; done");
}

#include "ToolRunner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "support/TempDir.h"

extern char** environ;

ToolProcess StartTool(const std::vector<std::string>& args, const std::string& registryDir,
                      const std::string& scratchDir, const std::vector<std::string>& wrapper,
                      const std::string& name) {
  const std::string outPath = scratchDir + "/stdout" + name;
  const std::string errPath = scratchDir + "/stderr" + name;
  std::vector<std::string> argStrings = wrapper;
  argStrings.push_back(QXM_PROGRAM);
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);

  // The file managers' menus that install writes stay in the scratch folder too.
  std::vector<std::string> envStrings{
      "QXM_REGISTRY_DIR=" + registryDir, "XDG_DATA_HOME=" + scratchDir + "/data",
      "XDG_CONFIG_HOME=" + scratchDir + "/config", "XDG_CONFIG_DIRS=" + scratchDir + "/config-dirs",
      "XDG_DATA_DIRS=" + scratchDir + "/data-dirs"};
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string name = std::string(*entry).substr(0, std::string(*entry).find('='));
    if (name != "QXM_REGISTRY_DIR" && name != "XDG_DATA_HOME" && name != "XDG_CONFIG_HOME" &&
        name != "XDG_CONFIG_DIRS" && name != "XDG_DATA_DIRS")
      envStrings.push_back(*entry);
  }
  std::vector<char*> envp;
  for (std::string& entry : envStrings) envp.push_back(entry.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error(std::string("cannot start ") + argv[0]);
  return {pid, outPath, errPath};
}

ToolRun FinishTool(const ToolProcess& process) {
  int status = 0;
  if (::waitpid(process.pid, &status, 0) != process.pid) throw std::runtime_error("waitpid failed");
  ToolRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadFileBytes(process.outPath);
  run.err = ReadFileBytes(process.errPath);
  return run;
}

ToolRun RunTool(const std::vector<std::string>& args, const std::string& registryDir,
                const std::string& scratchDir, const std::vector<std::string>& wrapper) {
  return FinishTool(StartTool(args, registryDir, scratchDir, wrapper));
}

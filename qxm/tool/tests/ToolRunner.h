#pragma once

#include <string>
#include <vector>

// What one run of the qxm program did.
struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

// A started run of the qxm program.
struct ToolProcess {
  int pid = -1;
  std::string outPath;
  std::string errPath;
};

// Starts the built qxm program as RunTool does, its output captured in files
// named after `name`, and returns without waiting for it.
ToolProcess StartTool(const std::vector<std::string>& args, const std::string& registryDir,
                      const std::string& scratchDir, const std::vector<std::string>& wrapper = {},
                      const std::string& name = "");

// Waits for a started run to end.
ToolRun FinishTool(const ToolProcess& process);

// Runs the built qxm program with these arguments, its store in registryDir
// and its output captured through files in scratchDir; under the wrapper
// command, when one is given, which is found on the PATH.
ToolRun RunTool(const std::vector<std::string>& args, const std::string& registryDir,
                const std::string& scratchDir, const std::vector<std::string>& wrapper = {});

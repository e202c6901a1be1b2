#pragma once

#include <cstdint>
#include <string>
#include <vector>

class MenuScript;

// What choosing a command runs: the program as the shell is given it (quoted)
// and the parameter string.
struct ComposedCommand {
  std::string program;
  std::string parameters;
};

// Every path in double quotes and followed by a comma, all concatenated.
std::string PathList(const std::vector<std::string>& paths);

// The command of the applicable item with that index: its program quoted, and
// its argument template with every "%f" replaced by the path list. Paths go in
// as they are; a path that itself holds "%f" is not expanded again. Raises
// CQXMException when the item names a negative constant ID.
ComposedCommand ComposeCommand(const MenuScript& script, std::int32_t index,
                               const std::vector<std::string>& paths);

#pragma once

#include <cstdint>
#include <vector>

#include "PathText.h"

class MenuScript;

// What choosing a command runs: the program as the shell is given it (quoted)
// and the parameter string, in the form of the selected paths.
struct ComposedCommand {
  PathText program;
  PathText parameters;
};

// Every path in double quotes and followed by a comma, all concatenated.
PathText PathList(const std::vector<PathText>& paths);

// The command of the applicable item with that index: its program quoted, and
// its argument template with every "%f" replaced by the path list. The script's
// program and template are converted from its 8-bit text; the paths go in as
// they are, and a path that itself holds "%f" is not expanded again. Raises
// CQXMException when the item names a negative constant ID.
ComposedCommand ComposeCommand(const MenuScript& script, std::int32_t index,
                               const std::vector<PathText>& paths);

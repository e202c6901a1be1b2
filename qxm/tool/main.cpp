#include <clocale>
#include <exception>
#include <iostream>

#include "script/Registry.h"
#include "tool/QxmTool.h"
#include "tool/ToolText.h"

int main(int argc, char** argv) {
  // Script text follows the user's multibyte rules, as Explorer's code page does on Windows.
  std::setlocale(LC_CTYPE, "");
  try {
    const auto registry = OpenPlatformRegistry();
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    return RunQxm(
        std::vector<std::string>(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end()),
        *registry, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << "qxm: " << error.what() << '\n';
    return kExitFailure;
  }
}

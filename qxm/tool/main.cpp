#include <clocale>
#include <exception>
#include <iostream>

#include "script/Registry.h"
#include "tool/QxmTool.h"

int main(int argc, char** argv) {
  // Script text follows the user's multibyte rules, as Explorer's code page does on Windows.
  std::setlocale(LC_CTYPE, "");
  try {
    const auto registry = OpenPlatformRegistry();
    return RunQxm(std::vector<std::string>(argv + 1, argv + argc), *registry, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << "qxm: " << error.what() << '\n';
    return kExitFailure;
  }
}

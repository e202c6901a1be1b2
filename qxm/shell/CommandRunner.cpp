#include "CommandRunner.h"

#include "ShellHeaders.h"

#include "Module.h"
#include "script/CommandComposer.h"

std::string RunFailureMessage(INT_PTR result) {
  switch (result) {
    case ERROR_FILE_NOT_FOUND:
      return "Unable to run command. File not found. See script for errors.";
    case ERROR_PATH_NOT_FOUND: return "Unable to run command. Invalid path. See script for errors.";
    case ERROR_ACCESS_DENIED:
      return "Unable to run command. The operating system denied access to the specified file. "
             "See script for errors. Maybe to many arguments are passed.";
    case ERROR_BAD_FORMAT:
      return "Unable to run command. The .exe file is invalid. See script for errors.";
    case SE_ERR_NOASSOC:
      return "Unable to run command. There is no application associated with the given file name "
             "extension.";
    case SE_ERR_DLLNOTFOUND:
      return "Unable to run command. The specified dynamic-link library (DLL) was not found.";
    default: return "Unable to run command. Unknown error. See script for errors.";
  }
}

INT_PTR StartCommand(const ComposedCommand& command) {
  const auto result =
      reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, nullptr, command.program.c_str(),
                                              command.parameters.c_str(), nullptr, SW_SHOWNORMAL));
  if (result <= 32) ShowError(RunFailureMessage(result), kRunErrorCaption);
  return result;
}

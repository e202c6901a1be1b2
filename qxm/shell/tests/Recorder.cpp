// Stands in for veilor in the command tests: writes its raw command line and
// the arguments the C runtime split from it, one per line, to the file that
// QXM_RECORDER_OUT names. The file appears complete or not at all.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  char target[MAX_PATH * 4] = {};
  if (GetEnvironmentVariableA("QXM_RECORDER_OUT", target, sizeof target) == 0) return 2;
  const std::string partial = std::string(target) + ".partial";
  FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) return 3;
  std::fprintf(file, "%s\n", GetCommandLineA());
  for (int i = 1; i < argc; ++i) std::fprintf(file, "%s\n", argv[i]);
  std::fclose(file);
  return MoveFileExA(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}

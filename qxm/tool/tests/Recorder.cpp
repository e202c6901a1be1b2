// Stands in for veilor in the file manager tests: writes the arguments it was
// given, each followed by a NUL byte (a name may hold a line feed), to the
// file that QXM_RECORDER_OUT names. The file appears complete or not at all.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const char* target = std::getenv("QXM_RECORDER_OUT");
  if (target == nullptr) return 2;
  const std::string partial = std::string(target) + ".partial";
  FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) return 3;
  for (int i = 1; i < argc; ++i) {
    std::fputs(argv[i], file);
    std::fputc('\0', file);
  }
  if (std::fclose(file) != 0) return 4;
  return std::rename(partial.c_str(), target) == 0 ? 0 : 5;
}

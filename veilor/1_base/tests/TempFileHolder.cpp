// Helper of WindowsTemporariesTest: writes part of a file through
// AtomicFileWriter into the folder given as argument, signals the named
// event given as second argument, and waits to be killed.
#include <string>

#include <wx/init.h>

#include "1_base/AtomicFileWriter.h"

#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  wxInitializer toolkit;
  AtomicFileWriter writer(wxString(argv[1]) + "\\big.out");
  const std::string chunk(1 << 20, 'p');
  if (!writer.Open() || !writer.Write(chunk.data(), chunk.size())) return 1;
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
  if (ready == nullptr || !SetEvent(ready)) return 1;
  Sleep(INFINITE);
  return 0;
}

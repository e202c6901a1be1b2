// Entry point of veilor: the process-wide services that everything else
// relies on are built first, then the toolkit takes over.
#include <wx/app.h>

#include "core/Exceptions.h"
#include "core/StartupError.h"
#include "core/VeilorApp.h"
#include "crypto/Keys.h"

wxIMPLEMENT_APP_NO_MAIN(CVeilorApp);

namespace {
// The key table runs the crypto library's self-test; a program whose crypto
// is not sound must not start.
bool StartProcessServices() {
  try {
    CKeys::Instance();
    return true;
  } catch (const rkException& error) {
    ShowStartupError(error.GetMessage());
    return false;
  }
}
}  // namespace

#ifdef __WXMSW__
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show) {
  if (!StartProcessServices()) return 1;
  return wxEntry(instance, previous, nullptr, show);
}
#else
int main(int argc, char** argv) {
  if (!StartProcessServices()) return 1;
  return wxEntry(argc, argv);
}
#endif

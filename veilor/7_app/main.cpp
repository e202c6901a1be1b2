// Entry point of veilor: the process-wide services that everything else
// relies on are built first, then the toolkit takes over.
#include <cstdio>

#include <wx/app.h>

#include "1_base/Exceptions.h"
#include "1_base/Utf8Names.h"
#include "2_crypto/Keys.h"
#include "7_app/CommandLine.h"
#include "7_app/StartupError.h"
#include "7_app/VeilorApp.h"

wxIMPLEMENT_APP_NO_MAIN(CVeilorApp);

namespace {
// The key table runs the crypto library's self-test; a program whose crypto
// is not sound must not start.
bool StartProcessServices() {
  try {
    CKeys::Instance();
    return true;
  } catch (const rkException& error) {
    ReportStartupError(error.GetMessage());
    return false;
  }
}
}  // namespace

#ifdef __WXMSW__
// A windowed program has no console of its own: "--help", "--version" and the
// usage of a wrong command line reach the console it was started from, unless
// its output is redirected already.
static void UseParentConsole() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output != nullptr && output != INVALID_HANDLE_VALUE) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (std::freopen("CONOUT$", "w", stdout) == nullptr) return;
  if (std::freopen("CONOUT$", "w", stderr) == nullptr) return;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show) {
  LogToolkitAssertions();
  UseParentConsole();
  if (!StartProcessServices()) return 1;
  return wxEntry(instance, previous, nullptr, show);
}
#else
int main(int argc, char** argv) {
  LogToolkitAssertions();
  UseUtf8ForNames();
  wxArrayString args;
  for (int i = 0; i < argc; ++i) args.Add(ArgumentText(argv[i]));
  // Questions about the program are answered even where no display is.
  if (PrintAnswer(ParseCommandLine(args))) return 0;
  // A failed self-test is shown once the toolkit runs, in a box on the
  // display or, without one, on standard error.
  StartProcessServices();

  // The toolkit sees the program's name alone: it would take any argument
  // that looks like one of its options (such as "--display=...") for itself,
  // and a path may look like anything. The program reads the arguments as
  // they were given.
  CVeilorApp::KeepArguments(args);
  wxString name = args.empty() ? wxString() : args[0];
  wxChar* toolkitArgs[] = {const_cast<wxChar*>(name.wc_str()), nullptr};
  int toolkitCount = 1;
  // A toolkit that could not start (no display) has said why already.
  const int status = wxEntry(toolkitCount, toolkitArgs);
  return status < 0 ? CVeilorApp::ExitFailed : status;
}
#endif

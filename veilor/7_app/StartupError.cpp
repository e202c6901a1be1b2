#include "7_app/StartupError.h"

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"

#ifdef __WINDOWS__
#include <windows.h>
#else
#include <wx/log.h>
#endif

void ShowStartupError(const wxString& message) {
#ifdef __WINDOWS__
  MessageBoxW(nullptr, message.wc_str(), Msg(msg::PlainErrorTitle).wc_str(), MB_OK | MB_ICONHAND);
#else
  wxSafeShowMessage(Msg(msg::PlainErrorTitle), message);
#endif
}

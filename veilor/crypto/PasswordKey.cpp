#include "crypto/PasswordKey.h"

#include <wx/defs.h>

#include "core/MessageBox.h"
#include "core/MessageCatalogue.h"
#include "core/MessageIds.h"
#include "crypto/AnsiText.h"
#include "crypto/HexText.h"

wxString KeyFromPassword(const wxString& password, std::size_t maxChars) {
  if (password.length() > maxChars) {
    ShowMessageBox(Msg(msg::PasswordTooLong), Msg(msg::TitleWarning),
                   wxOK | wxCENTRE | wxICON_WARNING);
    return wxString();
  }
  const wxString padded = password + wxString(wxUniChar(0x02), maxChars - password.length());
  const auto bytes = ToAnsiBytes(padded);
  if (!bytes) return wxString();
  return ToHex(*bytes);
}

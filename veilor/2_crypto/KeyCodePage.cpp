#include "2_crypto/KeyCodePage.h"

#ifdef __WINDOWS__
#include "2_crypto/AnsiText.h"
#else
#include "2_crypto/Windows1252.h"
#endif

std::optional<ByteString> ToKeyCodePage(const wxString& text) {
#ifdef __WINDOWS__
  return ToAnsiBytes(text);
#else
  return ToWindows1252(text);
#endif
}

wxString FromKeyCodePage(const ByteString& bytes) {
#ifdef __WINDOWS__
  return FromAnsiBytes(bytes);
#else
  return FromWindows1252(bytes);
#endif
}

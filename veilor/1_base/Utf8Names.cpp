#include "1_base/Utf8Names.h"

#ifndef __WINDOWS__
#include <langinfo.h>
#include <strings.h>

#include <clocale>
#include <cstdlib>
#endif

const wxMBConv& NameConversion() {
#ifdef __WINDOWS__
  return *wxConvFileName;
#else
  // The same mapping the toolkit uses for names under a UTF-8 locale, made
  // independent of the locale and the environment.
  static const wxMBConvUTF8 conversion(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
  return conversion;
#endif
}

void UseUtf8ForNames() {
#ifndef __WINDOWS__
  wxConvFileName = const_cast<wxMBConv*>(&NameConversion());
  constexpr const char* kUtf8Locale = "C.UTF-8";
  std::setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  if (::strcasecmp(codeset, "UTF-8") == 0 || ::strcasecmp(codeset, "utf8") == 0) return;
  if (std::setlocale(LC_CTYPE, kUtf8Locale) == nullptr) return;
  // The toolkit sets the locale again from the environment when it starts:
  // make the environment say the same, through whichever variable rules.
  const char* all = std::getenv("LC_ALL");
  ::setenv(all != nullptr && *all != '\0' ? "LC_ALL" : "LC_CTYPE", kUtf8Locale, 1);
#endif
}

wxString ArgumentText(const char* argument) { return wxString(argument, NameConversion()); }

namespace {
bool ShowsAsItself(wxUniChar::value_type c) {
  if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) return false;  // control characters
  if (c >= 0xD800 && c < 0xE000) return false;                         // surrogates
#ifndef __WINDOWS__
  // Bytes that were not UTF-8, and what no text can hold.
  if ((c >= 0x100000 && c < 0x100100) || c > 0x10FFFF) return false;
#endif
  return true;
}
}  // namespace

wxString EscapedName(const wxString& name) {
  wxString shown;
  shown.reserve(name.length());
  for (wxString::const_iterator it = name.begin(); it != name.end(); ++it) {
    const wxUniChar::value_type c = (*it).GetValue();
    if (ShowsAsItself(c)) {
      shown += *it;
      continue;
    }
#ifdef __WINDOWS__
    shown += c < 0x100 ? wxString::Format("\\x%02X", c) : wxString::Format("\\u%04X", c);
#else
    const wchar_t single[] = {static_cast<wchar_t>(c), L'\0'};
    const wxCharBuffer bytes = NameConversion().cWC2MB(single);
    for (std::size_t i = 0; i < bytes.length(); ++i) {
      shown += wxString::Format("\\x%02X", static_cast<unsigned char>(bytes.data()[i]));
    }
#endif
  }
  return shown;
}

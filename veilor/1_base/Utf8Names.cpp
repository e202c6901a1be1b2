#include "1_base/Utf8Names.h"

#include <string>

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
bool ShowsAsItself(wxUint32 c) {
  if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) return false;  // control characters
  if (c >= 0xD800 && c < 0xE000) return false;                         // surrogates
  // Bytes that were not UTF-8 (Linux), and what no text can hold.
  return !(c >= 0x100000 && c < 0x100100) && c <= 0x10FFFF;
}
}  // namespace

wxString EscapedName(const wxString& name) {
  const std::wstring text = name.ToStdWstring();
  wxString shown;
  shown.reserve(text.length());
  for (std::size_t i = 0; i < text.length(); ++i) {
    const auto c = static_cast<wxUint32>(text[i]);
#ifdef __WINDOWS__
    // Wide text of two units: a pair of surrogates is one character.
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.length() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      shown += text.substr(i, 2);
      ++i;
      continue;
    }
    if (ShowsAsItself(c)) {
      shown += text[i];
    } else {
      shown += c < 0x100 ? wxString::Format("\\x%02X", c) : wxString::Format("\\u%04X", c);
    }
#else
    if (ShowsAsItself(c)) {
      shown += text[i];
      continue;
    }
    // Each byte the name holds for this character.
    const wchar_t single[] = {text[i], L'\0'};
    const wxCharBuffer bytes = NameConversion().cWC2MB(single);
    for (std::size_t b = 0; b < bytes.length(); ++b) {
      shown += wxString::Format("\\x%02X", static_cast<unsigned char>(bytes.data()[b]));
    }
#endif
  }
  return shown;
}

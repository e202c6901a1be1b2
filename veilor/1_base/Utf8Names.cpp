#include "1_base/Utf8Names.h"

#ifndef __WINDOWS__
#include <langinfo.h>
#include <strings.h>

#include <clocale>
#include <cstdlib>
#endif

void UseUtf8ForNames() {
#ifndef __WINDOWS__
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

wxString ArgumentText(const char* argument) {
  const wxString text = wxString::FromUTF8(argument);
  if (!text.empty() || *argument == '\0') return text;
  return wxString(argument, wxConvLocal);
}

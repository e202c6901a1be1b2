#pragma once

#include <map>

#include <wx/string.h>

// Every user-visible text, verb, extension and well-known file name of the
// program, looked up by number. Built once, before anything else needs it.
class CMessageCatalogue {
public:
  static CMessageCatalogue& Instance();

  // Copy of the text. An unknown ID gives an empty text, so the catalogue
  // never refuses a lookup.
  wxString Get(int id) const;

private:
  CMessageCatalogue();

  std::map<int, wxString> texts_;
};

// Shorthand for CMessageCatalogue::Instance().Get(id).
wxString Msg(int id);

#include "FileTestSupport.h"

#include <algorithm>

#include <wx/dir.h>

std::vector<std::string> FileFixture::Listing() const {
  std::vector<std::string> names;
  wxDir folder(dir.Path());
  wxString name;
  for (bool found = folder.GetFirst(&name, wxEmptyString, wxDIR_FILES | wxDIR_DIRS | wxDIR_HIDDEN);
       found; found = folder.GetNext(&name)) {
    names.push_back(name.utf8_string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

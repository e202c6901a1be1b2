// Preloaded into the program by the tests: the toolkit fails an assertion
// each time a folder is read, then reads it as usual, as a toolkit that
// meets something it does not expect in the middle of a batch.
#include <dlfcn.h>

#include <wx/debug.h>
#include <wx/dir.h>

bool wxDir::GetFirst(wxString* filename, const wxString& filespec, int flags) const {
  wxFAIL_MSG("an assertion made by the test");
  using Real = bool (*)(const wxDir*, wxString*, const wxString&, int);
  static const auto real =
      reinterpret_cast<Real>(dlsym(RTLD_NEXT, "_ZNK5wxDir8GetFirstEP8wxStringRKS0_i"));
  return real(this, filename, filespec, flags);
}

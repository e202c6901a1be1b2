#include "6_ui/ImageStore.h"

#include <wx/filefn.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include "1_base/ProgramDir.h"
#include "6_ui/EmbeddedPictures.h"

CImageStore& CImageStore::Instance() {
  static CImageStore store;
  return store;
}

wxString CImageStore::GetThemesDir() { return GetThemeDir(); }

CImageStore::CImageStore() {
  wxInitAllImageHandlers();

#ifdef __WINDOWS__
  // A folder that cannot be created is reported later, as a missing skin,
  // when a skinned window is shown. Elsewhere the program creates nothing
  // beside itself: an installed one lives in a folder of the system's.
  {
    wxLogNull quiet;
    const wxString themes = GetThemesDir();
    if (!wxDirExists(themes)) wxMkdir(themes, 0777);
  }
#endif

  for (const EmbeddedPicture& picture : EmbeddedPictures()) {
    // A picture that fails to decode stays an invalid bitmap: its dialog
    // simply shows no picture.
    wxLogNull quiet;
    wxMemoryInputStream stream(picture.data, picture.size);
    wxImage image(stream, wxBITMAP_TYPE_ANY, -1);
    images_[picture.key] = image.IsOk() ? wxBitmap(image, -1) : wxBitmap();
  }
}

wxBitmap CImageStore::GetBitmap(int key) { return images_[key]; }

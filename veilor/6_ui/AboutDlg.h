#pragma once

#include <functional>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

// The program's information window: banner, version, description, the
// libraries it is built with, and links to the website and support mail.
class CAboutDlg : public wxDialog {
public:
  enum ControlId {
    ID_BANNER = 1001,
    ID_BUTTON_CLOSE = 1005,
    ID_STATIC_LABELS = 1006,
    ID_STATIC_VALUES = 1007,
    ID_COMPONENTS_BOX = 1008,
    ID_STATIC_COMPONENTS = 1010,
    ID_STATIC_WEB = 1012,
    ID_STATIC_MAIL = 1013,
    ID_STATIC_DESC = 1014,
  };

  // Opens an address in the user's browser or mail program.
  using LinkOpener = std::function<void(const wxString& address)>;

  CAboutDlg(wxWindow* parent, int id, const wxString& title);

  // The lines of the components box: the libraries with the versions this
  // program was compiled against.
  static wxString ComponentsText();

  wxStaticBitmap* banner;
  wxStaticText* labelsText;
  wxStaticText* valuesText;
  wxStaticBox* componentsBox;
  wxStaticText* componentsText;
  wxStaticText* webLink;
  wxStaticText* mailLink;
  wxStaticText* descriptionText;
  wxButton* closeButton;

private:
  void OnWebLink(wxMouseEvent& event);
  void OnMailLink(wxMouseEvent& event);
  void OnCloseButton(wxCommandEvent& event);

  LinkOpener openLink_;
  // Tests replace the launcher through their seam.
  friend struct AboutDlgSeam;

  wxDECLARE_EVENT_TABLE();
};

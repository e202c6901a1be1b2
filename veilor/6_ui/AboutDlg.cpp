#include "6_ui/AboutDlg.h"

#include <cryptopp/config.h>
#include <wx/utils.h>
#include <wx/version.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "1_base/ProductVersion.h"
#include "6_ui/DialogLook.h"
#include "6_ui/ImageStore.h"

namespace {
const wxString kDescription =
    "Ordal Veilor is console utility for encryption and decryption files on your computer. You "
    "can access it fuctions from command line or context menu of Windows Explorer. List of "
    "command line options you can view in documentation.";

// Crypto++ numbers its releases as one integer: 870 is 8.7.0.
wxString CryptoppVersion() {
  constexpr int version = CRYPTOPP_VERSION;
  return wxString::Format("%d.%d.%d", version / 100, version / 10 % 10, version % 10);
}
}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CAboutDlg, wxDialog)
  EVT_BUTTON(CAboutDlg::ID_BUTTON_CLOSE, CAboutDlg::OnCloseButton)
wxEND_EVENT_TABLE()
// clang-format on

CAboutDlg::CAboutDlg(wxWindow* parent, int id, const wxString& title)
    : wxDialog(parent, id, title, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU),
      openLink_([](const wxString& address) { wxLaunchDefaultBrowser(address, 0); }) {
  SetPosition(wxPoint(8, 8));
  SetSize(FromDIP(wxSize(450, 531)));
  Centre(wxBOTH);
  const wxFont font = DialogFont();
  SetFont(font);

  banner = new wxStaticBitmap(this, ID_BANNER, wxNullBitmap, FromDIP(wxPoint(6, 5)),
                              FromDIP(wxSize(430, 92)));
#ifdef __WXMSW__
  // The banner takes no input. GTK would grey a disabled picture out, so
  // there it simply stays enabled.
  banner->Disable();
#endif
  labelsText = new wxStaticText(this, ID_STATIC_LABELS, wxEmptyString, FromDIP(wxPoint(10, 110)),
                                FromDIP(wxSize(100, 66)), wxST_NO_AUTORESIZE, "guiStatic0");
  valuesText = new wxStaticText(this, ID_STATIC_VALUES, wxEmptyString, FromDIP(wxPoint(117, 110)),
                                FromDIP(wxSize(316, 66)), wxST_NO_AUTORESIZE, "guiStatic1");
  descriptionText = new wxStaticText(this, ID_STATIC_DESC, wxEmptyString, FromDIP(wxPoint(10, 190)),
                                     FromDIP(wxSize(420, 98)), wxST_NO_AUTORESIZE, "guiStaticDesc");
  componentsBox = new wxStaticBox(this, ID_COMPONENTS_BOX, "Project uses", FromDIP(wxPoint(5, 299)),
                                  FromDIP(wxSize(432, 108)));
  componentsText =
      new wxStaticText(this, ID_STATIC_COMPONENTS, wxEmptyString, FromDIP(wxPoint(13, 324)),
                       FromDIP(wxSize(420, 70)), wxST_NO_AUTORESIZE, "guiStaticComponents");
  webLink = new wxStaticText(this, ID_STATIC_WEB, "Visit our website", FromDIP(wxPoint(10, 420)),
                             FromDIP(wxSize(430, 17)), wxST_NO_AUTORESIZE, "guiStaticWEB");
  mailLink = new wxStaticText(this, ID_STATIC_MAIL, "e-mail us", FromDIP(wxPoint(10, 439)),
                              FromDIP(wxSize(430, 17)), wxST_NO_AUTORESIZE, "guiStaticMail");
  closeButton = new wxButton(this, ID_BUTTON_CLOSE, "Close", FromDIP(wxPoint(361, 465)),
                             FromDIP(wxSize(75, 25)));
  for (wxWindow* control : GetChildren()) control->SetFont(font);
  // Escape acts as "Close", as the close box does.
  SetEscapeId(ID_BUTTON_CLOSE);

  banner->SetBitmap(PictureAtDpi(*this, CImageStore::AboutBanner));
  SetIconFromPicture(*this, CImageStore::AboutIcon);
  SetTitle(title);

  labelsText->SetLabel("Veilor version:\n");
  valuesText->SetLabel(wxString(kProductVersion) + "\n");
  descriptionText->SetLabel(kDescription);
  descriptionText->Wrap(descriptionText->GetSize().x);
  componentsText->SetLabel(ComponentsText());

  const wxString website = Msg(msg::WebsiteAddress);
  const wxString mail = Msg(msg::SupportMailAddress);
  for (wxStaticText* link : {webLink, mailLink}) {
    link->SetForegroundColour(*wxBLUE);
    link->SetCursor(wxCursor(wxCURSOR_HAND));
  }
  webLink->Bind(wxEVT_LEFT_UP, &CAboutDlg::OnWebLink, this);
  webLink->SetToolTip(website);
  mailLink->Bind(wxEVT_LEFT_UP, &CAboutDlg::OnMailLink, this);
  mailLink->SetToolTip(mail);
}

wxString CAboutDlg::ComponentsText() {
  return "Crypto++ v" + CryptoppVersion() + "\n" + wxString(wxVERSION_STRING) + "\n" +
         "Ordal Context Menu engine\n";
}

void CAboutDlg::OnWebLink(wxMouseEvent& event) {
  openLink_(Msg(msg::WebsiteAddress));
  event.Skip();
}

void CAboutDlg::OnMailLink(wxMouseEvent& event) {
  openLink_(Msg(msg::SupportMailAddress));
  event.Skip();
}

void CAboutDlg::OnCloseButton(wxCommandEvent&) {
  if (IsModal()) EndModal(0);
}

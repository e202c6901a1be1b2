#include "6_ui/DialogLook.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

#include "1_base/ErrorText.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "6_ui/ImageStore.h"
#include "6_ui/MessageBox.h"

wxFont DialogFont() {
  return wxFont(8, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, "Tahoma");
}

wxRect DipRect(const wxWindow& window, const wxRect& rect) {
  return wxRect(window.FromDIP(rect.GetPosition()), window.FromDIP(rect.GetSize()));
}

wxBitmap PictureAtDpi(const wxWindow& window, int pictureKey) {
  const wxBitmap picture = CImageStore::Instance().GetBitmap(pictureKey);
  if (!picture.IsOk()) return picture;
  const wxSize size = window.FromDIP(picture.GetSize());
  if (size == picture.GetSize()) return picture;
  return wxBitmap(picture.ConvertToImage().Scale(size.x, size.y, wxIMAGE_QUALITY_HIGH));
}

void SetIconFromPicture(wxTopLevelWindow& window, int pictureKey) {
  wxIcon icon;
  icon.CopyFromBitmap(CImageStore::Instance().GetBitmap(pictureKey));
  if (icon.IsOk()) window.SetIcon(icon);
}

void ShowErrorBox(const std::exception& error) {
  ShowMessageBox(DescribeError(error), Msg(msg::TitleError), wxOK | wxCENTRE | wxICON_ERROR);
}

void WrapToWidth(wxStaticText* text, int width) {
  text->Wrap(width);
  text->InvalidateBestSize();
  text->SetMinSize(wxSize(width, text->GetBestSize().y));
}

namespace {
void FitAtLeast(wxTopLevelWindow& window, const wxSize& wanted) {
  window.SetSizeHints(wxDefaultSize, wxDefaultSize);
  window.SetSize(wanted);
  window.Layout();
  const wxSize fitting = window.GetSizer()->ComputeFittingWindowSize(&window);
  const wxSize size(std::max(wanted.x, fitting.x), std::max(wanted.y, fitting.y));
  window.SetSizeHints(size, size);
  window.SetSize(size);
  window.Layout();
}
}  // namespace

void SetFixedSizeAtLeast(wxTopLevelWindow& window, const wxSize& wanted) {
  FitAtLeast(window, wanted);
  // Some toolkits know the real size of their controls only once the window
  // is on screen; the first showing measures again.
  window.Bind(wxEVT_SHOW, [&window, wanted, done = false](wxShowEvent& event) mutable {
    event.Skip();
    if (done || !event.IsShown()) return;
    done = true;
    FitAtLeast(window, wanted);
  });
}

wxButton* NarrowButton(wxWindow* parent, int id, const wxString& label) {
  auto* button = new wxButton(parent, id, label, wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
  const wxSize best = button->GetBestSize();
  button->SetMinSize(wxSize(std::max(best.x + button->FromDIP(16), button->FromDIP(64)), best.y));
  return button;
}

void AddDialogHeader(wxWindow& dialog, wxSizer& root, int pictureKey, const wxString& text,
                     wxStaticBitmap*& picture, wxStaticText*& title, int pictureId, int titleId) {
  auto* header = new wxBoxSizer(wxHORIZONTAL);
  picture = new wxStaticBitmap(&dialog, pictureId, PictureAtDpi(dialog, pictureKey));
  header->Add(picture, 0, wxALIGN_TOP | wxALL, dialog.FromDIP(5));
  title = new wxStaticText(&dialog, titleId, text, wxDefaultPosition, wxDefaultSize,
                           wxST_NO_AUTORESIZE);
  header->Add(title, 1, wxEXPAND | wxALL, dialog.FromDIP(5));
  root.Add(header, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, dialog.FromDIP(5));
}

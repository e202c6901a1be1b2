#include "6_ui/XPDialog.h"

#include <new>

#include <wx/dcclient.h>
#include <wx/filefn.h>
#include <wx/log.h>
#include <wx/region.h>
#include <wx/utils.h>

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "6_ui/SkinScaling.h"

namespace {
// The caption is painted in the skin's ink colour: the toolkit's default text
// colour follows the desktop theme and may vanish on the skin.
const wxColour kCaptionInk(0x1D, 0x2B, 0x3A);
}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CXPDialog, wxFrame)
  EVT_PAINT(CXPDialog::OnPaint)
  EVT_IDLE(CXPDialog::OnIdle)
  EVT_CLOSE(CXPDialog::OnCloseRequest)
  EVT_DPI_CHANGED(CXPDialog::OnDpiChanged)
wxEND_EVENT_TABLE()
// clang-format on

CXPDialog::CXPDialog(wxWindow* parent, int id, const wxString& caption, const wxPoint& pos,
                     const wxSize& size, long style)
    : wxFrame(parent, id, wxEmptyString, pos, size,
              style | wxBORDER_NONE | wxFRAME_SHAPED | wxFRAME_NO_TASKBAR),
      caption_(caption) {
  captionFont_.reset(new (std::nothrow)
                         wxFont(8, wxFONTFAMILY_DEFAULT, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL,
                                false, Msg(msg::CaptionFontFace)));
  if (!captionFont_) throw CXPDialogException(Msg(msg::OutOfMemory));
  // As the window's own font the toolkit keeps it at the window's DPI.
  SetOwnFont(*captionFont_);
}

CXPDialog::~CXPDialog() = default;

int CXPDialog::ShowModal(const wxString& skinPath, wxWindow* initialFocus, unsigned char alpha) {
  if (focusPending_) return 1;
  if (initialFocus) {
    focusWindow_ = initialFocus;
    focusPending_ = true;
  }

  if (!wxFileExists(skinPath)) throw CXPDialogException(Msg(msg::PngNotFound));
  {
    wxLogNull quiet;  // the toolkit's own complaint would duplicate ours
    skinImage_ = wxImage();
    skinImage_.LoadFile(skinPath, wxBITMAP_TYPE_PNG);
  }
  if (!skinImage_.IsOk()) throw CXPDialogException(Msg(msg::PngInvalid));

  loop_.reset(new (std::nothrow) wxGUIEventLoop);
  if (!loop_) throw CXPDialogException(Msg(msg::OutOfMemory));

  ApplySkin();
  // Without transparency support (some X servers) the window is simply
  // opaque; it works the same.
  if (CanSetTransparent()) SetTransparent(alpha);

  Show(true);
  Raise();
  {
    // Like any modal window: a click on the window beneath must not start a
    // second prompt over this one.
    wxWindowDisabler others(this);
    loop_->Run();
  }
  Hide();
  return result_;
}

void CXPDialog::ApplySkin() {
  skin_ = wxBitmap(ScaleSkin(skinImage_, FromDIP(skinImage_.GetSize())));
  // Without shape support (some X servers) the window is simply
  // rectangular; it works the same.
  SetShape(wxRegion(skin_, *wxBLACK, 0));
  SetSize(skin_.GetWidth(), skin_.GetHeight());
}

// Moved to a screen of another density: the skin is scaled anew. The window
// sizes itself from the skin, so the toolkit's own resizing is not wanted.
void CXPDialog::OnDpiChanged(wxDPIChangedEvent&) {
  if (skinImage_.IsOk()) ApplySkin();
  Refresh();
}

void CXPDialog::SetCaption(const wxString& caption) {
  caption_ = caption;
  Refresh();
}

void CXPDialog::EndModal(int result) {
  result_ = result;
  if (IsRunningModal()) loop_->Exit(0);
}

void CXPDialog::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  if (skin_.IsOk()) dc.DrawBitmap(skin_, 0, 0, true);
  dc.SetFont(GetFont());
  dc.SetTextForeground(kCaptionInk);
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  dc.DrawText(caption_, FromDIP(wxPoint(8, 12)));
}

void CXPDialog::OnIdle(wxIdleEvent& event) {
  if (focusPending_) {
    if (focusWindow_) focusWindow_->SetFocus();
    focusPending_ = false;
    focusWindow_ = nullptr;
  }
  event.Skip();
}

void CXPDialog::OnCloseRequest(wxCloseEvent&) { EndModal(1); }

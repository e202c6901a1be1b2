#pragma once

#include <memory>

#include <wx/bitmap.h>
#include <wx/event.h>
#include <wx/evtloop.h>
#include <wx/font.h>
#include <wx/frame.h>
#include <wx/image.h>

// A borderless window whose whole look is one PNG skin: black pixels of the
// skin are outside the window. The skin is drawn for 96 DPI and is scaled to
// the window's DPI, as are the caption's place and font. It runs its own modal loop and ends with
// an integer result; a close request ends it with 1.
class CXPDialog : public wxFrame {
public:
  CXPDialog(wxWindow* parent, int id, const wxString& caption,
            const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
            long style = 0);
  ~CXPDialog() override;

  // Loads the skin, shapes and shows the window, gives initialFocus the focus
  // on the first idle, and blocks until EndModal; the program's other windows
  // take no input meanwhile. Throws CXPDialogException
  // before showing anything when the skin is missing or broken.
  virtual int ShowModal(const wxString& skinPath, wxWindow* initialFocus, unsigned char alpha);
  virtual void EndModal(int result);

  // Replaces the text painted on the skin.
  void SetCaption(const wxString& caption);

  // True while ShowModal's loop runs.
  bool IsRunningModal() const { return loop_ && loop_->IsRunning(); }

private:
  void OnPaint(wxPaintEvent& event);
  void OnIdle(wxIdleEvent& event);
  void OnCloseRequest(wxCloseEvent& event);
  void OnDpiChanged(wxDPIChangedEvent& event);
  // Scales the skin to the window's DPI, shapes the window and sizes it.
  void ApplySkin();

  wxString caption_;
  wxImage skinImage_;  // as loaded, at 96 DPI
  wxBitmap skin_;      // at the window's DPI
  std::unique_ptr<wxEventLoopBase> loop_;
  int result_ = 0;
  bool focusPending_ = false;
  wxWindow* focusWindow_ = nullptr;
  std::unique_ptr<wxFont> captionFont_;

  friend struct XPDialogSeam;
  wxDECLARE_EVENT_TABLE();
};

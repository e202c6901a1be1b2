#pragma once

#include <exception>

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/defs.h>
#include <wx/font.h>

class wxTopLevelWindow;
class wxWindow;

// The font of every control of the program's ordinary dialogs.
wxFont DialogFont();

// The design gives sizes and places in pixels at 96 DPI; these give them at
// the window's DPI (the same numbers where the toolkit itself works in such
// pixels, as GTK does).
wxRect DipRect(const wxWindow& window, const wxRect& rect);

// A picture of the image store at the window's DPI: drawn for 96 DPI, it is
// resampled for denser screens so that it keeps its place in the design.
wxBitmap PictureAtDpi(const wxWindow& window, int pictureKey);

// Sets a window icon from a picture of the image store; a missing picture
// leaves the window without one.
void SetIconFromPicture(wxTopLevelWindow& window, int pictureKey);

// Shows an error that reached a dialog's own handler, in the form the
// program's top-level handler uses, so that the dialog can stay open.
void ShowErrorBox(const std::exception& error);

class wxStaticText;

// Breaks a long explanatory text into lines of at most `width` pixels and
// makes that its minimum size, so that sizers give it the lines it needs
// instead of one line as wide as the whole text.
void WrapToWidth(wxStaticText* text, int width);

// Gives a window of fixed size `wanted`, or more in either direction where
// the platform's controls and fonts need more room, so that nothing is cut
// off; the user cannot resize it.
void SetFixedSizeAtLeast(wxTopLevelWindow& window, const wxSize& wanted);

class wxSizer;
class wxStaticBitmap;

// The top of the program's ordinary dialogs, added to the dialog's `root`
// sizer: a picture of the image store with the explanatory text beside it.
void AddDialogHeader(wxWindow& dialog, wxSizer& root, int pictureKey, const wxString& text,
                     wxStaticBitmap*& picture, wxStaticText*& title, int pictureId = wxID_ANY,
                     int titleId = wxID_ANY);

// The style of a small button of fixed size: GTK pads buttons so much that a
// short label no longer fits, and the exact-fit style drops that padding.
// Elsewhere the buttons keep their style.
#ifdef __WXGTK__
inline constexpr long kSmallButton = wxBU_EXACTFIT;
#else
inline constexpr long kSmallButton = 0;
#endif

class wxButton;

// A button no wider than its label needs (with a little padding): a row of
// six still fits the narrow windows where the platform's buttons are wide.
wxButton* NarrowButton(wxWindow* parent, int id, const wxString& label);

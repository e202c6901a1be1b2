#include "6_ui/ReportDlg.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/apptrait.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "6_ui/DialogLook.h"
#include "6_ui/ImageStore.h"
#include "6_ui/MessageBox.h"
#include "6_ui/ReportProgressEvent.h"

#ifdef __WXMSW__
#include <windows.h>
#endif

namespace {
using namespace std::chrono_literals;

// Often enough for the bar to move smoothly and a click to feel answered.
constexpr auto kKeepAliveInterval = 30ms;

const wxString kTitleText =
    "Ordal Veilor report window. Contains list of all processed files with additional "
    "information.";

bool NoModifiers(const wxKeyEvent& event) {
  return !event.AltDown() && !event.ControlDown() && !event.ShiftDown();
}

bool IsClosingKey(const wxKeyEvent& event) {
  const int code = event.GetKeyCode();
  const bool closing = code == WXK_ESCAPE || code == WXK_RETURN || code == WXK_NUMPAD_ENTER;
  return closing && NoModifiers(event);
}
}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CReportDlg, wxDialog)
  EVT_BUTTON(CReportDlg::ID_BUTTON_CLOSE, CReportDlg::OnCloseButton)
  EVT_BUTTON(CReportDlg::ID_BUTTON_STOP, CReportDlg::OnStopButton)
  EVT_IDLE(CReportDlg::OnIdle)
  EVT_CLOSE(CReportDlg::OnCloseRequest)
  EVT_COMMAND(0, EVT_REPORT_PROGRESS, CReportDlg::OnProgress)
wxEND_EVENT_TABLE()
// clang-format on

CReportDlg::CReportDlg(wxWindow* parent, int id, const wxString& title)
    : wxDialog(parent, id, title, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSTAY_ON_TOP | wxCLOSE_BOX | wxSYSTEM_MENU | wxMINIMIZE_BOX |
                   wxRESIZE_BORDER | wxDIALOG_NO_PARENT) {
  const wxFont font = DialogFont();
  SetFont(font);

  // Alignment across the sizer's direction is dropped where the item expands
  // anyway: the toolkit rejects such combinations.
  rootSizer = new wxBoxSizer(wxVERTICAL);

  headerRow = new wxBoxSizer(wxHORIZONTAL);
  rootSizer->Add(headerRow, 0, wxEXPAND | wxALL, FromDIP(5));
  headerPicture =
      new wxStaticBitmap(this, ID_HEADER_PICTURE, PictureAtDpi(*this, CImageStore::ReportHeader),
                         FromDIP(wxPoint(5, 5)), FromDIP(wxSize(64, 64)));
  headerRow->Add(headerPicture, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(5));
#ifdef __WXMSW__
  // The picture takes no input. GTK would grey a disabled picture out, so
  // there it simply stays enabled.
  headerPicture->Disable();
#endif
  titleText = new wxStaticText(this, ID_STATIC_TITLE, kTitleText, FromDIP(wxPoint(79, 5)),
                               FromDIP(wxSize(550, 64)), wxST_NO_AUTORESIZE);
  titleText->SetFont(font);
  headerRow->Add(titleText, 1, wxEXPAND | wxALL, FromDIP(5));

  fileList =
      new CReportList(this, ID_FILE_LIST, FromDIP(wxPoint(5, 89)), FromDIP(wxSize(650, 390)));
  fileList->SetFont(font);
  fileList->InsertColumn(ColumnFile, "Files", wxLIST_FORMAT_LEFT, FromDIP(290));
  fileList->InsertColumn(ColumnStatus, "Status", wxLIST_FORMAT_LEFT, FromDIP(74));
  fileList->InsertColumn(ColumnDescription, "Description", wxLIST_FORMAT_LEFT, FromDIP(260));
  rootSizer->Add(fileList, 1, wxEXPAND | wxALL, FromDIP(5));

  progressRow = new wxBoxSizer(wxHORIZONTAL);
  rootSizer->Add(progressRow, 0, wxEXPAND | wxALL, FromDIP(5));
  progressBar = new wxGauge(this, ID_PROGRESS_BAR, 100, FromDIP(wxPoint(5, 5)),
                            FromDIP(wxSize(150, 17)), wxGA_HORIZONTAL);
  progressBar->SetValue(0);
  progressRow->Add(progressBar, 1, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(5));
  overallText = new wxStaticText(this, ID_OVERALL_PROGRESS, wxEmptyString, wxDefaultPosition,
                                 FromDIP(wxSize(250, -1)), wxST_NO_AUTORESIZE);
  overallText->SetFont(font);
  progressRow->Add(overallText, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(5));

  buttonRow = new wxBoxSizer(wxHORIZONTAL);
  rootSizer->Add(buttonRow, 0, wxALIGN_RIGHT | wxALL, FromDIP(5));
  closeButton =
      new wxButton(this, ID_BUTTON_CLOSE, "Close", FromDIP(wxPoint(5, 5)), FromDIP(wxSize(75, 25)));
  closeButton->SetFont(font);
  buttonRow->Add(closeButton, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(5));
  // Beside Close, which stays disabled while the batch runs.
  stopButton = new wxButton(this, ID_BUTTON_STOP, Msg(msg::StopButton), wxDefaultPosition,
                            FromDIP(wxSize(75, 25)));
  stopButton->SetFont(font);
  buttonRow->Prepend(stopButton, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(5));

  SetIconFromPicture(*this, CImageStore::ReportIcon);

  // Escape and Enter act on release, through OnKeyUp, never through the
  // dialog's own key-press shortcuts.
  SetEscapeId(wxID_NONE);
  fileList->Bind(wxEVT_KEY_UP, &CReportDlg::OnKeyUp, this);
  closeButton->Bind(wxEVT_KEY_UP, &CReportDlg::OnKeyUp, this);
  stopButton->Bind(wxEVT_KEY_UP, &CReportDlg::OnKeyUp, this);

  SetSizer(rootSizer);
  rootSizer->Fit(this);
  rootSizer->SetSizeHints(this);
  Centre(wxBOTH);
}

CReportDlg::~CReportDlg() = default;

long CReportDlg::AddFileRow(const wxString& path) {
  const long row = fileList->AddRow(path);
  overall_.TakeUp(row);
  KeepAliveWhenDue();
  return row;
}

void CReportDlg::SetFileResult(long row, const wxString& status, const wxString& description) {
  fileList->SetRowResult(row, status, description);
  // Every file that got its outcome counts, also one finished after a stop
  // was asked; the file abandoned by the stop and those not reached do not.
  if (status != Msg(msg::StatusStopped) && description != Msg(msg::StoppedInWork)) {
    overall_.Done(row);
  }
  KeepAliveWhenDue();
}

void CReportDlg::NoteFile(long row, const wxString& text) {
  fileList->SetRowResult(row, wxEmptyString, text);
  KeepAliveWhenDue();
}

void CReportDlg::SetFileSizes(std::vector<std::uint64_t> sizes) {
  overall_.SetFileSizes(std::move(sizes));
  ShowChanges();
}

int CReportDlg::FinishAndShowModal() {
  if (!busy_) {
    ShowMessageBox("Internal error!", Msg(msg::TitleError), wxOK | wxCENTRE | wxICON_ERROR);
    return 0;
  }
  busy_ = false;
  stopButton->Enable(false);
  ShowChanges();
  return ShowModal();
}

void CReportDlg::OnCloseButton(wxCommandEvent&) {
  if (!busy_ && IsModal()) EndModal(0);
}

void CReportDlg::OnStopButton(wxCommandEvent&) {
  if (busy_) RequestStop();
}

void CReportDlg::RequestStop() {
  stopRequested_ = true;
  stopButton->Enable(false);
}

void CReportDlg::OnCloseRequest(wxCloseEvent& event) {
  if (busy_) {
    if (event.CanVeto()) event.Veto();
    return;
  }
  if (IsModal()) EndModal(0);
}

void CReportDlg::OnKeyUp(wxKeyEvent& event) {
  if (busy_) {
    if (event.GetKeyCode() == WXK_ESCAPE && NoModifiers(event)) RequestStop();
    return;
  }
  if (IsClosingKey(event) && IsModal()) {
    EndModal(0);
    return;
  }
  event.Skip();
}

void CReportDlg::OnProgress(wxCommandEvent& event) {
  // The bar itself moves at the window's next update: setting it costs a
  // message to the system's control on every step otherwise.
  step_ = event.GetInt();
  overall_.Step(event.GetInt());
  KeepAliveWhenDue();
}

void CReportDlg::OnIdle(wxIdleEvent& event) {
  ShowChanges();
  event.Skip();
}

// The rows and the overall progress as they are now.
void CReportDlg::ShowChanges() {
  fileList->ShowChanges();
  if (progressBar->GetValue() != step_) progressBar->SetValue(step_);
  const wxString overall = overall_.Text();
  if (overallText->GetLabel() != overall) overallText->SetLabel(overall);
}

void CReportDlg::KeepAliveWhenDue() {
  const auto start = std::chrono::steady_clock::now();
  if (start < nextKeepAlive_) return;
  ShowChanges();
#ifndef __WXMSW__
  // The toolkit's own list draws nothing while its layout waits for an idle
  // time, which never comes during a batch: it is laid out here instead.
  fileList->OnInternalIdle();
#endif
  Update();
  KeepAlive();
  // Counted from the end, and at least three times as long as the update
  // took, so that a slow display takes at most a quarter of the batch's time.
  const auto end = std::chrono::steady_clock::now();
  nextKeepAlive_ =
      end + std::max<std::chrono::steady_clock::duration>(kKeepAliveInterval, 3 * (end - start));
}

// The whole batch runs on the GUI thread, so the window would freeze between
// steps; this lets it repaint and take input (which cannot close it while
// busy).
void CReportDlg::KeepAlive() {
#ifdef __WXMSW__
  MSG message;
  while (PeekMessage(&message, GetHWND(), 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessage(&message);
  }
#else
  wxEventLoopBase* loop = wxEventLoopBase::GetActive();
  if (!loop) {
    if (!yieldLoop_) yieldLoop_.reset(wxTheApp->GetTraits()->CreateEventLoop());
    loop = yieldLoop_.get();
  }
  loop->YieldFor(wxEVT_CATEGORY_UI | wxEVT_CATEGORY_USER_INPUT);
#endif
}

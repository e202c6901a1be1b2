// Shows one window of the program in a typical state and saves a picture of
// it, for the README: `veilor_window_gallery WHAT <out.png>`, WHAT one of
// skin, report, password-manager, password-add, password-edit, settings,
// about. Run it under an X server (scripts/take-screenshots.sh does; the
// Windows build runs under Wine, scripts/take-windows-screenshots.sh).
#include <chrono>
#include <cstdio>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include "1_base/ProgramDir.h"
#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/AboutDlg.h"
#include "6_ui/ImageStore.h"
#include "6_ui/PassEditDlg.h"
#include "6_ui/PassEnterFrm.h"
#include "6_ui/PassManagerDlg.h"
#include "6_ui/ReportDlg.h"
#include "6_ui/ReportProgressEvent.h"
#include "6_ui/SettingsDlg.h"
#include "DialogDriver.h"
#include "TempDir.h"
#include "WindowTesting.h"

namespace {
// Under Wine the screen read back from inside lacks the native controls, so
// with VEILOR_GALLERY_AREA set the picture is taken from outside: the area is
// written to "<out>.area" as WxH+X+Y, and the window stays up until the tool
// that takes the picture removes that file.
bool AreaTakenFromOutside(const wxRect& area, const wxString& path) {
  if (!wxGetEnv("VEILOR_GALLERY_AREA", nullptr)) return false;
  const wxString marker = path + ".area";
  {
    wxFFile file(marker, "w");
    file.Write(wxString::Format("%dx%d+%d+%d", area.width, area.height, area.x, area.y));
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (wxFileExists(marker) && std::chrono::steady_clock::now() < deadline) {
    Settle(std::chrono::milliseconds(100));
  }
  return true;
}

void SaveScreen(const wxRect& area, const wxString& path) {
  if (AreaTakenFromOutside(area, path)) return;
  wxScreenDC screen;
  wxBitmap picture(area.GetSize());
  wxMemoryDC memory(picture);
  memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
  memory.SelectObject(wxNullBitmap);
  picture.SaveFile(path, wxBITMAP_TYPE_PNG);
}

// A calm desktop behind the window, so that its shape shows.
wxFrame* Backdrop() {
  auto* frame = new wxFrame(nullptr, -1, "desktop", wxPoint(0, 0), wxGetDisplaySize(),
                            wxBORDER_NONE | wxFRAME_NO_TASKBAR);
  frame->SetBackgroundColour(wxColour(0xDC, 0xE2, 0xE8));
  frame->Show();
  return frame;
}

int ShowSkin(const wxString& out, const wxString& skin) {
  wxFrame* backdrop = Backdrop();
  CPassEnterFrm window(nullptr, -1, false, "Please enter password for AES encryption", skin, 255);
  wxTheApp->CallAfter([&] {
    window.passwordEdit->ChangeValue("correct horse");
    window.passwordEdit->SetInsertionPointEnd();
    Settle(std::chrono::milliseconds(800));
    SaveScreen(window.GetScreenRect().Inflate(24), out);
    window.EndModal(1);
  });
  window.Run();
  backdrop->Destroy();
  return 0;
}

int ShowReport(const wxString& out) {
  wxFrame* backdrop = Backdrop();
  auto* report = new CReportDlg(nullptr, -1, "Encryption report");
  report->Show(true);
  // In the middle of a batch: Close waits for the end, Stop is offered.
  report->closeButton->Enable(false);
  report->SetFileSizes({182044, 23310, 1204660, 3120, 88120, 4301155, 96512, 2210004});
#ifdef _WIN32
  const wxString home = "C:\\Users\\anna\\Documents\\";
#else
  const wxString home = "/home/anna/Documents/";
#endif
  const struct {
    const char* path;
    const char* status;
    const char* description;
  } rows[] = {
      {"tax-return-2025.pdf", "Done", ""},
      {"contracts/lease.odt", "Done", ""},
      {"contracts/scan-0042.png", "Done", ""},
      {"notes.txt.aes", "Skipped", "Second encryption by this algorithm will show real file data"},
      {"budget.xlsx", "Skipped", "Source file already exists"},
      {"photos/2026-08-14 lake.jpg", "", ""},
  };
  for (const auto& row : rows) {
    wxString path = home + row.path;
    path.Replace("/", wxString(wxFILE_SEP_PATH));
    const long index = report->AddFileRow(path);
    // The last row is the file in work: no result yet.
    if (*row.status != '\0') report->SetFileResult(index, row.status, row.description);
  }
  SendReportProgress(report, 64);
  Settle(std::chrono::milliseconds(800));
  SaveScreen(report->GetScreenRect().Inflate(24), out);
  report->Destroy();
  backdrop->Destroy();
  return 0;
}

// A settings store with a few named passwords, as a user would have it.
struct SampleStore {
  SampleStore() {
    passwords.StoreEntries(
        {CPasswordEntry("x", "", "Work documents"), CPasswordEntry("x", "", "Family photos"),
         CPasswordEntry("x", "", "Tax returns"), CPasswordEntry("x", "", "Backup drive")});
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefEncPass, true);
    settings.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefEncPass,
                       ProtectString("Work documents", CSettings::FillerDefEncPass));
    settings.SetString(CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword,
                       ProtectString("guard", CSettings::FillerAdminPassword));
  }
  TempDir dir;
  CSettings settings{dir / "veilor.ini"};
  CPasswordManager passwords{settings};
};

// Takes the picture of the modal dialog W once it is up, then ends it.
template <class W>
void PictureWhenUp(DialogDriver& driver, const wxString& out,
                   std::function<void(W&)> prepare = nullptr) {
  driver.On<W>([out, prepare](W& dialog) {
    if (prepare) prepare(dialog);
    Settle(std::chrono::milliseconds(800));
    SaveScreen(dialog.GetScreenRect(), out);
    dialog.EndModal(1);
  });
}

int ShowDialog(const wxString& what, const wxString& out) {
  wxFrame* backdrop = Backdrop();
  SampleStore store;
  DialogDriver driver;
  if (what == "password-manager") {
    PictureWhenUp<CPassManagerDlg>(driver, out);
    CPassManagerDlg dialog(nullptr, -1, "Password manager", true, store.passwords);
    dialog.Run("Family photos");
  } else if (what == "password-add" || what == "password-edit") {
    const bool edit = what == "password-edit";
    PictureWhenUp<CPassEditDlg>(driver, out);
    CPassEditDlg dialog(nullptr, -1, edit ? "Edit password" : "Add password");
    dialog.guiButtonAdd->SetLabel(edit ? "Set" : "Add");
    if (edit) {
      dialog.guiEditPassword1->ChangeValue("correct horse");
      dialog.guiEditPassword2->ChangeValue("correct horse");
      dialog.guiEditPrompt->ChangeValue("the horse and the battery");
      dialog.guiEditName->ChangeValue("Work documents");
    }
    dialog.Run();
  } else if (what == "settings") {
    PictureWhenUp<CSettingsDlg>(driver, out);
    CSettingsDlg dialog(nullptr, -1, "Ordal Veilor's Settings", store.settings, store.passwords);
    dialog.ShowModal();
  } else if (what == "about") {
    PictureWhenUp<CAboutDlg>(driver, out);
    CAboutDlg dialog(nullptr, -1, "About");
    dialog.ShowModal();
  }
  backdrop->Destroy();
  return 0;
}

}  // namespace

// Outside the unnamed namespace: the wxGetApp() that the toolkit's macro
// defines for it would be an unused internal function there.
class GalleryApp : public wxApp {
public:
  bool OnInit() override {
    if (argc != 3) {
      std::fputs("usage: veilor_window_gallery WHAT <out.png>\n", stderr);
      return false;
    }
    CImageStore::Instance();
    const wxString what = argv[1];
    const wxString out = argv[2];
    if (what == "skin") ShowSkin(out, GetThemeDir() + "PassEnterFrm.png");
    if (what == "report") ShowReport(out);
    if (what != "skin" && what != "report") ShowDialog(what, out);
    return false;
  }
};

wxIMPLEMENT_APP_NO_MAIN(GalleryApp);

int main(int argc, char** argv) { return wxEntry(argc, argv); }

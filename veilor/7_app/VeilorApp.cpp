#include "7_app/VeilorApp.h"

#include <cstdio>
#include <new>

#include <wx/log.h>
#include <wx/thread.h>

#include "1_base/ErrorText.h"
#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "1_base/Utf8Names.h"
#include "3_settings/ProgramSettings.h"
#include "3_settings/SettingsPath.h"
#include "4_passwords/PasswordManager.h"
#include "5_batch/FileCommand.h"
#include "5_batch/Logger.h"
#include "6_ui/AboutDlg.h"
#include "6_ui/AdministratorCheck.h"
#include "6_ui/ImageStore.h"
#include "6_ui/MessageBox.h"
#include "6_ui/PassEnterPrompt.h"
#include "6_ui/PassManagerDlg.h"
#include "6_ui/ReportDlgSink.h"
#include "6_ui/SettingsDlg.h"
#include "7_app/CommandLine.h"
#include "7_app/StartupError.h"

namespace {
wxArrayString& KeptArguments() {
  static wxArrayString arguments;
  return arguments;
}

void OnToolkitAssertion(const wxString& file, int line, const wxString& function,
                        const wxString& condition, const wxString& message) {
  // An assertion met while one is being written would recur without end.
  // The logger belongs to the main thread: a worker's assertion goes to
  // standard error alone.
  static bool writing = false;
  const bool mainThread = wxThread::IsMain();
  if (mainThread && writing) return;
  if (mainThread) writing = true;
  const wxString text = wxString::Format("%s(%d): %s: assert \"%s\" failed: %s", file, line,
                                         function, condition, message);
  std::fprintf(stderr, "%s\n", static_cast<const char*>(text.utf8_str()));
  auto* app = dynamic_cast<CVeilorApp*>(wxApp::GetInstance());
  if (mainThread && app != nullptr && app->HasLogger()) {
    // Also where the toolkit's own messages are silenced for a while.
    const bool logging = wxLog::EnableLogging(true);
    app->Logger().Log(text, CLogger::Error, CLogger::LogOnly);
    wxLog::EnableLogging(logging);
  }
  if (mainThread) writing = false;
}
}  // namespace

void LogToolkitAssertions() { wxSetAssertHandler(OnToolkitAssertion); }

void CVeilorApp::KeepArguments(const wxArrayString& arguments) { KeptArguments() = arguments; }

CVeilorApp::CVeilorApp() {
  // A failed self-test was reported before: nothing is built on a crypto
  // library that is not sound.
  if (HasStartupError()) {
    startupFailed_ = true;
    return;
  }
  try {
    BuildServices();
  } catch (const rkException& error) {
    ReportStartupError(error.GetMessage());
    startupFailed_ = true;
  } catch (const std::exception& error) {
    ReportStartupError(DescribeError(error));
    startupFailed_ = true;
  }
}

void CVeilorApp::BuildServices() {
  try {
    settings_ = std::make_unique<CSettings>(SettingsFilePath());
    logger_ = std::make_unique<CLogger>(
        *settings_, [](const wxString& text, const wxString& title, long style) {
          ShowMessageBox(text, title, style);
        });
    passwords_ = std::make_unique<CPasswordManager>(*settings_);
  } catch (const std::bad_alloc&) {
    throw CVeilorException(Msg(msg::OutOfMemory), Msg(msg::ModuleCore));
  }
}

CVeilorApp::~CVeilorApp() {
  logger_.reset();
  passwords_.reset();
  settings_.reset();
}

bool CVeilorApp::OnInit() {
  const Command command =
      ParseCommandLine(KeptArguments().empty() ? argv.GetArguments() : KeptArguments());
  // Questions about the program itself need none of its services.
  if (PrintAnswer(command)) {
    exitStatus_ = ExitDone;
    return true;
  }
  if (startupFailed_) {
    ShowPendingStartupError();
    exitStatus_ = ExitFailed;
    return true;
  }

  try {
    // The pictures need the running toolkit; this also creates the theme
    // folder, so that a user sees where the skin belongs.
    CImageStore::Instance();
    logger_->Open();
    logger_->Log(Msg(msg::Initializing), CLogger::Information, CLogger::LogAndBox);
    adminPassword_.Bind(*settings_, CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword);
    exitStatus_ = Run(command);
  } catch (const std::exception& error) {
    ReportError(error);
  }

  // The file is written here rather than in the destructor so that a failed
  // write can still be reported.
  try {
    settings_->Save();
    if (settings_->KeptReadOnly()) {
      logger_->Log(Msg(msg::SettingsReadOnly) + settings_->GetPath(), CLogger::Warning,
                   CLogger::LogOnly);
    }
  } catch (const std::exception& error) {
    ReportError(error);
  }
  // The action is over: OnRun hands the status to the process without
  // entering the toolkit's main loop.
  return true;
}

bool CVeilorApp::Initialize(int& argc, wxChar** argv) {
#ifdef __WINDOWS__
  return wxApp::Initialize(argc, argv);
#else
  // Without a display the toolkit's own complaint would be all there is to
  // read; the program says instead what happened and what it needs.
  bool started = false;
  {
    wxLogNull quiet;
    started = wxApp::Initialize(argc, argv);
  }
  if (!started) ReportNoDisplay();
  // The toolkit has set its own conversion of file names; every name the
  // program meets converts by the one its arguments were read with.
  UseUtf8ForNames();
  return started;
#endif
}

int CVeilorApp::OnRun() { return exitStatus_; }

void CVeilorApp::ReportError(const std::exception& error) {
  exitStatus_ = ExitFailed;
  logger_->Log(DescribeError(error), CLogger::Error, CLogger::LogAndBox);
}

int CVeilorApp::Run(const Command& command) {
  switch (command.action) {
    case Action::EncryptAes:
    case Action::DecryptAes:
    case Action::EncryptDes3:
    case Action::DecryptDes3:
    case Action::EncryptAge:
    case Action::DecryptAge: return RunFileCommand(command);
    case Action::PasswordManager: return RunPasswordManager();
    case Action::Settings: return RunSettings();
    case Action::About: {
      CAboutDlg about(nullptr, -1, Msg(msg::AboutTitle));
      about.ShowModal();
      return ExitDone;
    }
    case Action::Help:
    case Action::Version:
    case Action::None: break;
  }
  std::fputs(UsageText().utf8_str(), stderr);
  return ExitUsage;
}

int CVeilorApp::RunFileCommand(const Command& command) {
  CPassEnterPrompt prompt(*passwords_);
  CReportDlgSink report;
  CFileCommand files(command.paths, *settings_, *logger_, *passwords_, prompt, report);
  switch (command.action) {
    case Action::EncryptAes: files.EncryptAes(); break;
    case Action::DecryptAes: files.DecryptAes(); break;
    case Action::EncryptDes3: files.EncryptDes3(); break;
    case Action::EncryptAge: files.EncryptAge(); break;
    case Action::DecryptAge: files.DecryptAge(); break;
    default: files.DecryptDes3(); break;
  }
  return files.Succeeded() ? ExitDone : ExitFailed;
}

int CVeilorApp::RunPasswordManager() {
  if (!ConfirmAdministrator(nullptr, *passwords_)) return ExitFailed;
  CPassManagerDlg dialog(nullptr, -1, Msg(msg::PasswordManagerTitle), /*selectMode=*/false,
                         *passwords_);
  dialog.Run(wxEmptyString);
  // Stored whichever way the dialog ended; a failure reaches the error
  // handler above with the stored list unchanged.
  dialog.StoreEntries();
  return ExitDone;
}

int CVeilorApp::RunSettings() {
  CSettingsDlg dialog(nullptr, -1, Msg(msg::SettingsTitle), *settings_, *passwords_);
  // Written back also when the administrator check failed: the controls then
  // still hold the values they were filled with, so nothing changes.
  const int result = dialog.Run();
  dialog.StoreSettings();
  return result == CSettingsDlg::Refused ? ExitFailed : ExitDone;
}

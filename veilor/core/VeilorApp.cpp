#include "core/VeilorApp.h"

#include <new>

#include "core/CommandLine.h"
#include "core/ErrorText.h"
#include "core/Exceptions.h"
#include "core/Logger.h"
#include "core/MessageCatalogue.h"
#include "core/MessageIds.h"
#include "core/StartupError.h"
#include "crypto/FileCommand.h"
#include "passwords/PasswordManager.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsPath.h"
#include "ui/AboutDlg.h"
#include "ui/ImageStore.h"
#include "ui/PassManagerDlg.h"
#include "ui/SettingsDlg.h"

CVeilorApp::CVeilorApp() {
  try {
    BuildServices();
  } catch (const rkException& error) {
    ShowStartupError(error.GetMessage());
    startupFailed_ = true;
  } catch (const std::exception& error) {
    ShowStartupError(DescribeError(error));
    startupFailed_ = true;
  }
}

void CVeilorApp::BuildServices() {
  try {
    settings_ = std::make_unique<CSettings>(SettingsFilePath());
    logger_ = std::make_unique<CLogger>(*settings_);
    passwords_ = std::make_unique<CPasswordManager>(*settings_);
    CPasswordManager::SetProgram(passwords_.get());
  } catch (const std::bad_alloc&) {
    throw CVeilorException(Msg(msg::OutOfMemory), Msg(msg::ModuleCore));
  }
}

CVeilorApp::~CVeilorApp() {
  CPasswordManager::SetProgram(nullptr);
  logger_.reset();
  passwords_.reset();
  settings_.reset();
}

bool CVeilorApp::OnInit() {
  if (startupFailed_) return false;

  try {
    // The pictures need the running toolkit; this also creates the theme
    // folder, so that a user sees where the skin belongs.
    CImageStore::Instance();
    logger_->Open();
    logger_->Log(Msg(msg::Initializing), CLogger::Information, CLogger::LogAndBox);
    adminPassword_.Bind(*settings_, CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword);
    Run(ParseCommandLine(argv.GetArguments()));
  } catch (const std::exception& error) {
    ReportError(error);
  }

  // The file is written here rather than in the destructor so that a failed
  // write can still be reported.
  try {
    settings_->Save();
  } catch (const std::exception& error) {
    ReportError(error);
  }
  return false;
}

void CVeilorApp::ReportError(const std::exception& error) {
  logger_->Log(DescribeError(error), CLogger::Error, CLogger::LogAndBox);
}

void CVeilorApp::Run(const Command& command) {
  switch (command.action) {
    case Action::EncryptAes: MakeFileCommand(command).EncryptAes(); break;
    case Action::DecryptAes: MakeFileCommand(command).DecryptAes(); break;
    case Action::EncryptDes3: MakeFileCommand(command).EncryptDes3(); break;
    case Action::DecryptDes3: MakeFileCommand(command).DecryptDes3(); break;
    case Action::PasswordManager: RunPasswordManager(); break;
    case Action::Settings: RunSettings(); break;
    case Action::About: {
      CAboutDlg about(nullptr, -1, Msg(msg::AboutTitle));
      about.ShowModal();
      break;
    }
    case Action::None: break;
  }
}

void CVeilorApp::RunPasswordManager() {
  if (!passwords_->CheckAdministrator(nullptr)) return;
  CPassManagerDlg dialog(nullptr, -1, Msg(msg::PasswordManagerTitle), /*selectMode=*/false,
                         *passwords_);
  dialog.Run(wxEmptyString);
  // Stored whichever way the dialog ended; a failure reaches the error
  // handler above with the stored list unchanged.
  dialog.StoreEntries();
}

void CVeilorApp::RunSettings() {
  CSettingsDlg dialog(nullptr, -1, Msg(msg::SettingsTitle), *settings_, *passwords_);
  // Written back also when the administrator check failed: the controls then
  // still hold the values they were filled with.
  dialog.Run();
  dialog.StoreSettings();
}

CFileCommand CVeilorApp::MakeFileCommand(const Command& command) {
  return CFileCommand(command.pathList, *settings_, *logger_, *passwords_);
}

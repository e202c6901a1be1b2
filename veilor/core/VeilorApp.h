#pragma once

#include <memory>

#include <wx/app.h>

#include "settings/SettingReference.h"

class CFileCommand;
class CLogger;
class CPasswordManager;
class CSettings;
struct Command;

// The program: builds the process-wide services, runs the one action its
// command line asks for, and returns from initialisation with a refusal, so
// that the toolkit never enters a main loop and the process ends afterwards.
class CVeilorApp : public wxApp {
public:
  CVeilorApp();
  ~CVeilorApp() override;

  bool OnInit() override;

  CSettings& Settings() { return *settings_; }
  CLogger& Logger() { return *logger_; }

private:
  void BuildServices();
  void Run(const Command& command);
  CFileCommand MakeFileCommand(const Command& command);
  void RunPasswordManager();
  void RunSettings();
  void ReportError(const std::exception& error);

  CStringSetting adminPassword_;
  bool startupFailed_ = false;
  std::unique_ptr<CSettings> settings_;
  std::unique_ptr<CLogger> logger_;
  std::unique_ptr<CPasswordManager> passwords_;
};

wxDECLARE_APP(CVeilorApp);

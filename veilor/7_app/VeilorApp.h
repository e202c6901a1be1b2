#pragma once

#include <memory>

#include <wx/app.h>
#include <wx/arrstr.h>

#include "3_settings/SettingReference.h"

class CLogger;
class CPasswordManager;
class CSettings;
struct Command;

// The program: builds the process-wide services, runs the one action its
// command line asks for during initialisation, and ends with an exit status
// that tells callers how it went, without ever entering the toolkit's main
// loop.
class CVeilorApp : public wxApp {
public:
  CVeilorApp();
  ~CVeilorApp() override;

  // Exit statuses: the run did what was asked; a file failed, the password
  // was cancelled or an error was shown; the command line was not understood.
  enum ExitStatus : int { ExitDone = 0, ExitFailed = 1, ExitUsage = 2 };

  // Elsewhere than on Windows, a toolkit that cannot open a display ends the
  // run with a message on standard error (ReportNoDisplay).
  bool Initialize(int& argc, wxChar** argv) override;
  bool OnInit() override;
  int OnRun() override;

  // The command line as the program was given it, to be read instead of
  // the one handed to the toolkit (which sees the program's name alone).
  static void KeepArguments(const wxArrayString& arguments);

  CSettings& Settings() { return *settings_; }
  CLogger& Logger() { return *logger_; }
  bool HasLogger() const { return logger_ != nullptr; }

private:
  void BuildServices();
  int Run(const Command& command);
  int RunFileCommand(const Command& command);
  int RunPasswordManager();
  int RunSettings();
  void ReportError(const std::exception& error);

  CStringSetting adminPassword_;
  bool startupFailed_ = false;
  int exitStatus_ = ExitFailed;
  std::unique_ptr<CSettings> settings_;
  std::unique_ptr<CLogger> logger_;
  std::unique_ptr<CPasswordManager> passwords_;
};

wxDECLARE_APP(CVeilorApp);

// A failed toolkit assertion becomes a line in the log and on standard
// error, in every build: never a box that stops a user's batch (or a test
// run) nor a trap that ends the program.
void LogToolkitAssertions();

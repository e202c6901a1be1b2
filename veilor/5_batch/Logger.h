#pragma once

#include <cstdio>
#include <functional>

#include <wx/string.h>

#include "1_base/LogLevels.h"
#include "3_settings/SettingReference.h"

class rkSettings;
class wxLog;

// The single path by which the program tells the user and the log what
// happened. Four settings decide whether a line is logged and whether a box
// appears; they are read at each use, except "EnableLog", which decides at
// Open whether there is a log file at all.
class CLogger : public LogLevels {
public:
  // Shows a message box: text, title and the toolkit's box style. The
  // windows layer supplies it; without one no box appears.
  using ShowBox = std::function<void(const wxString& text, const wxString& title, long style)>;

  // Logs go to LogFolder(), or, when that folder cannot be used (on Windows a
  // program installed where users cannot write), to "Log" beside the settings
  // file.
  CLogger(rkSettings& settings, ShowBox showBox);
  // The same with the two candidate log folders given.
  CLogger(rkSettings& settings, const wxString& logDir, const wxString& fallbackLogDir,
          ShowBox showBox);
  ~CLogger();

  CLogger(const CLogger&) = delete;
  CLogger& operator=(const CLogger&) = delete;

  // Opens today's log file when "EnableLog" is on. Raises CLoggerException
  // when neither folder can be created or the file cannot be opened.
  void Open();

  void Log(const wxString& text, int severity, int mode);

private:
  bool TryOpenIn(const wxString& dir, bool& dirUsable);

  wxString logDir_;
  wxString fallbackLogDir_;
  wxString fileName_;
  wxString filePath_;
  wxString title_;
  long boxStyle_ = 0;
  ShowBox showBox_;
  std::FILE* file_ = nullptr;
  wxLog* previousTarget_ = nullptr;
  wxLog* target_ = nullptr;
  CBoolSetting showErrors_;
  CBoolSetting showWarnings_;
  CBoolSetting showInfo_;
  CBoolSetting enableLog_;
};

#include "5_batch/Logger.h"

#include <utility>

#include <wx/datetime.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "3_settings/ProgramSettings.h"
#include "5_batch/LogFileTarget.h"
#include "5_batch/LogFolder.h"
#include "5_batch/LogTime.h"

namespace {

wxString FolderBeside(const wxString& file) {
  return wxFileName(file).GetPath(wxPATH_GET_VOLUME | wxPATH_GET_SEPARATOR) + Msg(msg::LogDirName);
}

std::FILE* OpenLogFile(const wxString& path, const char* mode) {
#ifdef __WINDOWS__
  return _wfopen(path.wc_str(), wxString(mode).wc_str());
#else
  return std::fopen(path.fn_str(), mode);
#endif
}

}  // namespace

CLogger::CLogger(rkSettings& settings, ShowBox showBox)
    : CLogger(settings, LogFolder(), FolderBeside(settings.GetPath()), std::move(showBox)) {}

CLogger::CLogger(rkSettings& settings, const wxString& logDir, const wxString& fallbackLogDir,
                 ShowBox showBox)
    : logDir_(logDir), fallbackLogDir_(fallbackLogDir), showBox_(std::move(showBox)) {
  showErrors_.Bind(settings, CSettings::GroupLogger, CSettings::ItemShowErrorMessages);
  showWarnings_.Bind(settings, CSettings::GroupLogger, CSettings::ItemShowWarningMessages);
  showInfo_.Bind(settings, CSettings::GroupLogger, CSettings::ItemShowInfoMessages);
  enableLog_.Bind(settings, CSettings::GroupLogger, CSettings::ItemEnableLog);
}

CLogger::~CLogger() {
  // Closed whenever a file was opened, even if logging was switched off
  // during the run, so the toolkit never keeps a target on a closed stream.
  if (file_ == nullptr) return;
  // At program exit the toolkit deletes the active target before the
  // application object goes; only a target still in place is ours to delete.
  wxLog* const active = wxLog::SetActiveTarget(nullptr);
  if (active == target_) {
    delete target_;
    wxLog::SetActiveTarget(previousTarget_);
  } else {
    wxLog::SetActiveTarget(active);
  }
  std::fclose(file_);
}

void CLogger::Open() {
  if (!enableLog_.Get() || file_ != nullptr) return;

  const wxString date = FormatLogTime(Msg(msg::LogDateFormat), wxDateTime::Now());
  fileName_ = Msg(msg::ProgramName) + Msg(msg::LogFilePrefix) + date + Msg(msg::LogFileSuffix);

  bool dirUsable = false;
  bool anyDirUsable = false;
  for (const wxString& dir : {logDir_, fallbackLogDir_}) {
    if (dir.empty()) continue;
    if (TryOpenIn(dir, dirUsable)) break;
    anyDirUsable = anyDirUsable || dirUsable;
  }
  if (file_ == nullptr) {
    if (!anyDirUsable) throw CLoggerException(Msg(msg::CantCreateLogDir));
    throw CLoggerException(Msg(msg::LogFileOpenError) + filePath_);
  }

  target_ = new CLogFileTarget(file_, Msg(msg::LogTimeStampFormat));
  previousTarget_ = wxLog::SetActiveTarget(target_);
}

bool CLogger::TryOpenIn(const wxString& dir, bool& dirUsable) {
  wxLogNull quiet;  // failures are reported by Open, with the program's own texts
  // The parents too: a fresh account may have no state folder yet.
  dirUsable = wxDirExists(dir) || wxFileName::Mkdir(dir, 0700, wxPATH_MKDIR_FULL);
  if (!dirUsable) return false;
  filePath_ = dir + wxFileName::GetPathSeparator() + fileName_;
  file_ = OpenLogFile(filePath_, "a");
  if (file_ == nullptr) file_ = OpenLogFile(filePath_, "w");
  if (file_ == nullptr) return false;
  return true;
}

void CLogger::Log(const wxString& text, int severity, int mode) {
  switch (severity) {
    case Error:
      title_ = Msg(msg::TitleError);
      boxStyle_ = wxOK | wxICON_ERROR;
      break;
    case Warning:
      title_ = Msg(msg::TitleWarning);
      boxStyle_ = wxOK | wxICON_WARNING;
      break;
    case Information:
      title_ = Msg(msg::TitleInformation);
      boxStyle_ = wxOK | wxICON_INFORMATION;
      break;
    default: break;
  }
  if (mode != LogOnly && mode != BoxOnly && mode != LogAndBox) return;

  // Switching logging on during a run takes effect at the next start: without
  // an open file there is nowhere to write.
  if (mode != BoxOnly && file_ != nullptr && enableLog_.Get()) {
    wxLogMessage("%s", title_ + Msg(msg::LogSeparator) + text);
  }
  if (mode != LogOnly) {
    bool show = false;
    switch (severity) {
      case Error: show = showErrors_.Get(); break;
      case Warning: show = showWarnings_.Get(); break;
      case Information: show = showInfo_.Get(); break;
      default: break;
    }
    if (show && showBox_) showBox_(text, title_, boxStyle_);
  }
}

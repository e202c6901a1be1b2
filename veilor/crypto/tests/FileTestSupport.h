#pragma once

#include <vector>

#include <wx/filename.h>

#include "TempDir.h"
#include "core/Logger.h"
#include "crypto/FileProcedures.h"
#include "settings/ProgramSettings.h"

// Records the progress steps a procedure reports.
struct ProgressRecorder {
  std::vector<int> steps;
};

// A folder of files, settings with logging off, and the two switches a
// procedure asks about.
class FileFixture {
public:
  FileFixture() {
    context_.keyText = keyText;
    context_.overwriteExisting = [this] { return overwrite; };
    context_.removeSource = [this] { return removeSource; };
    context_.logger = &logger_;
    context_.progress = [this](int step) { progress.steps.push_back(step); };
  }

  const FileContext& Context() {
    context_.keyText = keyText;
    return context_;
  }
  wxString Path(const wxString& name) const { return dir / name; }

  // Switches the log on; returns the log file's path.
  wxString StartLog() {
    settings_.SetBool(CSettings::GroupLogger, CSettings::ItemEnableLog, true);
    logger_.Open();
    return logger_.FilePath();
  }

  // Names of everything in the folder, sorted: shows leftovers such as
  // temporary files.
  std::vector<std::string> Listing() const;

  TempDir dir;
  wxString keyText = "70696E6E656402020202020202020202";  // the password "pinned"
  bool overwrite = false;
  bool removeSource = false;
  ProgressRecorder progress;

private:
  TempDir settingsDir_;
  CSettings settings_{settingsDir_ / "veilor.ini"};
  CLogger logger_{settings_, settingsDir_ / "Log", settingsDir_ / "Log2", CLogger::ShowBox()};
  FileContext context_;
};

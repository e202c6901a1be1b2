#pragma once

#include <vector>

#include <wx/filename.h>

#include "2_crypto/FileProcedures.h"
#include "TempDir.h"

// Records the progress steps a procedure reports.
struct ProgressRecorder {
  std::vector<int> steps;
};

// A folder of files, the two switches a procedure asks about, and what it
// reports of its progress and logs.
class FileFixture {
public:
  FileFixture() {
    context_.keyText = keyText;
    context_.overwriteExisting = [this] { return overwrite; };
    context_.removeSource = [this] { return removeSource; };
    context_.log = [this](const wxString& text, int, int) { logged.push_back(text); };
    context_.progress = [this](int step) { progress.steps.push_back(step); };
  }

  const FileContext& Context() {
    context_.keyText = keyText;
    return context_;
  }
  wxString Path(const wxString& name) const { return dir / name; }

  // Names of everything in the folder, sorted: shows leftovers such as
  // temporary files.
  std::vector<std::string> Listing() const;

  TempDir dir;
  wxString keyText = "70696E6E656402020202020202020202";  // the password "pinned"
  bool overwrite = false;
  bool removeSource = false;
  ProgressRecorder progress;
  std::vector<wxString> logged;  // the lines the procedures logged

private:
  FileContext context_;
};

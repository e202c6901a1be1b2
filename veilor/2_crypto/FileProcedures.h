#pragma once

#include <functional>
#include <memory>
#include <string>

#include <wx/string.h>

class PlacedFiles;

// What a file procedure needs besides the path. The two switches are asked
// at the moment they matter, so a change of the settings during a batch
// counts at once.
struct FileContext {
  wxString keyText;
  // age files: the password as its UTF-8 bytes, and the work factor (log2 of
  // scrypt's N) of new files.
  std::string passphrase;
  int ageWorkFactor = 18;
  std::function<bool()> overwriteExisting;
  std::function<bool()> removeSource;
  // Logs a line with a LogLevels severity and mode; may be empty.
  std::function<void(const wxString& text, int severity, int mode)> log;
  std::function<void(int step)> progress;  // receives the 100 progress steps; may be empty
  // Asked after each step; true abandons the file like a failure, with no
  // output and the source kept. May be empty.
  std::function<bool()> stopRequested;
  // Told when the file starts and ends deriving its key from the password,
  // the slow part of an age file. May be empty.
  std::function<void(bool deriving)> deriving;
  // The outputs the batch placed so far, shared by its files: an output
  // never replaces another of the same batch. May be empty.
  std::shared_ptr<PlacedFiles> placedOutputs;
};

// The report row of one file.
struct FileOutcome {
  wxString status;
  wxString description;
};

// Each writes its output beside the source, into a temporary file that takes
// the output's name only when complete, with the source's permissions and
// modification time; a failure leaves no partial output, an existing output
// untouched and the source in place. Only regular files are processed, and a
// source is removed only while it is still the file that was read, unchanged.
// Per-file problems are outcomes; only the program's own errors are raised.
FileOutcome EncryptFileAes(const wxString& path, const FileContext& context);
FileOutcome DecryptFileAes(const wxString& path, const FileContext& context);
FileOutcome EncryptFileDes3(const wxString& path, const FileContext& context);
FileOutcome DecryptFileDes3(const wxString& path, const FileContext& context);

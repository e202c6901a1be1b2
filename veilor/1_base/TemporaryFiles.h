#pragma once

#include <wx/string.h>

// Names of the temporary files that AtomicFileWriter gives a name: short
// whatever the target's name (a name that fits the folder's limit must not
// fail for its temporary file), hidden, and carrying the id of the process
// that made them, which keeps names of processes apart and, off Windows,
// tells a later run the leftovers of a killed process from files still being
// written.
wxString TemporaryFileName(unsigned long pid, unsigned counter);

// Removes the leftover temporary files in `folder`: on Windows those that
// nobody holds open (a live writer always does), elsewhere those whose
// process is gone. Looks at each folder once per process: a batch writes
// many files into one folder.
void RemoveStaleTemporaries(const wxString& folder);

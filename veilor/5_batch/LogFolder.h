#pragma once

#include <wx/string.h>

// Where the day's log files go. On Windows "Log" beside the program, as it
// always was. Elsewhere the desktop's per-user state folder: Veilor/Log in
// $XDG_STATE_HOME, or in ~/.local/state when that variable is unset or not
// an absolute path; the program keeps nothing beside itself there, since an
// installed program's folder is the system's. Empty when there is no home
// folder to put it in.
wxString LogFolder();

// The choice elsewhere than on Windows, for given values of XDG_STATE_HOME
// (empty when unset) and of the home folder.
wxString StateLogFolder(const wxString& stateHome, const wxString& homeDir);

#pragma once

#include <wx/string.h>

// Where veilor.ini lives: <per-user data folder>/Veilor/veilor.ini, or
// <home>/veilor.ini when the Veilor folder neither exists nor can be made.
// The per-user data folder is %APPDATA% on Windows and the XDG configuration
// folder ($XDG_CONFIG_HOME, else ~/.config) elsewhere.
wxString SettingsFilePath();

// The same choice for given folders; creates what is missing on the way.
wxString SettingsFilePathIn(const wxString& userDataDir, const wxString& homeDir);

// The platform's per-user data folder (may not exist yet).
wxString UserDataDir();

#pragma once

#include <wx/string.h>

// Where veilor.ini lives: <per-user data folder>/Veilor/veilor.ini, or
// <home>/veilor.ini when the Veilor folder neither exists nor can be made.
// The per-user data folder is %APPDATA% on Windows and the XDG configuration
// folder ($XDG_CONFIG_HOME, else ~/.config) elsewhere. Raises
// rkSettingsException when there is neither.
wxString SettingsFilePath();

// The same choice for given folders; creates what is missing on the way. The
// Veilor folder is made owner-only, and elsewhere than on Windows an existing
// Veilor folder or settings file of this user loses any rights of others.
wxString SettingsFilePathIn(const wxString& userDataDir, const wxString& homeDir);

// The platform's per-user data folder (may not exist yet); empty when there is
// no home folder to put it in.
wxString UserDataDir();

// The user's home folder: $HOME when it is an absolute path, else the user
// database's entry; empty when neither gives one.
wxString HomeDir();

#pragma once

#include <functional>

#include <wx/string.h>

// Every message box of the program goes through here, so that tests can
// answer boxes instead of blocking on them.
using MessageBoxHandler =
    std::function<int(const wxString& text, const wxString& title, long style)>;

// Shows a box without an owner window and returns the button pressed
// (wxOK, wxYES, wxNO, wxCANCEL).
int ShowMessageBox(const wxString& text, const wxString& title, long style);

// Replaces the handler; returns the previous one. An empty handler restores
// the real message box.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

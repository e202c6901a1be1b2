#pragma once

#include <string>
#include <vector>

// How each file manager starts a command for a selection, after its own
// rules, from the menu file qxm wrote: enough of each to run the command the
// way the file manager would.
struct Launch {
  std::vector<std::string> argv;
  std::string folder;                    // the working folder; empty: unchanged
  std::vector<std::string> environment;  // added NAME=VALUE entries
};

// Nautilus runs the script with the selected names relative to their folder,
// in that folder, and lists the absolute paths, each ended by a line feed, in
// NAUTILUS_SCRIPT_SELECTED_FILE_PATHS.
Launch NautilusLaunch(const std::string& script, const std::string& folder,
                      const std::vector<std::string>& names);
// Nemo (Quote=double) puts each path in double quotes with its double quotes
// and backslashes escaped, in place of %F, and splits the line as GLib's shell
// parser does.
Launch NemoLaunch(const std::string& actionFile, const std::vector<std::string>& paths);
// Dolphin splits Exec by the desktop entry rules and puts each path as an
// argument of its own in place of %F.
Launch DolphinLaunch(const std::string& serviceMenu, const std::string& actionId,
                     const std::vector<std::string>& paths);
// Thunar puts each path quoted for the shell in place of %F, joined by
// blanks, and runs the command with /bin/sh -c.
Launch ThunarLaunch(const std::string& ucaXml, const std::string& actionName,
                    const std::vector<std::string>& paths);

// The session runs an autostart entry's Exec at login, split by the desktop
// entry rules.
Launch AutostartLaunch(const std::string& entry);

// Runs a launch to its end with QXM_RECORDER_OUT set to recordFile; the
// arguments the recorder was given, or a single "(nothing recorded)".
std::vector<std::string> RunAndRecord(const Launch& launch, const std::string& recordFile);

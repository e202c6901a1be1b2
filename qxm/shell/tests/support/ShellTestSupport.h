#pragma once

#include <objidl.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/Module.h"

// --- Files and programs beside the test program
std::string TestBinDir();                   // with no trailing backslash
std::string DllPath();                      // QXM.dll
std::string RecorderPath();                 // the recorder program
std::string ShippedIcon(const char* name);  // an icon shipped with the script
std::string TempFolder();                   // a fresh folder for this process
std::string WriteTextFile(const std::string& name, const std::string& text);  // in TempFolder

// The shipped script in that folder with its program (the recorder) and its
// icon folder filled in, as the installer does.
std::string ShippedScriptFilledIn(const std::string& shippedDir);

// Runs a command line and waits for it; the exit code, or -1 when it did not start.
long RunAndWait(const std::string& commandLine);
// Runs a wide command line and waits for it; what it wrote to its standard
// output and error, or nothing when it did not start.
std::optional<std::string> RunForOutput(const std::wstring& commandLine);
// UTF-8 text as wide characters.
std::wstring Wide(const std::string& utf8);

// --- Registry
bool KeyExists(HKEY root, const std::string& path);
std::optional<std::string> StringValue(HKEY root, const std::string& path,
                                       const std::string& name = std::string());
void DeleteKey(HKEY root, const std::string& path);
void SetStringValue(HKEY root, const std::string& path, const std::string& name,
                    const std::string& data);
// Replaces the stored script with these item lines and constant lines.
void StoreScript(const std::vector<std::string>& itemLines,
                 const std::vector<std::string>& constantLines);

// --- Message boxes: recorded instead of shown while an instance lives.
struct ShownMessage {
  std::string text;
  std::string caption;
  UINT type = 0;
};
class MessageCatcher {
public:
  MessageCatcher();
  ~MessageCatcher();
  MessageCatcher(const MessageCatcher&) = delete;
  MessageCatcher& operator=(const MessageCatcher&) = delete;
  const std::vector<ShownMessage>& Shown() const;
  void Clear();
};

// --- A data object that serves the file-drop format with the given paths
// (none at all when hasDrop is false). Released by the caller.
IDataObject* NewDropData(const std::vector<std::string>& paths, bool hasDrop = true);
// The same with wide paths, as the shell hands over names in every script.
IDataObject* NewWideDropData(const std::vector<std::wstring>& paths);

// --- A script stored for the menu tests: constants 1 (the recorder), 2 and 3
// (shipped icons) and 4 (a file that is no icon); the item lines given.
void StoreMenuScript(const std::vector<std::string>& itemLines);

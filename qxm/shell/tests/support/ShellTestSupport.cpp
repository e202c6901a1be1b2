#include "support/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "script/ReplaceAll.h"
#include "shell/ShellHeaders.h"
#include "support/DropData.h"

namespace {

std::vector<ShownMessage> g_shown;

int CatchMessage(const char* text, const char* caption, UINT type) {
  g_shown.push_back({text, caption, type});
  return IDOK;
}

}  // namespace

std::string TestBinDir() {
  char path[MAX_PATH * 4] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir = path;
  return dir.substr(0, dir.rfind('\\'));
}

std::string DllPath() { return TestBinDir() + "\\QXM.dll"; }

std::string RecorderPath() { return TestBinDir() + "\\qxm_recorder.exe"; }

std::string ShippedIcon(const char* name) { return std::string(QXM_SHIPPED_DIR) + "\\" + name; }

std::string TempFolder() {
  static const std::string folder = [] {
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    const std::string dir =
        std::string(base) + "qxm shell tests " + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
  }();
  return folder;
}

std::string ShippedScriptFilledIn(const std::string& shippedDir) {
  std::ifstream in(shippedDir + "\\veilor.qxm", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ReplaceAll(ReplaceAll(text, "@VEILOR_EXE@", RecorderPath()), "@ICON_DIR@", shippedDir);
}

std::string WriteTextFile(const std::string& name, const std::string& text) {
  const std::string path = TempFolder() + "\\" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

long RunAndWait(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // Wine now and then fails to start a process on a loaded machine; that is
  // the test machine, not the program under test, so a start is tried again.
  bool started = false;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    std::string line = commandLine;
    started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process) != FALSE;
    if (!started) {
      std::fprintf(stderr, "could not start (error %lu): %s\n", GetLastError(),
                   commandLine.c_str());
      Sleep(500);
    }
  }
  if (!started) return -1;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<long>(code);
}

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::optional<std::string> StringValue(HKEY root, const std::string& path,
                                       const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  char data[4096] = {};
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  const LSTATUS status = RegQueryValueExA(key, name.empty() ? nullptr : name.c_str(), nullptr,
                                          &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::string(data);
}

void DeleteKey(HKEY root, const std::string& path) { RegDeleteTreeA(root, path.c_str()); }

void SetStringValue(HKEY root, const std::string& path, const std::string& name,
                    const std::string& data) {
  HKEY key = nullptr;
  RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
}

void StoreScript(const std::vector<std::string>& itemLines,
                 const std::vector<std::string>& constantLines) {
  const std::string key = "Software\\Ordal context menu";
  DeleteKey(HKEY_LOCAL_MACHINE, key);
  for (std::size_t i = 0; i < itemLines.size(); ++i) {
    SetStringValue(HKEY_LOCAL_MACHINE, key, "Line" + std::to_string(i), itemLines[i]);
  }
  for (std::size_t j = 0; j < constantLines.size(); ++j) {
    SetStringValue(HKEY_LOCAL_MACHINE, key, "Img" + std::to_string(j), constantLines[j]);
  }
}

MessageCatcher::MessageCatcher() {
  g_shown.clear();
  SetMessageBoxHook(CatchMessage);
}

MessageCatcher::~MessageCatcher() { SetMessageBoxHook(nullptr); }

const std::vector<ShownMessage>& MessageCatcher::Shown() const { return g_shown; }

void MessageCatcher::Clear() { g_shown.clear(); }

IDataObject* NewDropData(const std::vector<std::string>& paths, bool hasDrop) {
  return DropData::FromAnsi(paths, hasDrop);
}

IDataObject* NewWideDropData(const std::vector<std::wstring>& paths) {
  return DropData::FromWide(paths);
}

std::wstring Wide(const std::string& utf8) {
  const int size = static_cast<int>(utf8.size());
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), size)));
  return wide;
}

std::optional<std::string> RunForOutput(const std::wstring& commandLine) {
  const std::wstring outPath = Wide(TempFolder()) + L"\\captured output.txt";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return std::nullopt;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = out;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  std::wstring line = commandLine;
  const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(out);
  if (!started) return std::nullopt;
  WaitForSingleObject(process.hProcess, 60000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::ifstream in(outPath.c_str(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

namespace {

// COM in an apartment for every test, as the shell calls the extension.
class ComEnvironment : public ::testing::Environment {
public:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const g_com =
    ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace

void StoreMenuScript(const std::vector<std::string>& itemLines) {
  const std::string notAnIcon = WriteTextFile("not an icon.ico", "plain text");
  StoreScript(itemLines, {"%1=" + RecorderPath(), "%2=" + ShippedIcon("veilor.ico"),
                          "%3=" + ShippedIcon("aes-encrypt.ico"), "%4=" + notAnIcon});
}

// Windows: a temporary file of a killed writer is removed by the system, and
// a leftover is judged by whether anyone holds it open, not by its process id.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include <wx/filename.h>
#include <wx/string.h>

#include "1_base/AtomicFileWriter.h"
#include "1_base/SystemPath.h"
#include "TempDir.h"

namespace {

std::vector<wxString> Temporaries(const wxString& folder) {
  std::vector<wxString> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + "\\.veilor-*.tmp").wc_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

TEST(WindowsTemporariesTest, KilledWritersFileGoesAndLeftoversAreJudgedByUse) {
  TempDir dir;

  const std::wstring eventName = L"veilor-test-ready-" + std::to_wstring(GetCurrentProcessId());
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
  ASSERT_NE(ready, nullptr);
  std::wstring command = L"\"" VEILOR_TEMP_FILE_HOLDER L"\" \"" +
                         std::wstring(dir.Path().wc_str()) + L"\" " + eventName;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &child));
  // A net only: the child signals as soon as its file is open and written.
  HANDLE waited[] = {ready, child.hProcess};
  const DWORD woke = WaitForMultipleObjects(2, waited, FALSE, 60000);
  ASSERT_EQ(woke, WAIT_OBJECT_0) << "the writer ended or never signalled";
  // A leftover under this very process's id: only whether it is open counts.
  const wxString leftover =
      wxString::Format("%s\\.veilor-%lu-77.tmp", dir.Path(), GetCurrentProcessId());
  WriteFileBytes(leftover, "old plain text");
  const std::vector<wxString> during = Temporaries(dir.Path());
  std::vector<wxString> afterCleaning;
  {
    AtomicFileWriter other(dir / "other.out");
    ASSERT_TRUE(other.Open());  // cleans the folder's leftovers first
    afterCleaning = Temporaries(dir.Path());
  }

  // The system closes a killed process's handles on its own time (Wine a
  // moment after the process ends): the folder's changes are waited on.
  HANDLE changes =
      FindFirstChangeNotificationW(dir.Path().wc_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
  ASSERT_NE(changes, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(TerminateProcess(child.hProcess, 9));
  ASSERT_EQ(WaitForSingleObject(child.hProcess, 60000), WAIT_OBJECT_0);
  std::vector<wxString> afterKill = Temporaries(dir.Path());
  while (!afterKill.empty() && WaitForSingleObject(changes, 60000) == WAIT_OBJECT_0) {
    FindNextChangeNotification(changes);
    afterKill = Temporaries(dir.Path());
  }
  FindCloseChangeNotification(changes);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  CloseHandle(ready);

  ASSERT_EQ(during.size(), 2u) << "the leftover and the writer's file";
  ASSERT_EQ(afterCleaning.size(), 2u) << "the leftover went, the files in use stayed";
  for (const wxString& name : afterCleaning) EXPECT_NE(name, wxFileName(leftover).GetFullName());
  EXPECT_TRUE(afterKill.empty()) << "the killed writer's file was left: " << afterKill[0];
  EXPECT_FALSE(FileExistsAsSpelled(dir / "big.out"));
}

// Every name as it is spelled: the "\\?\" forms keep final dots and spaces,
// and "." and ".." are resolved without the system's help.
TEST(SystemPathTest, PathsTakeTheFormWindowsDoesNotRewrite) {
  const struct {
    const char* given;
    const char* expected;
  } cases[] = {
      {"C:\\data\\x.", "\\\\?\\C:\\data\\x."},
      {"c:/data/./old/../y ", "\\\\?\\C:\\data\\y "},
      {"\\\\server\\share\\sub.\\f", "\\\\?\\UNC\\server\\share\\sub.\\f"},
      {"\\\\server\\share\\..\\f", "\\\\?\\UNC\\server\\share\\f"},
      {"\\\\?\\C:\\as is.", "\\\\?\\C:\\as is."},
  };
  for (const auto& c : cases) EXPECT_EQ(SystemPath(c.given), c.expected) << c.given;
}

}  // namespace

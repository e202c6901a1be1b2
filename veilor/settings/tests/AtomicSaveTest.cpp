#include <gtest/gtest.h>

#ifndef _WIN32  // the child process of the power-cut test
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <wx/dir.h>

#include <wx/filefn.h>

#include "TempDir.h"
#include "core/AtomicFileWriter.h"
#include "core/Exceptions.h"
#include "settings/ProgramSettings.h"

namespace {

std::size_t FilesIn(const wxString& dir) {
  wxArrayString files;
  return wxDir::GetAllFiles(dir, &files, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
}

TEST(AtomicFileWriterTest, CommitReplacesAndLeavesNothingBehind) {
  TempDir dir;
  const wxString target = dir / "file";
  WriteFileBytes(target, "old contents");
  AtomicFileWriter writer(target);
  ASSERT_TRUE(writer.Open());
  ASSERT_TRUE(writer.Write("new", 3));
  EXPECT_EQ(ReadFileBytes(target), "old contents");  // untouched until Commit
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(ReadFileBytes(target), "new");
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(AtomicFileWriterTest, AbandonedWriteKeepsTheOldFile) {
  TempDir dir;
  const wxString target = dir / "file";
  WriteFileBytes(target, "old contents");
  {
    AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Write("partial", 7));
  }
  EXPECT_EQ(ReadFileBytes(target), "old contents");
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(AtomicFileWriterTest, FailedRenameKeepsTheTargetAndRemovesTheTemporary) {
  TempDir dir;
  const wxString target = dir / "occupied";
  ASSERT_TRUE(wxMkdir(target));
  wxMkdir(target + "/inside");  // a non-empty folder cannot be replaced by a file
  AtomicFileWriter writer(target);
  ASSERT_TRUE(writer.Open());
  ASSERT_TRUE(writer.Write("x", 1));
  EXPECT_FALSE(writer.Commit());
  EXPECT_TRUE(wxDirExists(target + "/inside"));
  EXPECT_EQ(FilesIn(dir.Path()), 0u);
}

TEST(AtomicFileWriterTest, MissingFolderFailsToOpen) {
  TempDir dir;
  AtomicFileWriter writer(dir / "no/such/folder/file");
  EXPECT_FALSE(writer.Open());
  EXPECT_FALSE(writer.Write("x", 1));
  EXPECT_FALSE(writer.Commit());
}

#ifndef _WIN32
// A process killed halfway through writing the settings must leave the
// previous file complete: the password list lives there.
TEST(SettingsSaveTest, ProcessDyingMidWriteLeavesTheOldFileWhole) {
  TempDir dir;
  const wxString path = dir / "veilor.ini";
  { CSettings settings(path); }
  const std::string before = ReadFileBytes(path);

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    AtomicFileWriter writer(path);
    if (writer.Open()) writer.Write(before.data(), before.size() / 2);
    _exit(0);  // no destructors, no cleanup: as if the power went off
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(ReadFileBytes(path), before);
  CSettings reread(path);  // still loads
}
#endif

TEST(SettingsSaveTest, UnwritableLocationIsReportedWithThePath) {
  TempDir dir;
  const wxString path = dir / "missing-folder/veilor.ini";
  CSettings settings(path);
  try {
    settings.Save();
    ADD_FAILURE() << "save into a missing folder succeeded";
  } catch (const rkSettingsException& error) {
    EXPECT_TRUE(error.GetMessage().StartsWith("Can't save the settings file: "));
    EXPECT_TRUE(error.GetMessage().EndsWith(path));
  }
}

}  // namespace

#include <gtest/gtest.h>

#ifndef _WIN32  // child processes, permissions
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <wx/dir.h>

#include <wx/filefn.h>

#include "1_base/AtomicFileWriter.h"
#include "1_base/Exceptions.h"
#include "3_settings/ProgramSettings.h"
#include "AtomicFileWriterSeam.h"
#include "TempDir.h"

namespace {

std::size_t FilesIn(const wxString& dir) {
  wxArrayString files;
  return wxDir::GetAllFiles(dir, &files, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
}

#ifndef _WIN32
// The one file in `dir`, empty when there is not exactly one.
wxString OnlyFileIn(const wxString& dir) {
  wxArrayString files;
  wxDir::GetAllFiles(dir, &files, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
  return files.size() == 1 ? files[0] : wxString();
}
#endif

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

// With replacing off, a target that appeared while the file was written
// stays; the writer says so and leaves nothing behind. Both ways of
// temporary files: unnamed, and named as where the system has no unnamed ones.
TEST(AtomicFileWriterTest, TargetThatAppearedIsNotReplacedWhenReplacingIsOff) {
  for (bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed" : "named");
    AtomicFileWriterSeam::UseUnnamedTemporaries(unnamed);
    TempDir dir;
    const wxString target = dir / "file";
    AtomicFileWriter writer(target);
    writer.SetReplaceExisting(false);
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Write("mine", 4));
    WriteFileBytes(target, "theirs");
    EXPECT_FALSE(writer.Commit());
    EXPECT_TRUE(writer.TargetExisted());
    EXPECT_EQ(ReadFileBytes(target), "theirs");
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
  }
  AtomicFileWriterSeam::UseUnnamedTemporaries(true);
}

#ifndef _WIN32
// The temporary file holds the plain text of a file being decrypted, and the
// settings hold the stored passwords: neither is ever readable by others,
// whatever the umask.
TEST(AtomicFileWriterTest, FilesAreOwnerOnlyFromTheStart) {
  const mode_t previousMask = umask(0);
  for (bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed" : "named");
    AtomicFileWriterSeam::UseUnnamedTemporaries(unnamed);
    TempDir dir;
    AtomicFileWriter writer(dir / "file");
    ASSERT_TRUE(writer.Open());
    if (!unnamed) {
      struct stat info;
      ASSERT_EQ(stat(OnlyFileIn(dir.Path()).fn_str(), &info), 0) << "the temporary file";
      EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
    ASSERT_TRUE(writer.Write("secret", 6));
    ASSERT_TRUE(writer.Commit());
    struct stat info;
    ASSERT_EQ(stat((dir / "file").fn_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
  }
  AtomicFileWriterSeam::UseUnnamedTemporaries(true);
  umask(previousMask);
}

// A killed writer's temporary file is removed by the next writer in that
// folder; one whose process still runs is not, nor anything else.
TEST(AtomicFileWriterTest, TemporariesOfGoneProcessesAreRemoved) {
  TempDir dir;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);  // its id now names no process
  const wxString gone = wxString::Format(".veilor-%d-3.tmp", static_cast<int>(child));
  const wxString running = wxString::Format(".veilor-%d-3.tmp", static_cast<int>(getppid()));
  for (const wxString& name : {gone, running, wxString(".veilor-x.tmp"), wxString("keep.tmp")}) {
    WriteFileBytes(dir / name, "left over");
  }
  AtomicFileWriter writer(dir / "file");
  ASSERT_TRUE(writer.Open());
  ASSERT_TRUE(writer.Commit());
  EXPECT_FALSE(wxFileExists(dir / gone));
  EXPECT_TRUE(wxFileExists(dir / running));
  EXPECT_EQ(FilesIn(dir.Path()), 4u);
}

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

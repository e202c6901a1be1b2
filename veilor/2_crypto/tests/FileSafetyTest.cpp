// What the procedures do to the files around the one they process: the
// permissions and time an output gets, a source or an output that changes
// meanwhile, files that are no regular files, names at the length limit.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#endif

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <wx/file.h>
#include <wx/filefn.h>

#include "1_base/AtomicFileWriter.h"
#include "2_crypto/FileJob.h"
#include "2_crypto/FileTrailer.h"
#include "AtomicFileWriterSeam.h"
#include "FileTestSupport.h"

namespace {

using Procedure = FileOutcome (*)(const wxString&, const FileContext&);

const char kOtherKey[] = "6F746865720202020202020202020202";
const char kSourceChanged[] =
    "The source file changed or was replaced while it was processed: it was kept";
const char kNotRegular[] = "Not a regular file (a link, pipe or device): not processed";

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
  return bytes;
}

// Does something to the files when the procedure reports `step`: another
// program at work while a file is being processed.
class DuringStep {
public:
  DuringStep(int step, std::function<void()> action) : step_(step), action_(std::move(action)) {}
  void operator()(int step) const {
    if (step == step_) action_();
  }

private:
  int step_;
  std::function<void()> action_;
};

#ifndef _WIN32
// Gives the calling process mounts of its own that nobody else sees: as the
// superuser directly, otherwise inside a user namespace of its own.
bool PrivateMounts() {
  const uid_t uid = geteuid();
  const gid_t gid = getegid();
  if (unshare(uid == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
  if (uid != 0) {
    const auto put = [](const char* file, const std::string& text) {
      const int fd = open(file, O_WRONLY);
      const bool written =
          fd >= 0 && write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
      if (fd >= 0) close(fd);
      return written;
    };
    if (!put("/proc/self/setgroups", "deny") ||
        !put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
      return false;
    }
  }
  // Nothing mounted here may spread back to the namespace it came from.
  return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}
#endif

class FileSafetyTest : public testing::Test, protected FileFixture {
protected:
  FileOutcome Run(Procedure procedure, const wxString& path, const DuringStep* during = nullptr) {
    FileContext context = Context();
    if (during) context.progress = [during](int step) { (*during)(step); };
    return procedure(path, context);
  }
};

// Run once with unnamed temporary files and once with named ones, the way
// of file systems without unnamed files and of Windows.
class FileWriteSafetyTest : public FileSafetyTest, public testing::WithParamInterface<bool> {
protected:
  void SetUp() override { AtomicFileWriterSeam::UseUnnamedTemporaries(GetParam()); }
  void TearDown() override { AtomicFileWriterSeam::UseUnnamedTemporaries(true); }
};

INSTANTIATE_TEST_SUITE_P(Temporaries, FileWriteSafetyTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Unnamed" : "Named";
                         });

TEST_P(FileWriteSafetyTest, OutputThatAppearsMeanwhileIsNeverReplaced) {
  removeSource = true;
  WriteFileBytes(Path("f"), Pattern(1000));
  DuringStep intruder(50, [this] { WriteFileBytes(Path("f.aes"), "someone else's"); });
  FileOutcome outcome = Run(EncryptFileAes, Path("f"), &intruder);
  EXPECT_EQ(outcome.status, "Skipped");
  EXPECT_EQ(outcome.description, "Source file already exists");
  EXPECT_EQ(ReadFileBytes(Path("f.aes")), "someone else's");
  EXPECT_EQ(ReadFileBytes(Path("f")), Pattern(1000));

  ASSERT_TRUE(wxRenameFile(Path("f"), Path("g")));
  ASSERT_EQ(Run(EncryptFileDes3, Path("g")).status, "Done");
  DuringStep again(50, [this] { WriteFileBytes(Path("g"), "someone else's"); });
  outcome = Run(DecryptFileDes3, Path("g.des3"), &again);
  EXPECT_EQ(outcome.description, "Source file already exists");
  EXPECT_EQ(ReadFileBytes(Path("g")), "someone else's");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"f.aes", "g", "g.des3"}));
}

// Two sources of one batch whose outputs have one name (as on a
// case-insensitive folder; here "x" encrypted and "x.aes.des3" decrypted):
// with the batch's placed outputs shared, the second never replaces the
// first; without, the first sees its output gone and keeps its source.
// Either way both contents are still there.
TEST_P(FileWriteSafetyTest, OneOutputNameForTwoSourcesLosesNeither) {
  const char kOutputOfAnother[] =
      "Another file of this batch has the same output name, and its output was not replaced: "
      "this file was kept";
  const char kOutputReplaced[] =
      "The output was replaced by another file before the source was removed: it was kept";
  overwrite = removeSource = true;
  for (const bool shared : {true, false}) {
    SCOPED_TRACE(shared);
    WriteFileBytes(Path("x.aes"), "second");
    ASSERT_EQ(Run(EncryptFileDes3, Path("x.aes")).status, "Done");
    WriteFileBytes(Path("x"), "first");
    FileContext context = Context();
    if (shared) context.placedOutputs = std::make_shared<PlacedFiles>();
    FileJob first(FileOperation::EncryptAes, Path("x"), context);
    FileJob second(FileOperation::DecryptDes3, Path("x.aes.des3"), context);
    first.Write();
    second.Write();
    FileJob::CommitGroup({&first, &second});

    EXPECT_EQ(first.Outcome().status, shared ? "Done" : "Incomplete");
    EXPECT_EQ(first.Outcome().description, shared ? "" : kOutputReplaced);
    EXPECT_EQ(second.Outcome().status, shared ? "Incomplete" : "Done");
    EXPECT_EQ(second.Outcome().description, shared ? kOutputOfAnother : "");
    EXPECT_EQ(Listing(), (shared ? std::vector<std::string>{"x.aes", "x.aes.des3"}
                                 : std::vector<std::string>{"x", "x.aes"}));
    if (shared) {
      EXPECT_EQ(Run(DecryptFileAes, Path("x.aes")).status, "Done");
      EXPECT_EQ(ReadFileBytes(Path("x")), "first");
      EXPECT_EQ(Run(DecryptFileDes3, Path("x.aes.des3")).status, "Done");
      EXPECT_EQ(ReadFileBytes(Path("x.aes")), "second");
    } else {
      EXPECT_EQ(ReadFileBytes(Path("x")), "first");
      EXPECT_EQ(ReadFileBytes(Path("x.aes")), "second");
    }
    ASSERT_TRUE(wxRemoveFile(Path("x")));
    ASSERT_TRUE(wxRemoveFile(Path("x.aes")));
  }
}

TEST_P(FileWriteSafetyTest, SourceThatChangesMeanwhileIsKept) {
  removeSource = true;
  WriteFileBytes(Path("log"), Pattern(100000));
  // A growing log: what is appended while the file is read must not be lost.
  DuringStep grow(50, [this] {
    wxFile file(Path("log"), wxFile::write_append);
    file.Write(std::string(5000, 'z').data(), 5000);
  });
  FileOutcome outcome = Run(EncryptFileAes, Path("log"), &grow);
  EXPECT_EQ(outcome.status, "Incomplete");
  EXPECT_EQ(outcome.description, kSourceChanged);
  EXPECT_EQ(ReadFileBytes(Path("log")), Pattern(100000) + std::string(5000, 'z'));
  EXPECT_EQ(ReadFileBytes(Path("log.aes")).size(), 100000 + kTrailerSize) << "the output stays";

#ifndef _WIN32  // replacing a file open for reading follows other rules on Windows
  // A source replaced by a newer file of the same name.
  ASSERT_TRUE(wxRemoveFile(Path("log")));
  WriteFileBytes(Path("newer"), "newer encrypted file");
  DuringStep replace(50, [this] { wxRenameFile(Path("newer"), Path("log.aes"), true); });
  outcome = Run(DecryptFileAes, Path("log.aes"), &replace);
  EXPECT_EQ(outcome.description, kSourceChanged);
  EXPECT_EQ(ReadFileBytes(Path("log.aes")), "newer encrypted file");
  EXPECT_EQ(ReadFileBytes(Path("log")), Pattern(100000));
#endif
}

#ifndef _WIN32
TEST_P(FileWriteSafetyTest, OutputsKeepTheSourcesPermissionsAndTime) {
  const mode_t previousMask = umask(022);
  const timespec modified{1000000000, 123456789};
  struct Case {
    mode_t mode;
    bool outputExists;
  };
  for (const Case& c : {Case{0600, false}, Case{0640, true}, Case{0755, false}}) {
    SCOPED_TRACE(testing::Message() << std::oct << c.mode << (c.outputExists ? " replacing" : ""));
    overwrite = c.outputExists;
    if (c.outputExists) WriteFileBytes(Path("s.aes"), "previous");
    WriteFileBytes(Path("s"), "secret");
    ASSERT_EQ(chmod(Path("s").fn_str(), c.mode), 0);
    const timespec times[2] = {modified, modified};
    ASSERT_EQ(utimensat(AT_FDCWD, Path("s").fn_str(), times, 0), 0);

    const auto expectSourceAttributes = [&](const char* output) {
      struct stat info;
      ASSERT_EQ(stat(Path(output).fn_str(), &info), 0);
      EXPECT_EQ(info.st_mode & 07777, c.mode) << output;
      EXPECT_EQ(info.st_mtim.tv_sec, modified.tv_sec) << output;
      EXPECT_EQ(info.st_mtim.tv_nsec, modified.tv_nsec) << output;
    };
    ASSERT_EQ(Run(EncryptFileAes, Path("s")).status, "Done");
    expectSourceAttributes("s.aes");
    ASSERT_TRUE(wxRemoveFile(Path("s")));
    if (c.outputExists) WriteFileBytes(Path("s"), "previous");
    ASSERT_EQ(Run(DecryptFileAes, Path("s.aes")).status, "Done");
    EXPECT_EQ(ReadFileBytes(Path("s")), "secret");
    expectSourceAttributes("s");
    wxRemoveFile(Path("s"));
    wxRemoveFile(Path("s.aes"));
  }
  umask(previousMask);
}

// The longest name the folder allows must work as an output name, whether
// it is new or replaces an older file.
TEST_P(FileWriteSafetyTest, OutputNameOfTheFullLengthWorks) {
  const wxString plain(wxUniChar('n'), 251);
  for (bool replacing : {false, true}) {
    SCOPED_TRACE(replacing ? "replacing" : "new");
    overwrite = replacing;
    WriteFileBytes(Path(plain), "long name");
    if (replacing) WriteFileBytes(Path(plain + ".aes"), "older");
    ASSERT_EQ((plain + ".aes").length(), 255u);
    EXPECT_EQ(Run(EncryptFileAes, Path(plain)).status, "Done");
    ASSERT_TRUE(wxRemoveFile(Path(plain)));
    if (replacing) WriteFileBytes(Path(plain), "older");
    EXPECT_EQ(Run(DecryptFileAes, Path(plain + ".aes")).status, "Done");
    EXPECT_EQ(ReadFileBytes(Path(plain)), "long name");
    EXPECT_EQ(Listing(),
              (std::vector<std::string>{plain.utf8_string(), (plain + ".aes").utf8_string()}));
    wxRemoveFile(Path(plain + ".aes"));
  }
}

// A link would leave the plain text it points to as it was; a pipe would
// block the batch; a device is no file to encrypt or to remove.
TEST_F(FileSafetyTest, OnlyRegularFilesAreProcessed) {
  removeSource = true;
  TempDir elsewhere;
  WriteFileBytes(elsewhere / "plain.txt", "plain text");
  WriteFileBytes(elsewhere / "cipher", "ciphertext");
  ASSERT_EQ(Run(EncryptFileAes, elsewhere / "cipher").status, "Done");
  ASSERT_EQ(symlink((elsewhere / "plain.txt").fn_str(), Path("link.txt").fn_str()), 0);
  ASSERT_EQ(symlink((elsewhere / "cipher.aes").fn_str(), Path("link.aes").fn_str()), 0);
  ASSERT_EQ(mkfifo(Path("fifo").fn_str(), 0600), 0);
  ASSERT_EQ(mkfifo(Path("fifo.aes").fn_str(), 0600), 0);
  const std::vector<std::string> names{"fifo", "fifo.aes", "link.aes", "link.txt"};

  for (const std::string& name : names) {
    const bool encrypted = wxString(name).EndsWith(".aes");
    for (Procedure procedure : encrypted
                                   ? std::vector<Procedure>{DecryptFileAes}
                                   : std::vector<Procedure>{EncryptFileAes, EncryptFileDes3}) {
      const FileOutcome outcome = Run(procedure, Path(name));
      EXPECT_EQ(outcome.status, "Skipped") << name;
      EXPECT_EQ(outcome.description, kNotRegular) << name;
    }
  }
  EXPECT_EQ(Listing(), names) << "nothing written, nothing removed";
  EXPECT_EQ(ReadFileBytes(elsewhere / "plain.txt"), "plain text");
}

TEST_F(FileSafetyTest, DevicesAreNotProcessed) {
  if (geteuid() != 0) GTEST_SKIP() << "only the superuser makes device nodes";
  removeSource = true;
  ASSERT_EQ(mknod(Path("device").fn_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
  for (Procedure procedure : {EncryptFileAes, EncryptFileDes3}) {
    const FileOutcome outcome = Run(procedure, Path("device"));
    EXPECT_EQ(outcome.status, "Skipped");
    EXPECT_EQ(outcome.description, kNotRegular);
  }
  EXPECT_EQ(Listing(), std::vector<std::string>{"device"});
}

// The removal of the source fails only when the system refuses it; the
// superuser is refused only a file marked immutable.
// A group's sources are removed side by side; each file still gets its own
// outcome, and a source changed before the commit is kept.
TEST_F(FileSafetyTest, GroupRemovalsGiveEachFileItsOwnOutcome) {
  removeSource = true;
  constexpr int kFiles = 20;
  constexpr int kChanged = 13;
  std::vector<std::unique_ptr<FileJob>> jobs;
  std::vector<FileJob*> group;
  for (int i = 0; i < kFiles; ++i) {
    const wxString name = wxString::Format("f%d", i);
    WriteFileBytes(Path(name), Pattern(1000 + i));
    jobs.push_back(std::make_unique<FileJob>(FileOperation::EncryptAes, Path(name), Context()));
    jobs.back()->Write();
    group.push_back(jobs.back().get());
  }
  WriteFileBytes(Path(wxString::Format("f%d", kChanged)), "changed");
  FileJob::CommitGroup(group);
  for (int i = 0; i < kFiles; ++i) {
    const wxString name = wxString::Format("f%d", i);
    const bool changed = i == kChanged;
    EXPECT_EQ(jobs[i]->Outcome().status, changed ? "Incomplete" : "Done") << i;
    EXPECT_EQ(wxFileExists(Path(name)), changed) << i;
    EXPECT_EQ(ReadFileBytes(Path(name + ".aes")).size(), 1000 + i + kTrailerSize) << i;
  }
}

// The removal of the source fails only when the system refuses it: here
// the source is a mount point (a file bound over it), which nobody may
// remove. The mount lives in a namespace of a child process's own, which
// needs no superuser where user namespaces are allowed.
TEST_F(FileSafetyTest, FailedRemovalIsLogged) {
  removeSource = true;
  TempDir elsewhere;
  WriteFileBytes(Path("kept"), "data");
  WriteFileBytes(elsewhere / "cover", "data");
  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(channel[0]);
    std::string answer = "no private mounts";
    if (PrivateMounts() && mount((elsewhere / "cover").fn_str(), Path("kept").fn_str(), nullptr,
                                 MS_BIND, nullptr) == 0) {
      const FileOutcome outcome = Run(EncryptFileAes, Path("kept"));
      answer = (outcome.status + "|" + outcome.description + "|" +
                (logged.empty() ? wxString() : logged.front()))
                   .utf8_string();
    }
    if (write(channel[1], answer.data(), answer.size()) < 0) _exit(1);
    _exit(0);
  }
  close(channel[1]);
  std::string answer;
  char buffer[512];
  for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;)
    answer.append(buffer, got);
  close(channel[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  if (answer == "no private mounts") GTEST_SKIP() << "no mount namespace can be had here";

  EXPECT_EQ(answer, "Incomplete|Error remove source file|Error remove source file " +
                        Path("kept").utf8_string());
  EXPECT_EQ(ReadFileBytes(Path("kept")), "data");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"kept", "kept.aes"}));
}
#endif

// A batch that ends early drops the files it has not committed: whether
// not yet begun, halfway or written, no output and the source kept.
TEST_F(FileSafetyTest, AbandonedFileLeavesNoOutput) {
  removeSource = true;
  WriteFileBytes(Path("f"), Pattern(100000));
  for (int when : {-1, 50, 100}) {
    SCOPED_TRACE(when);
    FileContext context = Context();
    FileJob* self = nullptr;
    context.progress = [&](int step) {
      if (step == when) self->Abandon();
    };
    FileJob job(FileOperation::EncryptAes, Path("f"), context);
    self = &job;
    if (when < 0) job.Abandon();
    job.Write();
    if (when == 100) job.Abandon();
    FileJob::CommitGroup({&job});
    EXPECT_EQ(job.Outcome().status, "");
    EXPECT_EQ(Listing(), std::vector<std::string>{"f"});
  }
  EXPECT_EQ(ReadFileBytes(Path("f")), Pattern(100000));
  EXPECT_TRUE(logged.empty());
}

TEST_F(FileSafetyTest, RenamedCiphertextIsNotEncryptedAgain) {
  removeSource = true;
  WriteFileBytes(Path("pay.txt"), "salary: 100");
  ASSERT_EQ(Run(EncryptFileAes, Path("pay.txt")).status, "Done");
  ASSERT_TRUE(wxRenameFile(Path("pay.txt.aes"), Path("pay.bak")));
  const std::string ciphertext = ReadFileBytes(Path("pay.bak"));

  // Counter mode would give the plain text back, also for a ciphertext that
  // had a line end or a few bytes appended.
  for (const std::string& tail :
       std::vector<std::string>{"", "\n", "\r\n", "x", std::string(kTrailerSlack, 'z')}) {
    SCOPED_TRACE(testing::PrintToString(tail));
    WriteFileBytes(Path("pay.bak"), ciphertext + tail);
    const FileOutcome outcome = Run(EncryptFileAes, Path("pay.bak"));
    EXPECT_EQ(outcome.status, "Skipped");
    EXPECT_EQ(outcome.description, "Second encryption by this algorithm will show real file data");
    EXPECT_EQ(Listing(), std::vector<std::string>{"pay.bak"});
    EXPECT_EQ(ReadFileBytes(Path("pay.bak")), ciphertext + tail);
  }

  // Another password's key stream does not undo this one.
  keyText = kOtherKey;
  EXPECT_EQ(Run(EncryptFileAes, Path("pay.bak")).status, "Done");
}
}  // namespace

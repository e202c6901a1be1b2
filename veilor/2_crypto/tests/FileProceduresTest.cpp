// The encrypted file formats and the four single-file procedures.
#include <gtest/gtest.h>

// Permissions, child processes and file size limits are POSIX here; the
// Windows build runs the rest.
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <set>

#include <wx/filefn.h>

#include "2_crypto/FileTrailer.h"
#include "FileTestSupport.h"

namespace {

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
  return bytes;
}

std::string FromHexBytes(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

class FileProceduresTest : public testing::Test, protected FileFixture {
protected:
  FileOutcome Run(FileOutcome (*procedure)(const wxString&, const FileContext&),
                  const wxString& path) {
    progress.steps.clear();
    return procedure(path, Context());
  }

  static std::vector<int> AllSteps() {
    std::vector<int> steps(100);
    for (int i = 0; i < 100; ++i) steps[i] = i;
    return steps;
  }
};

struct Format {
  const char* extension;
  FileOutcome (*encrypt)(const wxString&, const FileContext&);
  FileOutcome (*decrypt)(const wxString&, const FileContext&);
  std::size_t (*cipherSize)(std::size_t plainSize);
};

const Format kAes{".aes", EncryptFileAes, DecryptFileAes, [](std::size_t n) { return n; }};
// PKCS #7 always adds 1 to 8 bytes.
const Format kDes3{".des3", EncryptFileDes3, DecryptFileDes3,
                   [](std::size_t n) { return (n / 8 + 1) * 8; }};

TEST_F(FileProceduresTest, RoundTripKeepsEveryByteAtEverySize) {
  for (const Format& format : {kAes, kDes3}) {
    for (std::size_t size : {0, 1, 15, 16, 17, 99, 100, 101, 3 * 1024 * 1024 + 5}) {
      SCOPED_TRACE(testing::Message() << format.extension << " size " << size);
      const wxString plain = Path("data.bin");
      const wxString encrypted = plain + format.extension;
      const std::string content = Pattern(size);
      WriteFileBytes(plain, content);

      FileOutcome outcome = Run(format.encrypt, plain);
      EXPECT_EQ(outcome.status, "Done");
      EXPECT_EQ(outcome.description, "");
      EXPECT_EQ(progress.steps, AllSteps());
      EXPECT_EQ(ReadFileBytes(encrypted).size(), format.cipherSize(size) + kTrailerSize);

      ASSERT_TRUE(wxRemoveFile(plain));
      outcome = Run(format.decrypt, encrypted);
      EXPECT_EQ(outcome.status, "Done");
      EXPECT_EQ(progress.steps, AllSteps());
      EXPECT_TRUE(ReadFileBytes(plain) == content);
      ASSERT_TRUE(wxRemoveFile(encrypted));
      EXPECT_EQ(Listing(), std::vector<std::string>{"data.bin"}) << "no temporary files left";
      ASSERT_TRUE(wxRemoveFile(plain));
    }
  }
}

// Existing encrypted files must stay readable: these bytes were computed with
// openssl from the key of "pinned" and the key table's file IVs.
TEST_F(FileProceduresTest, CiphertextIsPinned) {
  const std::string plain = "Veilor pinned plaintext, 37 bytes!!\n";
  WriteFileBytes(Path("p.txt"), plain);
  Run(EncryptFileAes, Path("p.txt"));
  EXPECT_EQ(ReadFileBytes(Path("p.txt.aes")),
            FromHexBytes("e024f17ac06aeff589f261dd05471fe6024cb23c0a08a00e002e0160b9986e8108998c05"
                         "79e9be76282216b2840b5920e2c7ddeb"));
  Run(EncryptFileDes3, Path("p.txt"));
  EXPECT_EQ(ReadFileBytes(Path("p.txt.des3")),
            FromHexBytes("1c72140e044749bff4eb33ae7274e7c175060236d9c1ccba20c7e041a38ec346c9058851"
                         "e5b09874"
                         "79e9be76282216b2850b5920e2c7ddeb"));
}

// The trailer's plain text is known to anyone with the program. Were it
// enciphered with the data's key stream, trailer XOR first block would be the
// same for every password and give away the file's first 16 bytes.
TEST_F(FileProceduresTest, TrailerRevealsNothingAboutTheData) {
  std::set<std::string> differences;
  for (const char* key : {"70696E6E656402020202020202020202", "6F746865720202020202020202020202"}) {
    keyText = key;
    WriteFileBytes(Path("zeros"), std::string(16, '\0'));
    ASSERT_EQ(Run(EncryptFileAes, Path("zeros")).status, "Done");
    const std::string file = ReadFileBytes(Path("zeros.aes"));
    ASSERT_EQ(file.size(), 32u);
    std::string difference(16, '\0');
    for (int i = 0; i < 16; ++i) difference[i] = file[i] ^ file[16 + i];
    differences.insert(difference);
    wxRemoveFile(Path("zeros.aes"));
  }
  EXPECT_EQ(differences.size(), 2u);
}

TEST_F(FileProceduresTest, SkippedOutcomes) {
  WriteFileBytes(Path("a.aes"), "already");
  FileOutcome outcome = Run(EncryptFileAes, Path("a.aes"));
  EXPECT_EQ(outcome.status, "Skipped");
  EXPECT_EQ(outcome.description, "Second encryption by this algorithm will show real file data");
  EXPECT_TRUE(progress.steps.empty());

  // Triple-DES encrypts its own files again, under a doubled extension.
  WriteFileBytes(Path("b.des3"), "twice");
  EXPECT_EQ(Run(EncryptFileDes3, Path("b.des3")).status, "Done");
  EXPECT_TRUE(wxFileExists(Path("b.des3.des3")));

  for (const char* name : {"plain.txt", "upper.AES", "c.des3"}) {
    WriteFileBytes(Path(name), "x");
    outcome = Run(DecryptFileAes, Path(name));
    EXPECT_EQ(outcome.status, "Skipped") << name;
    EXPECT_EQ(outcome.description, "No specific extention found");
  }
  outcome = Run(DecryptFileDes3, Path("a.aes"));
  EXPECT_EQ(outcome.description, "No specific extention found");
}

TEST_F(FileProceduresTest, ExistingOutputIsKeptUnlessOverwriteIsOn) {
  WriteFileBytes(Path("doc.txt"), "new content");
  WriteFileBytes(Path("doc.txt.aes"), "old output");
  const FileOutcome outcome = Run(EncryptFileAes, Path("doc.txt"));
  EXPECT_EQ(outcome.status, "Skipped");
  EXPECT_EQ(outcome.description, "Source file already exists");
  EXPECT_EQ(ReadFileBytes(Path("doc.txt.aes")), "old output");

  overwrite = true;
  EXPECT_EQ(Run(EncryptFileAes, Path("doc.txt")).status, "Done");
  EXPECT_EQ(ReadFileBytes(Path("doc.txt.aes")).size(), 11u + kTrailerSize);

  overwrite = false;
  EXPECT_EQ(Run(DecryptFileAes, Path("doc.txt.aes")).description, "Source file already exists");
  EXPECT_EQ(ReadFileBytes(Path("doc.txt")), "new content");
}

TEST_F(FileProceduresTest, WrongPasswordOrAlgorithmWritesNothing) {
  WriteFileBytes(Path("f"), Pattern(1000));
  Run(EncryptFileAes, Path("f"));
  Run(EncryptFileDes3, Path("f"));
  ASSERT_TRUE(wxRemoveFile(Path("f")));
  wxRenameFile(Path("f.des3"), Path("g.aes"));
  WriteFileBytes(Path("short.aes"), "tiny");

  const wxString right = keyText;
  keyText = "6F746865720202020202020202020202";
  for (const char* name : {"f.aes", "short.aes"}) {
    const FileOutcome outcome = Run(DecryptFileAes, Path(name));
    EXPECT_EQ(outcome.status, "Incomplete") << name;
    EXPECT_EQ(outcome.description, "Wrong password or algorithm") << name;
  }
  keyText = right;
  // A Triple-DES file renamed to ".aes" fails even with the right password.
  EXPECT_EQ(Run(DecryptFileAes, Path("g.aes")).description, "Wrong password or algorithm");
  EXPECT_TRUE(progress.steps.empty());
  EXPECT_EQ(Listing(), (std::vector<std::string>{"f.aes", "g.aes", "short.aes"}));
}

// Damage inside a Triple-DES file shows only when the padding is checked at
// the very end; by then no output may be left, and an older one stays.
TEST_F(FileProceduresTest, DamagedTripleDesFileLeavesNoOutput) {
  WriteFileBytes(Path("f"), Pattern(5000));
  Run(EncryptFileDes3, Path("f"));
  const std::string good = ReadFileBytes(Path("f.des3"));
  WriteFileBytes(Path("f"), "previous plain file");
  overwrite = true;

  std::string badPadding = good;
  badPadding[good.size() - kTrailerSize - 1] ^= 0x55;
  WriteFileBytes(Path("f.des3"), badPadding);
  FileOutcome outcome = Run(DecryptFileDes3, Path("f.des3"));
  EXPECT_EQ(outcome.status, "Incomplete");
  EXPECT_EQ(outcome.description,
            "Decryption error: StreamTransformationFilter: invalid PKCS #7 block padding found");
  EXPECT_EQ(ReadFileBytes(Path("f")), "previous plain file");

  std::string cut = good;
  cut.erase(good.size() - kTrailerSize - 3, 3);  // data no longer whole blocks
  WriteFileBytes(Path("f.des3"), cut);
  outcome = Run(DecryptFileDes3, Path("f.des3"));
  EXPECT_EQ(outcome.description,
            "Decryption error: StreamTransformationFilter: ciphertext length is not a multiple "
            "of block size");
  EXPECT_EQ(ReadFileBytes(Path("f")), "previous plain file");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"f", "f.des3"}));
}

TEST_F(FileProceduresTest, UnreadableSourceOrUnwritableOutputIsAnIncompleteRow) {
  FileOutcome outcome = Run(EncryptFileAes, Path("missing.txt"));
  EXPECT_EQ(outcome.status, "Incomplete");
  EXPECT_EQ(outcome.description,
            "Encryption error: FileStore: error opening file for reading: " + Path("missing.txt"));

  // The output name is taken by a folder: the file cannot take its place.
  WriteFileBytes(Path("x"), "data");
  ASSERT_TRUE(wxMkdir(Path("x.aes")));
  overwrite = true;
  outcome = Run(EncryptFileAes, Path("x"));
  EXPECT_EQ(outcome.status, "Incomplete");
  EXPECT_EQ(outcome.description, "Encryption error: FileSink: error writing file");
  EXPECT_EQ(ReadFileBytes(Path("x")), "data");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"x", "x.aes"}));

#ifndef _WIN32
  // A folder where no file can be created at all.
  if (geteuid() != 0) {  // the superuser writes anywhere
    ASSERT_TRUE(wxMkdir(Path("locked")));
    WriteFileBytes(Path("locked/y"), "data");
    chmod(Path("locked").fn_str(), 0555);
    outcome = Run(EncryptFileAes, Path("locked/y"));
    chmod(Path("locked").fn_str(), 0755);
    EXPECT_EQ(outcome.description, "Encryption error: FileSink: error opening file for writing: " +
                                       Path("locked/y.aes"));
  }
#endif
}

TEST_F(FileProceduresTest, TheRowOfAFileThatCannotBeOpenedNamesItWholeInAnyScript) {
  const wxString name = wxString::FromUTF8(
      "\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82 "
      "\xE6\x8A\xA5\xE5\x91\x8A \xF0\x9F\x94\x92.txt");
  const FileOutcome outcome = Run(EncryptFileAes, Path(name));
  EXPECT_EQ(outcome.status, "Incomplete");
  EXPECT_EQ(outcome.description,
            "Encryption error: FileStore: error opening file for reading: " + Path(name));
}

TEST_F(FileProceduresTest, SourceIsRemovedOnlyAfterSuccess) {
  removeSource = true;
  WriteFileBytes(Path("f"), Pattern(300));
  EXPECT_EQ(Run(EncryptFileAes, Path("f")).status, "Done");
  EXPECT_EQ(Listing(), std::vector<std::string>{"f.aes"});
  EXPECT_EQ(Run(DecryptFileAes, Path("f.aes")).status, "Done");
  EXPECT_EQ(Listing(), std::vector<std::string>{"f"});
  EXPECT_EQ(ReadFileBytes(Path("f")), Pattern(300));

  Run(EncryptFileDes3, Path("f"));
  keyText = "6F746865720202020202020202020202";
  EXPECT_EQ(Run(DecryptFileDes3, Path("f.des3")).status, "Incomplete");
  EXPECT_EQ(Listing(), std::vector<std::string>{"f.des3"}) << "a failed file is never removed";
}

#ifndef _WIN32
// A write that fails halfway (here: the file size limit) must leave the old
// output and the source as they were, and no partial file.
TEST_F(FileProceduresTest, WriteFailingMidwayLeavesEverythingAsItWas) {
  const std::string source = Pattern(1 << 20);
  WriteFileBytes(Path("big"), source);
  WriteFileBytes(Path("big.aes"), "the previous encrypted file");
  overwrite = true;

  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    const FileOutcome outcome = EncryptFileAes(Path("big"), Context());
    const std::string text = (outcome.status + "|" + outcome.description).utf8_string();
    [[maybe_unused]] auto written = write(channel[1], text.data(), text.size());
    _exit(0);
  }
  close(channel[1]);
  char buffer[512] = {};
  [[maybe_unused]] auto got = read(channel[0], buffer, sizeof buffer - 1);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);

  EXPECT_STREQ(buffer, "Incomplete|Encryption error: FileSink: error writing file");
  EXPECT_EQ(ReadFileBytes(Path("big.aes")), "the previous encrypted file");
  EXPECT_TRUE(ReadFileBytes(Path("big")) == source);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"big", "big.aes"}));
}
#endif

TEST_F(FileProceduresTest, TrailerNamesTheAlgorithm) {
  WriteFileBytes(Path("s"), "42");
  EXPECT_EQ(Run(EncryptFileDes3, Path("s")).status, "Done");
  EXPECT_EQ(progress.steps, AllSteps());
  EXPECT_TRUE(CheckTrailer(keyText, Path("s.des3"), FileAlgorithm::Des3));
  EXPECT_FALSE(CheckTrailer(keyText, Path("s.des3"), FileAlgorithm::Aes));
}
}  // namespace

// Reading whole script files, and the check of item references to constants.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "script/MenuScript.h"
#include "support/ErrorOf.h"
#include "support/FakeServices.h"
#include "support/TempDir.h"

namespace {

class ScriptFileTest : public ::testing::Test {
protected:
  ScriptFileTest() : script_(fake_.File("C:\\Tools\\veilor.exe").File("C:\\lock.ico").Services()) {}

  // Loads text written to a file; the message of the error, or "(no error)".
  std::string Load(const std::string& text) {
    WriteFileBytes(File(), text);
    return ErrorOf([&] { EXPECT_TRUE(script_.LoadFromFile(File())); });
  }
  std::string File() const { return dir_ / "menu.qxm"; }

  TempDir dir_;
  FakeServices fake_;
  MenuScript script_;
};

constexpr char kExample[] =
    "# crypto menu\r\n"
    "%1=C:\\Tools\\veilor.exe\r\n"
    "%2=C:\\lock.ico\r\n"
    "0;*;Crypto;Encrypt with AES;%1;aese %f;Encrypt the selected files;%2;%2\r\n"
    "2;*;Crypto;%e;%e;%e;%e;%e;%e\r\n";

TEST_F(ScriptFileTest, ExampleScriptLoadsItemsAndConstantsInOrder) {
  ASSERT_EQ(Load(kExample), "(no error)");
  ASSERT_EQ(script_.items.size(), 2u);
  ASSERT_EQ(script_.constants.size(), 2u);
  EXPECT_EQ(script_.items[0].name, "Encrypt with AES");
  EXPECT_EQ(script_.items[0].sourceLine,
            "0;*;Crypto;Encrypt with AES;%1;aese %f;Encrypt the selected files;%2;%2");
  EXPECT_EQ(script_.items[1].type, Separator);
  EXPECT_EQ(script_.constants[0].sourceLine, "%1=C:\\Tools\\veilor.exe");
  EXPECT_EQ(script_.constants[1].value, "C:\\lock.ico");
}

TEST_F(ScriptFileTest, LineEndingsOfEveryKindAndBlankLinesWork) {
  ASSERT_EQ(Load("\n\n%1=C:\\lock.ico\r\r0;*;%e;A;%1;%e;%e;%1;%1\n\r\n1;*;%e;B;%1;%e;%e;%1;%1"),
            "(no error)");
  ASSERT_EQ(script_.items.size(), 2u);
  EXPECT_EQ(script_.items[1].name, "B");
}

TEST_F(ScriptFileTest, TextEndsAtTheFirstNulByte) {
  ASSERT_EQ(Load(std::string("%1=C:\\lock.ico\n0;*;%e;A;%1;%e;%e;%1;%1\n\0garbage;;\n", 48)),
            "(no error)");
  EXPECT_EQ(script_.items.size(), 1u);
}

TEST_F(ScriptFileTest, WarnedConstantLinesAreSkippedAndTheLoadGoesOn) {
  ASSERT_EQ(Load("%3\n%1=C:\\lock.ico\n0;*;%e;A;%1;%e;%e;%1;%1\n"), "(no error)");
  EXPECT_EQ(fake_.Warnings().size(), 1u);
  EXPECT_EQ(script_.constants.size(), 1u);
}

TEST_F(ScriptFileTest, FileErrors) {
  EXPECT_EQ(ErrorOf([&] { script_.LoadFromFile(""); }), "File name is empty");
  const std::string missing = dir_ / "missing.qxm";
  EXPECT_EQ(ErrorOf([&] { script_.LoadFromFile(missing); }),
            "File '" + missing + "' does't exists or used by another process");
  EXPECT_EQ(ErrorOf([&] { script_.LoadFromFile(dir_.Path()); }),
            "File '" + dir_.Path() + "' does't exists or used by another process");
  EXPECT_EQ(Load(""), "Empty file '" + File() + "'");
}

TEST_F(ScriptFileTest, FifoIsRefusedWithoutWaitingForAWriter) {
  const std::string fifo = dir_ / "pipe.qxm";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ErrorOf([&] { script_.LoadFromFile(fifo); }),
            "File '" + fifo + "' does't exists or used by another process");
}

TEST_F(ScriptFileTest, HugeFileIsOutOfMemoryWithoutBeingRead) {
  const int fd = ::open(File().c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t{65} << 20), 0);  // sparse: costs no disk
  ::close(fd);
  EXPECT_EQ(ErrorOf([&] { script_.LoadFromFile(File()); }), "Out of memory");
}

TEST_F(ScriptFileTest, ShortReadIsAReadError) {
  // Kernel attribute files claim a size of a page and deliver less.
  for (const char* path : {"/sys/kernel/mm/transparent_hugepage/enabled", "/sys/power/state",
                           "/sys/kernel/profiling"}) {
    struct stat status {};
    if (::stat(path, &status) != 0 || status.st_size != 4096) continue;
    if (::access(path, R_OK) != 0) continue;
    EXPECT_EQ(ErrorOf([&] { script_.LoadFromFile(path); }),
              std::string("Error reading file '") + path + "'");
    return;
  }
  GTEST_SKIP() << "no attribute file with a short read on this machine";
}

TEST_F(ScriptFileTest, ScriptWithoutItemsOrConstants) {
  EXPECT_EQ(Load("\r\n\n\r\r\n"), "No script in file '" + File() + "'");
  EXPECT_EQ(Load("# only\n%1=C:\\lock.ico\n"), "No script in file '" + File() + "'");
  EXPECT_EQ(Load("0;*;%e;A;C:\\a.exe;%e;%e;%1;%1\n"), "No image ID's in script file");
}

TEST_F(ScriptFileTest, BlankLineInTheMiddleFailsAsAShortItem) {
  EXPECT_EQ(Load("%1=C:\\lock.ico\n   \n0;*;%e;A;%1;%e;%e;%1;%1\n"),
            "Wrong .qxm file format. Error line:");
}

TEST_F(ScriptFileTest, FirstErrorEndsTheParseAndKeepsWhatCameBefore) {
  EXPECT_EQ(Load("%1=C:\\lock.ico\n0;*;%e;A;%1;%e;%e;%1;%1\n7;x\n0;*;%e;B;%1;%e;%e;%1;%1\n"),
            "Wrong item type in .qxm file. Error line:7;x");
  EXPECT_EQ(script_.items.size(), 1u);
}

TEST_F(ScriptFileTest, LoadingReplacesThePreviousScript) {
  ASSERT_EQ(Load(kExample), "(no error)");
  ASSERT_EQ(Load("%2=C:\\lock.ico\n1;*;%e;Only;C:\\a.exe;%e;%e;%2;%2\n"), "(no error)");
  ASSERT_EQ(script_.items.size(), 1u);
  EXPECT_EQ(script_.items[0].name, "Only");
  ASSERT_EQ(script_.constants.size(), 1u);
  EXPECT_EQ(script_.constants[0].id, 2);
}

TEST_F(ScriptFileTest, CrossReferencesAreCheckedInOrder) {
  const std::string head = "%1=C:\\lock.ico\n";
  EXPECT_EQ(Load(head + "0;*;%e;A;%1;%e;%e;%9;%8\n"),
            "Wrong item icon ID. Source string: \"0;*;%e;A;%1;%e;%e;%9;%8\"");
  // The submenu icon is checked also for an item at the top level.
  EXPECT_EQ(Load(head + " 0;*;%e;A;%1;%e;%e;%1;%8\n"),
            "Wrong submenu icon ID. Source string: \" 0;*;%e;A;%1;%e;%e;%1;%8\"");
  EXPECT_EQ(Load(head + "0;*;%e;A;%7;%e;%e;%1;%1\n"),
            "Wrong item bin path ID. Source string: \"0;*;%e;A;%7;%e;%e;%1;%1\"");
  // The first failing item ends the check.
  EXPECT_EQ(Load(head + "0;*;%e;A;%7;%e;%e;%1;%1\n0;*;%e;B;%1;%e;%e;%5;%1\n"),
            "Wrong item bin path ID. Source string: \"0;*;%e;A;%7;%e;%e;%1;%1\"");
}

TEST_F(ScriptFileTest, CrossReferencesSkipSeparatorsAndLiteralPrograms) {
  EXPECT_EQ(Load("%1=C:\\lock.ico\n2;*;%e;%e;%e;%e;%e;%7;%7\n0;*;%e;A;C:\\a.exe;%e;%e;%1;%1\n"),
            "(no error)");
  // Constant 0, declared by a line without digits, is a valid reference.
  EXPECT_EQ(Load("%x=C:\\lock.ico\n0;*;%e;A;%0;%e;%e;%0;#0\n"), "(no error)");
}

}  // namespace

namespace {

TEST(PlatformServicesTest, PathsWithANulByteNeverExistAndNeverOpen) {
  TempDir dir;
  const std::string folder = dir.Path();
  const ScriptServices services = ScriptServices::Platform();
  EXPECT_TRUE(services.pathExists(folder));
  EXPECT_TRUE(services.isDirectory(folder));
  // Cut at the NUL, the path would name the existing folder.
  const std::string hidden = folder + std::string(1, '\0') + "/x";
  EXPECT_FALSE(services.pathExists(hidden));
  EXPECT_FALSE(services.isDirectory(hidden));
  MenuScript script(services);
  EXPECT_EQ(ErrorOf([&] { script.LoadFromFile(hidden); }),
            "File '" + hidden + "' does't exists or used by another process");
}

}  // namespace

// The stored script: values written by saving, what loading takes back, and
// deleting. Runs against the in-memory registry; FileRegistryTest covers the
// file-backed store itself.
#include <gtest/gtest.h>

#include "script/MenuScript.h"
#include "script/ScriptStorage.h"
#include "support/ErrorOf.h"
#include "support/FakeServices.h"
#include "support/MemoryRegistry.h"
#include "support/TempDir.h"

namespace {

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

class StorageTest : public ::testing::Test {
protected:
  StorageTest() { fake_.File("C:\\veilor.exe").File("C:\\lock.ico"); }

  MenuScript Script() { return MenuScript(fake_.Services()); }

  // Installs the text as a script file; the error message or "(no error)".
  std::string Install(const std::string& text) {
    WriteFileBytes(dir_ / "s.qxm", text);
    MenuScript script = Script();
    return ErrorOf([&] { script.InstallScript(dir_ / "s.qxm", registry_); });
  }
  ValueList& Stored() { return registry_.Values(kScriptKeyPath); }
  // Loads from the registry; the error message or "(no error)".
  std::string Load(MenuScript& script) {
    return ErrorOf([&] { script.LoadFromRegistry(registry_); });
  }

  TempDir dir_;
  FakeServices fake_;
  MemoryRegistry registry_;
};

constexpr char kScript[] =
    "# comment, not stored\n"
    "%1=C:\\veilor.exe\n"
    "%7\n"
    "  %2=C:\\lock.ico  \n"
    " 0;*;Crypto;Encrypt;%1;aese %f;Help;%2;%2\t\n"
    "2;*;Crypto;%e;%e;%e;%e;%e;%e\n"
    "1;*;%e;Folder;C:\\veilor.exe;aese %f;%e;%1;%1\n";

TEST_F(StorageTest, SavesEachItemLineUntrimmedAndEachConstantTrimmedWithItsNul) {
  ASSERT_EQ(Install(kScript), "(no error)");
  const auto& values = Stored().Values();
  ASSERT_EQ(values.size(), 5u);
  const std::pair<const char*, const char*> expected[] = {
      {"Line0", " 0;*;Crypto;Encrypt;%1;aese %f;Help;%2;%2\t"},
      {"Line1", "2;*;Crypto;%e;%e;%e;%e;%e;%e"},
      {"Line2", "1;*;%e;Folder;C:\\veilor.exe;aese %f;%e;%1;%1"},
      {"Img0", "%1=C:\\veilor.exe"},
      {"Img1", "%2=C:\\lock.ico"},
  };
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(values[i].name, expected[i].first);
    EXPECT_EQ(values[i].type, kRegSz);
    EXPECT_EQ(values[i].data, Sz(expected[i].second));
  }
}

TEST_F(StorageTest, LoadingGivesBackTheInstalledScript) {
  ASSERT_EQ(Install(kScript), "(no error)");
  MenuScript original = Script();
  original.LoadFromFile(dir_ / "s.qxm");
  MenuScript loaded = Script();
  ASSERT_EQ(Load(loaded), "(no error)");
  ASSERT_EQ(loaded.items.size(), original.items.size());
  for (std::size_t i = 0; i < loaded.items.size(); ++i) {
    EXPECT_EQ(loaded.items[i].sourceLine, original.items[i].sourceLine);
    EXPECT_EQ(loaded.items[i].name, original.items[i].name);
    EXPECT_EQ(loaded.items[i].exeId, original.items[i].exeId);
    EXPECT_EQ(loaded.items[i].exePath, original.items[i].exePath);
  }
  ASSERT_EQ(loaded.constants.size(), 2u);
  EXPECT_EQ(loaded.constants[1].id, 2);
  EXPECT_EQ(loaded.constants[1].value, "C:\\lock.ico");
}

TEST_F(StorageTest, SavingAShorterScriptReplacesTheLongerOneAsAWhole) {
  ASSERT_EQ(Install("%1=C:\\veilor.exe\n%2=C:\\lock.ico\n"
                    "0;*;%e;A;%1;%e;%e;%1;%1\n0;*;%e;B;%1;%e;%e;%1;%1\n0;*;%e;C;%1;%e;%e;%1;%1\n"
                    "0;*;%e;D;%1;%e;%e;%1;%1\n0;*;%e;E;%1;%e;%e;%1;%1\n"),
            "(no error)");
  Stored().Set("Unrelated", kRegSz, Sz("left by hand"));
  ASSERT_EQ(Install("%1=C:\\veilor.exe\n0;*;%e;X;%1;%e;%e;%1;%1\n0;*;%e;Y;%1;%e;%e;%1;%1\n"
                    "0;*;%e;Z;%1;%e;%e;%1;%1\n"),
            "(no error)");
  EXPECT_EQ(Stored().Names(), (std::vector<std::string>{"Line0", "Line1", "Line2", "Img0"}));
  MenuScript loaded = Script();
  ASSERT_EQ(Load(loaded), "(no error)");
  ASSERT_EQ(loaded.items.size(), 3u);
  EXPECT_EQ(loaded.items[2].name, "Z");
  EXPECT_EQ(loaded.constants.size(), 1u);
}

TEST_F(StorageTest, SavingKeepsAValueWhoseNameDiffersOnlyInCase) {
  registry_.CreateKey(kScriptKeyPath);
  Stored().Set("LINE0", kRegSz, Sz("old"));
  ASSERT_EQ(Install("%1=C:\\veilor.exe\n0;*;%e;New;%1;%e;%e;%1;%1\n"), "(no error)");
  ASSERT_EQ(Stored().Values().size(), 2u);
  EXPECT_EQ(Stored().Find("Line0")->data, Sz("0;*;%e;New;%1;%e;%e;%1;%1"));
}

TEST_F(StorageTest, LineOfTheSizeLimitStopsTheItemsButNotTheConstants) {
  const std::string head = "0;*;%e;Long;%1;";
  const std::string tail = ";%e;%1;%1";
  const auto lineOfLength = [&](std::size_t length) {
    return head + std::string(length - head.size() - tail.size(), 'a') + tail;
  };
  ASSERT_EQ(Install("%1=C:\\veilor.exe\n" + lineOfLength(kStoredLineLimit - 1) + "\n" +
                    lineOfLength(kStoredLineLimit) + "\n0;*;%e;After;%1;%e;%e;%1;%1\n"),
            "(no error)");
  EXPECT_EQ(Stored().Find("Line1")->data.size(), kStoredLineLimit + 1);  // stored in full
  MenuScript loaded = Script();
  ASSERT_EQ(Load(loaded), "(no error)");
  ASSERT_EQ(loaded.items.size(), 1u);  // 4095 bytes and the NUL fit; 4096 do not
  EXPECT_EQ(loaded.items[0].sourceLine.size(), kStoredLineLimit - 1);
  EXPECT_EQ(loaded.constants.size(), 1u);
}

TEST_F(StorageTest, LoadingStopsAtTheFirstGapOrUnusableValue) {
  registry_.CreateKey(kScriptKeyPath);
  const std::string item = "0;*;%e;A;%1;%e;%e;%1;%1";
  Stored().Set("Img0", kRegSz, Sz("%1=C:\\veilor.exe"));
  Stored().Set("Line0", kRegSz, Sz(item));
  Stored().Set("Line1", kRegExpandSz, Sz("0;*;%e;%PATH%;%1;%e;%e;%1;%1"));
  Stored().Set("Line3", kRegSz, Sz(item));
  MenuScript script = Script();
  ASSERT_EQ(Load(script), "(no error)");
  ASSERT_EQ(script.items.size(), 2u);
  EXPECT_EQ(script.items[1].name, "%PATH%");  // an expandable string is taken unexpanded

  for (const auto& [type, data] : std::vector<std::pair<std::uint32_t, std::string>>{
           {kRegBinary, Sz(item)}, {kRegDword, Sz(item)}, {kRegSz, item}, {kRegSz, ""}}) {
    Stored().Set("Line1", type, data);
    ASSERT_EQ(Load(script), "(no error)");
    EXPECT_EQ(script.items.size(), 1u) << "type " << type << " data size " << data.size();
  }
}

TEST_F(StorageTest, StoredTextEndsAtItsFirstNul) {
  registry_.CreateKey(kScriptKeyPath);
  Stored().Set("Img0", kRegSz, Sz("%1=C:\\veilor.exe"));
  Stored().Set("Line0", kRegSz, Sz(std::string("0;*;%e;A;%1;%e;%e;%1;%1\0;junk", 30)));
  MenuScript script = Script();
  ASSERT_EQ(Load(script), "(no error)");
  ASSERT_EQ(script.items.size(), 1u);
  EXPECT_EQ(script.items[0].sourceLine, "0;*;%e;A;%1;%e;%e;%1;%1");
}

TEST_F(StorageTest, MissingKeyTellsHowToInstall) {
  MenuScript script = Script();
  EXPECT_EQ(Load(script),
            "Error opening registry key for load scripts. Maybe, you forget install COM server.\n"
            " Use: regsvr32 /i:\"...\\QXM.qxm\" QXM.dll");
}

TEST_F(StorageTest, StoredLinesAreParsedAgainButReferencesAreNotChecked) {
  ASSERT_EQ(Install("%1=C:\\veilor.exe\n0;*;%e;A;%1;%e;%e;%1;%1\n"), "(no error)");
  Stored().Set("Line1", kRegSz, Sz("0;*;%e;B;%9;%e;%e;%8;%8"));  // IDs that name nothing
  Stored().Set("Img1", kRegSz, Sz("%5"));
  MenuScript script = Script();
  ASSERT_EQ(Load(script), "(no error)");
  EXPECT_EQ(script.items.size(), 2u);
  ASSERT_EQ(fake_.Warnings().size(), 1u);  // the malformed constant warns at every load
  ASSERT_EQ(Load(script), "(no error)");
  EXPECT_EQ(fake_.Warnings().size(), 2u);
}

TEST_F(StorageTest, DeletedConstantFileFailsEveryLoadUntilItIsBack) {
  fake_.File("C:\\gone.ico");
  ASSERT_EQ(Install("%1=C:\\veilor.exe\n%2=C:\\gone.ico\n0;*;%e;A;%1;%e;%e;%2;%2\n"), "(no error)");
  FakeServices later;
  later.File("C:\\veilor.exe");
  MenuScript script(later.Services());
  EXPECT_EQ(Load(script), "Wrong constant value. Invalid path. Source line: \"%2=C:\\gone.ico\"");
  later.File("C:\\gone.ico");
  EXPECT_EQ(Load(script), "(no error)");
}

TEST_F(StorageTest, LineThatNoLongerParsesFailsTheLoad) {
  ASSERT_EQ(Install("%1=C:\\veilor.exe\n0;*;%e;A;%1;%e;%e;%1;%1\n"), "(no error)");
  Stored().Set("Line0", kRegSz, Sz("0;*;%e;A"));
  MenuScript script = Script();
  EXPECT_EQ(Load(script), "Wrong .qxm file format. Error line:0;*;%e;A");
}

TEST_F(StorageTest, FailedInstallWritesNothing) {
  EXPECT_EQ(Install("%1=C:\\veilor.exe\n0;*;%e;A;%1;%e;%e;%3;%1\n"),
            "Wrong item icon ID. Source string: \"0;*;%e;A;%1;%e;%e;%3;%1\"");
  EXPECT_FALSE(registry_.HasKey(kScriptKeyPath));
}

TEST_F(StorageTest, SavingFailures) {
  registry_.refuseCreate = true;
  EXPECT_EQ(Install(kScript), "Error creating registry key for saving scripts");
  registry_.refuseCreate = false;
  registry_.setsBeforeFailure = 2;
  EXPECT_EQ(Install(kScript), "Error setup registry key for saving scripts");
  // The values written before the failure stay.
  EXPECT_EQ(Stored().Names(), (std::vector<std::string>{"Line0", "Line1"}));
}

TEST_F(StorageTest, DeleteRemovesTheKeyWithItsSubkeysAndNeverFails) {
  MenuScript script = Script();
  DeleteStoredScript(registry_);  // nothing there yet
  ASSERT_EQ(Install(kScript), "(no error)");
  registry_.CreateKey(std::string(kScriptKeyPath) + "\\Sub\\Deeper");
  registry_.CreateKey("Software\\Other");
  DeleteStoredScript(registry_);
  EXPECT_FALSE(registry_.HasKey(kScriptKeyPath));
  EXPECT_FALSE(registry_.HasKey(std::string(kScriptKeyPath) + "\\Sub"));
  EXPECT_TRUE(registry_.HasKey("Software\\Other"));
  EXPECT_EQ(Load(script).rfind("Error opening registry key", 0), 0u);
}

}  // namespace

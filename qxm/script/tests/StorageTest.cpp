// The stored script: values written by saving, what loading takes back, and
// deleting. Runs against the in-memory registry; FileRegistryTest covers the
// file-backed store itself.
#include <gtest/gtest.h>

#include <functional>

#include "script/MenuScript.h"
#include "script/ScriptStorage.h"
#include "support/ErrorOf.h"
#include "support/FakeServices.h"
#include "support/InterruptingRegistry.h"
#include "support/MemoryRegistry.h"
#include "support/ScriptLines.h"
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

TEST_F(StorageTest, LineTooLongToLoadIsRefusedAtInstallByItsNumber) {
  const std::string head = "0;*;%e;Long;%1;";
  const std::string tail = ";%e;%1;%1";
  const auto lineOfLength = [&](std::size_t length) {
    return head + std::string(length - head.size() - tail.size(), 'a') + tail;
  };
  const std::string longest = lineOfLength(kStoredLineLimit - 1);  // fits with its NUL
  ASSERT_EQ(Install("%1=C:\\veilor.exe\n" + longest + "\n"), "(no error)");
  EXPECT_EQ(Stored().Find("Line0")->data, Sz(longest));

  const std::string tooLong = "%1=C:\\veilor.exe\r\n# note\r\n\r\n0;*;%e;A;%1;%e;%e;%1;%1\r\n" +
                              lineOfLength(kStoredLineLimit) + "\r\n0;*;%e;After;%1;%e;%e;%1;%1\n";
  EXPECT_EQ(Install(tooLong),
            "Line 5 of file '" + dir_ / "s.qxm" +
                "' is too long to be stored: 4096 bytes, at most 4095 are allowed");
  const std::string longPath = "C:\\" + std::string(kStoredLineLimit, 'x');
  fake_.File(longPath);
  EXPECT_EQ(Install("\r%1=C:\\veilor.exe\r  %2=" + longPath + "  \r0;*;%e;A;%1;%e;%e;%1;%1\r"),
            "Line 3 of file '" + dir_ / "s.qxm" +
                "' is too long to be stored: 4102 bytes, at most 4095 are allowed");
  // Nothing of either was stored.
  EXPECT_EQ(Stored().Names(), (std::vector<std::string>{"Line0", "Img0"}));
  EXPECT_EQ(Stored().Find("Line0")->data, Sz(longest));
}

TEST_F(StorageTest, StoredLineTooLongForTheBufferStopsTheItemsButNotTheConstants) {
  ASSERT_EQ(Install("%1=C:\\veilor.exe\n0;*;%e;A;%1;%e;%e;%1;%1\n"), "(no error)");
  Stored().Set("Line1", kRegSz, Sz("0;*;%e;Long;%1;" + std::string(kStoredLineLimit, 'a')));
  Stored().Set("Line2", kRegSz, Sz("0;*;%e;After;%1;%e;%e;%1;%1"));
  MenuScript loaded = Script();
  ASSERT_EQ(Load(loaded), "(no error)");
  EXPECT_EQ(loaded.items.size(), 1u);
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

// A script of lines without a file.
MenuScript Lines(FakeServices& fake, std::initializer_list<std::string> lines) {
  MenuScript script(fake.Services());
  AddLines(script, lines);
  return script;
}

// Every stored line as the loader takes it, or "(none)" when nothing loads.
std::string Loaded(FakeServices& fake, Registry& registry) {
  MenuScript script(fake.Services());
  if (ErrorOf([&] { script.LoadFromRegistry(registry); }) != "(no error)") return "(none)";
  std::string lines;
  for (const ScriptItem& item : script.items) lines += item.sourceLine + "\n";
  for (const ScriptConstant& constant : script.constants) lines += constant.sourceLine + "\n";
  return lines;
}

using Change = std::function<void(Registry&)>;

class InterruptedStorageTest : public StorageTest {
protected:
  InterruptedStorageTest() {
    a_ = Lines(fake_, {"%1=C:\\veilor.exe", "%2=C:\\lock.ico", "0;*;%e;A1;%1;x;%e;%1;%1",
                       "0;*;%e;A2;%1;x;%e;%1;%1"});
    b_ = Lines(fake_, {"%1=C:\\lock.ico", "0;*;%e;B1;%1;y;%e;%1;%1", "0;*;%e;B2;%1;y;%e;%1;%1",
                       "0;*;%e;B3;%1;y;%e;%1;%1", "2;*;%e;%e;%e;%e;%e;%e;%e"});
    c_ = Lines(fake_, {"%1=C:\\veilor.exe", "0;*;%e;C1;%1;z;%e;%1;%1"});
  }

  Change Save(const MenuScript& script) {
    return [&script](Registry& registry) { script.SaveToRegistry(registry); };
  }
  static void Delete(Registry& registry) { DeleteStoredScript(registry); }
  // A save of a that is killed after this many writes.
  Change KilledSave(const MenuScript& script, int writes) {
    return [&script, writes](Registry& registry) {
      InterruptingRegistry cut(registry, writes, InterruptingRegistry::Mode::kKill);
      try {
        script.SaveToRegistry(cut);
      } catch (const InterruptingRegistry::Killed&) {
      }
    };
  }

  // Interrupts the change after 0, 1, 2, … writes until it runs through. After
  // each interruption the loader must find the script as it was before or as
  // the change makes it, and the change made again must then run through.
  void ExpectAllOrNothing(const Change& setup, const Change& change,
                          InterruptingRegistry::Mode mode) {
    MemoryRegistry reference;
    setup(reference);
    const std::string before = Loaded(fake_, reference);
    change(reference);
    const std::string after = Loaded(fake_, reference);
    ASSERT_NE(before, after);
    for (int writes = 0;; ++writes) {
      SCOPED_TRACE("interrupted after " + std::to_string(writes) + " writes");
      MemoryRegistry registry;
      setup(registry);
      InterruptingRegistry cut(registry, writes, mode);
      try {
        change(cut);
      } catch (const InterruptingRegistry::Killed&) {
      } catch (const CQXMException&) {
      }
      const std::string loaded = Loaded(fake_, registry);
      EXPECT_TRUE(loaded == before || loaded == after) << loaded;
      if (!cut.Interrupted()) {
        EXPECT_EQ(loaded, after);
        EXPECT_FALSE(registry.HasKey(kStagedScriptKeyPath));
        return;
      }
      change(registry);
      EXPECT_EQ(Loaded(fake_, registry), after);
      EXPECT_FALSE(registry.HasKey(kStagedScriptKeyPath));
    }
  }

  MenuScript a_;
  MenuScript b_;
  MenuScript c_;
};

TEST_F(InterruptedStorageTest, AnInterruptedSaveOrDeleteLeavesTheOldOrTheNewScriptWhole) {
  const Change nothing = [](Registry&) {};
  const std::pair<const char*, std::pair<Change, Change>> cases[] = {
      {"first install", {nothing, Save(a_)}},
      {"longer over shorter", {Save(a_), Save(b_)}},
      {"shorter over longer", {Save(b_), Save(a_)}},
      {"delete", {Save(b_), Delete}},
  };
  for (const auto mode : {InterruptingRegistry::Mode::kKill, InterruptingRegistry::Mode::kRefuse}) {
    for (const auto& [name, steps] : cases) {
      SCOPED_TRACE(std::string(name) +
                   (mode == InterruptingRegistry::Mode::kKill ? ", killed" : ", refused"));
      ExpectAllOrNothing(steps.first, steps.second, mode);
    }
  }
}

// What a killed save leaves, whatever its step, the next save or delete starts from.
TEST_F(InterruptedStorageTest, SaveOrDeleteAfterAKilledSave) {
  for (int killedAt = 0; killedAt < 40; ++killedAt) {
    SCOPED_TRACE("first save killed after " + std::to_string(killedAt) + " writes");
    const Change setup = [&](Registry& registry) {
      a_.SaveToRegistry(registry);
      KilledSave(b_, killedAt)(registry);
    };
    ExpectAllOrNothing(setup, Save(c_), InterruptingRegistry::Mode::kKill);
    ExpectAllOrNothing(setup, Delete, InterruptingRegistry::Mode::kKill);
  }
}

TEST_F(StorageTest, DeleteThatIsRefusedRaisesWithTheReasonAndKeepsTheScript) {
  ASSERT_EQ(Install(kScript), "(no error)");
  InterruptingRegistry refusing(registry_, 0, InterruptingRegistry::Mode::kRefuse);
  const std::string error = ErrorOf([&] { DeleteStoredScript(refusing); });
  EXPECT_EQ(error.rfind("Error deleting registry key for saving scripts 'Software\\Ordal context "
                        "menu': ",
                        0),
            0u)
      << error;
  MenuScript script = Script();
  EXPECT_EQ(Load(script), "(no error)");
  EXPECT_EQ(script.items.size(), 3u);
}

}  // namespace

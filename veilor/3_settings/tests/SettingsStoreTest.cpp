#include <gtest/gtest.h>

#include <wx/filefn.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "1_base/Exceptions.h"
#include "3_settings/SettingReference.h"
#include "3_settings/Settings.h"
#include "3_settings/SettingsFileLock.h"
#include "LineEnds.h"
#include "TempDir.h"

namespace {

enum { StaticId = 0, DynamicId = 1 };

class SettingsStoreTest : public testing::Test {
protected:
  // A store with one static group (a string and a bool) and one dynamic group.
  std::unique_ptr<rkSettings> MakeStore() {
    auto store = std::make_unique<rkSettings>(path_);
    rkSettingsGroup group;
    group.AddString("Name", 0, "default");
    group.AddBool("Flag", 1, true);
    group.AddBool("Off", 2, false);
    store->AddGroup(group, StaticId, true, "/Main");
    store->AddGroup(rkSettingsGroup(), DynamicId, false, "/List");
    store->Load();
    return store;
  }

  TempDir dir_;
  wxString path_ = dir_ / "test.ini";
};

TEST_F(SettingsStoreTest, MissingFileGivesDefaultsAndIsCreatedOnSave) {
  auto store = MakeStore();
  wxString name;
  bool flag = false;
  wxArrayString list;
  store->GetString(StaticId, 0, name);
  store->GetBool(StaticId, 1, flag);
  store->GetDynamicGroup(DynamicId, list);
  EXPECT_EQ(name, "default");
  EXPECT_TRUE(flag);
  EXPECT_TRUE(list.empty());
  store->Save();
  EXPECT_EQ(ReadFileBytes(path_),
            WithLineEnds("[StaticGroup/Main]\nName=default\nFlag=1\nOff=0\n"));
}

TEST_F(SettingsStoreTest, DynamicEntriesLoadInFileOrderAndAreRenumbered) {
  WriteFileBytes(path_,
                 "[DynamicGroup/List]\nzulu=first\nalpha=second\nitem10=third\n"
                 "[StaticGroup/Main]\nName=n\nFlag=0\n");
  {
    auto store = MakeStore();
    wxArrayString list;
    store->GetDynamicGroup(DynamicId, list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], "first");
    EXPECT_EQ(list[1], "second");
    EXPECT_EQ(list[2], "third");
    store->SetDynamicGroup(DynamicId, list);
  }  // written by the destructor
  EXPECT_EQ(ReadFileBytes(path_),
            WithLineEnds("[DynamicGroup/List]\nitem0=first\nitem1=second\nitem2=third\n"
                         "[StaticGroup/Main]\nName=n\nFlag=0\nOff=0\n"));
}

TEST_F(SettingsStoreTest, ElevenEntriesKeepTheirOrder) {
  auto store = MakeStore();
  wxArrayString values;
  for (int i = 0; i < 12; ++i) values.push_back(wxString::Format("v%d", i));
  store->SetDynamicGroup(DynamicId, values);
  store->Save();
  auto reread = MakeStore();
  wxArrayString list;
  reread->GetDynamicGroup(DynamicId, list);
  EXPECT_EQ(list, values);
}

TEST_F(SettingsStoreTest, EmptyDynamicGroupDisappearsAndExtraKeysAreDropped) {
  WriteFileBytes(path_,
                 "[StaticGroup/Main]\nName=n\nStale=1\nFlag=1\n[DynamicGroup/List]\nitem0=x\n"
                 "[Foreign]\nkept=1\n");
  auto store = MakeStore();
  store->SetDynamicGroup(DynamicId, wxArrayString());
  store->Save();
  EXPECT_EQ(ReadFileBytes(path_),
            WithLineEnds("[StaticGroup/Main]\nName=n\nFlag=1\nOff=0\n[Foreign]\nkept=1\n"));
}

TEST_F(SettingsStoreTest, BoolValuesReadAsNumbersElseKeepTheDefault) {
  const struct {
    const char* text;
    bool number;  // whether the text reads as a number
    bool value;   // its truth when it does
  } cases[] = {{"0", true, false}, {"1", true, true},     {"7", true, true},
               {"-1", true, true}, {"yes", false, false}, {"", false, false}};
  for (const auto& c : cases) {
    WriteFileBytes(path_,
                   std::string("[StaticGroup/Main]\nFlag=") + c.text + "\nOff=" + c.text + "\n");
    auto store = MakeStore();
    bool flag = false;
    bool off = true;
    store->GetBool(StaticId, 1, flag);  // default true
    store->GetBool(StaticId, 2, off);   // default false
    EXPECT_EQ(flag, c.number ? c.value : true) << "'" << c.text << "'";
    EXPECT_EQ(off, c.number ? c.value : false) << "'" << c.text << "'";
  }
}

TEST_F(SettingsStoreTest, AccessorsIgnoreTheItemType) {
  auto store = MakeStore();
  wxString text = "unchanged";
  bool flag = true;
  store->GetString(StaticId, 1, text);  // the bool item's string field
  store->GetBool(StaticId, 0, flag);    // the string item's bool field
  EXPECT_EQ(text, "");
  EXPECT_FALSE(flag);
  store->SetBool(StaticId, 0, true);
  store->GetBool(StaticId, 0, flag);
  EXPECT_TRUE(flag);
}

TEST_F(SettingsStoreTest, WrongIdsAreProgrammingErrors) {
  auto store = MakeStore();
  wxString text;
  wxArrayString list;
  auto message = [](auto&& call) {
    try {
      call();
    } catch (const rkSettingsException& error) {
      EXPECT_EQ(error.GetModule(), "Settings exception");
      return error.GetMessage();
    }
    return wxString("no error");
  };
  EXPECT_EQ(message([&] { store->GetString(StaticId, 9, text); }),
            "Internal error. Wrong value query");
  EXPECT_EQ(message([&] { store->SetBool(7, 0, true); }), "Internal error. Wrong value query");
  EXPECT_EQ(message([&] { store->GetDynamicGroup(7, list); }), "Internal error. Wrong group ID");
  EXPECT_EQ(message([&] { store->SetDynamicGroup(7, list); }), "Internal error. Wrong group ID");
  EXPECT_EQ(message([&] { store->GetDynamicGroup(StaticId, list); }),
            "Dynamic group must contains items of string type");
  EXPECT_EQ(message([&] { store->AddGroup(rkSettingsGroup(), StaticId, true, "/X"); }),
            "Group with specified ID is already exists");
  rkSettingsGroup group;
  group.AddBool("A", 1, false);
  EXPECT_EQ(message([&] { group.AddBool("B", 1, true); }),
            "Element with specified ID is already exists");
}

TEST_F(SettingsStoreTest, ReferencesReadThroughToTheStore) {
  auto store = MakeStore();
  CStringSetting first;
  CStringSetting second;
  CBoolSetting flag;
  first.Bind(*store, StaticId, 0);
  second.Bind(*store, StaticId, 0);
  flag.Bind(*store, StaticId, 1);
  first.Set("changed");
  wxString stored;
  store->GetString(StaticId, 0, stored);
  EXPECT_EQ(stored, "changed") << "written to the item it was bound to";
  EXPECT_EQ(second.Get(), "changed");
  store->SetBool(StaticId, 1, false);
  EXPECT_FALSE(flag.Get());

  CBoolSetting unbound;
  EXPECT_THROW(unbound.Get(), rkSettingsException);
}

TEST_F(SettingsStoreTest, DamagedFileIsReportedAndLeftAlone) {
  const std::string damaged = "[StaticGroup/Main]\nName=n\nthis line is not a setting\n";
  WriteFileBytes(path_, damaged);
  try {
    MakeStore();
    ADD_FAILURE() << "damaged file accepted";
  } catch (const rkSettingsException& error) {
    EXPECT_TRUE(error.GetMessage().Contains(path_));
    EXPECT_TRUE(error.GetMessage().Contains("line 3"));
  }
  EXPECT_EQ(ReadFileBytes(path_), damaged);
}

// Runs that overlap each write only what they changed onto the file as it is
// when they end; a run that changed nothing leaves it alone.
TEST_F(SettingsStoreTest, OverlappingStoresKeepEachOthersChanges) {
  WriteFileBytes(path_, "[StaticGroup/Main]\nName=n\nFlag=1\nOff=0\n");
  auto batch = MakeStore();
  auto idle = MakeStore();
  auto manager = MakeStore();
  manager->SetDynamicGroup(DynamicId, wxArrayString(1, wxString("new password")));
  manager->Save();
  batch->SetString(StaticId, 0, "changed");
  batch->Save();
  idle->SetBool(StaticId, 1, true);  // the value it had
  idle.reset();
  EXPECT_EQ(ReadFileBytes(path_), WithLineEnds("[StaticGroup/Main]\nName=changed\nFlag=1\nOff=0\n"
                                               "[DynamicGroup/List]\nitem0=new password\n"));
}

TEST_F(SettingsStoreTest, UnchangedStoreWritesNothing) {
  const std::string handMade = "; mine\n[StaticGroup/Main]\nName = n  \nFlag=1\nOff=0\nOld=1\n";
  WriteFileBytes(path_, handMade);
  auto store = MakeStore();
  store->SetString(StaticId, 0, "n");
  store->Save();
  EXPECT_EQ(ReadFileBytes(path_), handMade);
}

// A list is held once: what it was when loaded or saved is kept only once it
// is set, and a list set back to that is still no change.
TEST_F(SettingsStoreTest, ListSetBackToWhatItWasIsNoChange) {
  const std::string handMade =
      "[DynamicGroup/List]\n; kept unless rewritten\nitem0=a\n[StaticGroup/Main]\nName=n\n";
  WriteFileBytes(path_, handMade);
  auto store = MakeStore();
  store->SetDynamicGroup(DynamicId, wxArrayString(1, wxString("b")));
  store->SetDynamicGroup(DynamicId, wxArrayString(1, wxString("a")));
  store->SetBool(StaticId, 1, true);
  store->Save();
  EXPECT_EQ(ReadFileBytes(path_),
            WithLineEnds("[DynamicGroup/List]\n; kept unless "
                         "rewritten\nitem0=a\n[StaticGroup/Main]\nName=n\nFlag=1\n"
                         "Off=0\n"));
  store->SetDynamicGroup(DynamicId, wxArrayString(1, wxString("c")));
  store->Save();
  store->SetDynamicGroup(DynamicId, wxArrayString(1, wxString("c")));
  store->Save();
  wxArrayString list;
  MakeStore()->GetDynamicGroup(DynamicId, list);
  EXPECT_EQ(list, wxArrayString(1, wxString("c")));
}

TEST_F(SettingsStoreTest, FileDamagedBeforeSaveIsReportedAndLeftAlone) {
  auto store = MakeStore();
  store->SetBool(StaticId, 2, true);
  const std::string damaged = "[StaticGroup/Main]\ngarbage\n";
  WriteFileBytes(path_, damaged);
  try {
    store->Save();
    ADD_FAILURE() << "saved over a damaged file";
  } catch (const rkSettingsException& error) {
    EXPECT_TRUE(error.GetMessage().Contains(path_));
  }
  EXPECT_EQ(ReadFileBytes(path_), damaged);
}

// A lock another run keeps is waited for a bounded time, then named; nothing
// is read or written under it. Once it is free, the save goes through.
TEST_F(SettingsStoreTest, LockHeldByAnotherRunIsNamedAfterABoundedWait) {
  auto store = MakeStore();
  store->SetString(StaticId, 0, "mine");
  {
    SettingsFileLock other(path_);
    ASSERT_TRUE(other.Held());
    for (const bool reading : {true, false}) {
      try {
        reading ? (void)MakeStore() : store->Save();
        ADD_FAILURE() << (reading ? "read" : "saved") << " under another run's lock";
      } catch (const rkSettingsException& error) {
        EXPECT_TRUE(error.GetMessage().EndsWith(path_ + ".lock")) << error.GetMessage();
      }
    }
    EXPECT_FALSE(wxFileExists(path_));
  }
  store->Save();
  EXPECT_NE(ReadFileBytes(path_).find("Name=mine"), std::string::npos);
}

#ifndef _WIN32
// A linked file is written where the link points; a read-only one is left
// alone when only missing defaults would be added, and refused with a change.
TEST_F(SettingsStoreTest, LinkedFileIsFollowedAndReadOnlyFileIsLeftAlone) {
  const wxString target = dir_ / "elsewhere.ini";
  WriteFileBytes(target, "[StaticGroup/Main]\nName=linked\n");
  ASSERT_EQ(::symlink(target.fn_str(), path_.fn_str()), 0);
  MakeStore()->Save();
  struct stat status = {};
  ASSERT_EQ(::lstat(path_.fn_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode)) << "the link was replaced";
  EXPECT_NE(ReadFileBytes(target).find("Name=linked\nFlag=1"), std::string::npos)
      << ReadFileBytes(target);

  const std::string lacking = "[StaticGroup/Main]\nName=kept\n";
  WriteFileBytes(target, lacking);
  ASSERT_EQ(::chmod(target.fn_str(), 0400), 0);
  auto store = MakeStore();
  store->Save();
  EXPECT_TRUE(store->KeptReadOnly());
  store->SetString(StaticId, 0, "changed");
  EXPECT_THROW(store->Save(), rkSettingsException);
  EXPECT_EQ(ReadFileBytes(target), lacking);
}
#endif

// Two runs change the list at once: the later save must not mix its list
// with the other's. It is refused, its other settings are saved, and it then
// holds the list as the other run left it.
TEST_F(SettingsStoreTest, ListChangedByAnotherRunIsNotOverwritten) {
  WriteFileBytes(path_, "[DynamicGroup/List]\nitem0=home\nitem1=work\n");
  auto first = MakeStore();
  auto second = MakeStore();
  first->SetDynamicGroup(DynamicId, wxArrayString(1, wxString("work")));
  first->Save();
  second->SetDynamicGroup(DynamicId, wxArrayString(2, wxString("edited")));
  second->SetString(StaticId, 0, "second");
  try {
    second->Save();
    ADD_FAILURE() << "overwrote another run's list";
  } catch (const rkSettingsException& error) {
    EXPECT_TRUE(error.GetMessage().StartsWith("Another window changed the password list"));
  }
  wxArrayString list;
  second->GetDynamicGroup(DynamicId, list);
  EXPECT_EQ(list, wxArrayString(1, wxString("work")));
  const std::string saved = ReadFileBytes(path_);
  EXPECT_NE(saved.find("Name=second"), std::string::npos);
  EXPECT_EQ(saved.find("edited"), std::string::npos);
  // Having reloaded it, the run may change the list again.
  second->SetDynamicGroup(DynamicId, wxArrayString(1, wxString("again")));
  second->Save();
  EXPECT_NE(ReadFileBytes(path_).find("item0=again"), std::string::npos);
}

TEST_F(SettingsStoreTest, UnreadableFileIsReported) {
  ASSERT_TRUE(wxMkdir(path_));  // a folder where the file should be
  EXPECT_THROW(MakeStore(), rkSettingsException);
}

}  // namespace

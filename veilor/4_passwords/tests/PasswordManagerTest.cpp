#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "1_base/Exceptions.h"
#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "FirstStartSettings.h"
#include "TempDir.h"

namespace {

// Key texts written out by hand: the password's bytes, then 0x02 up to 16.
const wxString kKeyAlpha1 = "616C7068613102020202020202020202";
const wxString kKeyBeta2 = "426574612D3202020202020202020202";

class PasswordManagerTest : public testing::Test {
protected:
  // Fills one stored list directly, each value protected with its position,
  // so that lookups are tested independently of StoreEntries.
  void SetList(int group, const std::vector<wxString>& texts) {
    wxArrayString encoded;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      encoded.push_back(ProtectString(texts[i], static_cast<int>(i)));
    }
    settings_.SetDynamicGroup(group, encoded);
  }

  void SetDefault(PasswordUse use, bool enabled, const wxString& name) {
    const bool enc = use == PasswordUse::Encryption;
    settings_.SetBool(CSettings::GroupSettingsDlg,
                      enc ? CSettings::ItemUseDefEncPass : CSettings::ItemUseDefDecPass, enabled);
    settings_.SetString(
        CSettings::GroupSettingsDlg, enc ? CSettings::ItemDefEncPass : CSettings::ItemDefDecPass,
        ProtectString(name, enc ? CSettings::FillerDefEncPass : CSettings::FillerDefDecPass));
  }

  TempDir dir_;
  wxString path_ = dir_ / "veilor.ini";
  CSettings settings_{path_};
  CPasswordManager manager_{settings_};
};

// --- Lookup by name -------------------------------------------------------

TEST_F(PasswordManagerTest, NameLookupTakesTheFirstExactMatch) {
  SetList(CSettings::GroupPList, {"alpha1", "Beta-2", "unused"});
  SetList(CSettings::GroupPPrompts, {"", "", ""});
  SetList(CSettings::GroupPNames, {"home", "work", "home"});

  EXPECT_EQ(manager_.KeyForNamedPassword("home", 16), kKeyAlpha1) << "duplicates: first wins";
  EXPECT_EQ(manager_.KeyForNamedPassword("work", 16), kKeyBeta2);
  EXPECT_EQ(manager_.KeyForNamedPassword("Home", 16), "") << "lookup is case-sensitive";
  EXPECT_EQ(manager_.KeyForNamedPassword("hom", 16), "");
  EXPECT_EQ(manager_.KeyForNamedPassword("home ", 16), "");
}

// --- Lists of different lengths --------------------------------------------

TEST_F(PasswordManagerTest, MissingPromptStopsTheManagerButNotTheLookup) {
  SetList(CSettings::GroupPList, {"alpha1", "Beta-2", "gamma"});
  SetList(CSettings::GroupPPrompts, {"one", "two"});
  SetList(CSettings::GroupPNames, {"home", "work", "play"});

  try {
    manager_.LoadEntries();
    FAIL() << "lists of different lengths were loaded";
  } catch (const CPassManagerException& error) {
    EXPECT_EQ(error.GetMessage(),
              "Settings file corrupted. Number of passwords is not equal to number of password "
              "prompts and names.");
    EXPECT_EQ(error.GetModule(), "Password manager dialog exception");
  }
  EXPECT_EQ(manager_.KeyForNamedPassword("work", 16), kKeyBeta2);
}

TEST_F(PasswordManagerTest, MissingNameStopsLookupAndManager) {
  SetList(CSettings::GroupPList, {"alpha1", "Beta-2", "gamma"});
  SetList(CSettings::GroupPPrompts, {"one", "two", "three"});
  SetList(CSettings::GroupPNames, {"home", "work"});

  try {
    manager_.KeyForNamedPassword("home", 16);
    FAIL() << "lists of different lengths were searched";
  } catch (const CPassManException& error) {
    EXPECT_EQ(error.GetMessage(),
              "Settings file corrupted. Number of passwords is not equal to number of password "
              "prompts and names.");
    EXPECT_EQ(error.GetModule(), "Password manager exception");
  }
  EXPECT_THROW(manager_.LoadEntries(), CPassManagerException);
}

// --- Stored form -------------------------------------------------------------

// The encodings are a compatibility promise: files written by earlier runs
// must keep loading. Values computed independently from the encoding's
// definition (marker, filler from the position, AES-128-CTR under the pinned
// protection key).
const std::string kTwoEntryFile =
    kFirstStartSettings +
    WithLineEnds(
        "[DynamicGroup/PList]\n"
        "item0="
        "A4118A66B301B2451D6FFF9840CBE9C71388EA81851070D5391B01DE0A5744CF12B8285BE9F27A9AF9353749"
        "03B8FC283AAA03AE0787AA2512EF39CDCE71D5F5D00F1B7721579A6BB71A243DE36D930EE8745D374F9DD737"
        "4E60965C1B67E7F28E3AF91CB955C506E30443EE713C6B6A5DDEB01FE4D241F33A12CB72DEA69F9C"
        "\nitem1="
        "87188E6FFF02B2451B6BF99C46C7E0B019F3E085F76305A24E1F76DA7F5B36B861C3555F978105ED8831464D"
        "70B48C5F4BD174AA77F4DB5261EB4AC9C87DD282D67411732A24901CC21E51399461E5799D0F2E333DEEAA40"
        "3164E9586A6B9785FD418818C926B271920032EA02301B1D5BA5B61BEDA14B843016C176ABAAE9EB"
        "\n[DynamicGroup/PPrompts]\n"
        "item0="
        "A314887DA63183741D1EFEED40BAEABA1282EAF0826571D3396A02AB0A2645B21DB2282AE887029CF944343C"
        "03C9FD553DA003DF06F2A923129E4FB8CE00D488D3051B0620229D6DB76B2548E31C9073E97E5D4640E8D631"
        "4E11EE291B16E48F8F30F96DBE20C400E375409B714D1D175CD4B06EE7A740F53A63CC07DED79EE1"
        "\nitem1="
        "C47CCC3AE475847C156DF79A48C999B260F19B87F41607DB481970DC795534BA63C1205DE1F472948A37444B"
        "72BA8A5D4DD372A87681D92B63ED48CFC673DC80D87668715251EB65C018533F926FE37B9B0D2C313E9BDF39"
        "46629E5E68659587FF438E1ACE53B408900630EC003E151F55A7B819ECD432FD4B10BA70A9A4EFE9"
        "\n[DynamicGroup/PNames]\n"
        "item0="
        "AD12976BD33183741D1EFEED40BAEABA1282EAF0826571D3396A02AB0A2645B21DB2282AE887029CF944343C"
        "03C9FD553DA003DF06F2A923129E4FB8CE00D488D3051B0620229D6DB76B2548E31C9073E97E5D4640E8D631"
        "4E11EE291B16E48F8F30F96DBE20C400E375409B714D1D175CD4B06EE7A740F53A63CC07DED79EE1"
        "\nitem1="
        "B2128865D33185701B1AF8E149CDE0C118869883F71206D74E6E77A7785136C960B6565997F0739888404730"
        "73BE8C2E4AA473AC7785DA27619A49B4C977D2F3D90110752A55E869C26F5244956BE5089A7A2F353D9FA935"
        "31159F256B6197F4FE34891EC957B50492713397013A1B6C5AD0B91DEDD04AF13067B90BA8A0E99A"
        "\n");

const std::vector<CPasswordEntry> kTwoEntries = {
    CPasswordEntry("alpha1", "first", "home"),
    CPasswordEntry("Beta-2", "", "work"),
};

TEST(PasswordListFileTest, StoredListHasItsPinnedBytesAndLoadsBack) {
  TempDir dir;
  const wxString path = dir / "veilor.ini";
  {
    CSettings settings(path);
    CPasswordManager(settings).StoreEntries(kTwoEntries);
  }
  EXPECT_EQ(ReadFileBytes(path), kTwoEntryFile);

  CSettings settings(path);
  EXPECT_EQ(CPasswordManager(settings).LoadEntries(), kTwoEntries);
}

TEST(PasswordListFileTest, TooLongValueLeavesTheStoredListAsItWas) {
  TempDir dir;
  const wxString path = dir / "veilor.ini";
  WriteFileBytes(path, kTwoEntryFile);
  {
    CSettings settings(path);
    CPasswordManager manager(settings);
    // Every list would change, and the bad value comes last: nothing may be
    // replaced before it is found.
    std::vector<CPasswordEntry> changed = {
        CPasswordEntry("changed", "changed", "changed"),
        kTwoEntries[1],
        CPasswordEntry("pass", "prompt", wxString(wxUniChar('n'), 126)),
    };
    try {
      manager.StoreEntries(changed);
      FAIL() << "a 126-character name was stored";
    } catch (const CSettingsException& error) {
      EXPECT_EQ(error.GetMessage(), "String is too long. Maximum lenght is 128 byte");
    }
    EXPECT_EQ(manager.LoadEntries(), kTwoEntries);
  }
  EXPECT_EQ(ReadFileBytes(path), kTwoEntryFile);
}

// What the add/edit window accepts must be what the store can hold: the
// check and the store agree at the limit, field by field, first field first.
TEST_F(PasswordManagerTest, StorageProblemAgreesWithTheStore) {
  using Problem = CPasswordManager::EntryProblem;
  const wxString fits(wxUniChar('x'), 125);
  const wxString over(wxUniChar('x'), 126);
  const struct {
    CPasswordEntry entry;
    Problem problem;
  } cases[] = {
      {CPasswordEntry(fits, fits, fits), Problem::None},
      {CPasswordEntry(over, "p", "n"), Problem::PasswordTooLong},
      {CPasswordEntry("x", over + "x", "n"), Problem::PromptTooLong},
      {CPasswordEntry("x", "p", over), Problem::NameTooLong},
      {CPasswordEntry(over, over, over), Problem::PasswordTooLong},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CPasswordManager::StorageProblem(c.entry), c.problem) << c.entry.name.length();
    bool stored = true;
    try {
      manager_.StoreEntries({c.entry});
    } catch (const CSettingsException&) {
      stored = false;
    }
    EXPECT_EQ(stored, c.problem == Problem::None) << c.entry.name.length();
  }
}

// --- Default passwords -------------------------------------------------------

TEST_F(PasswordManagerTest, DefaultsNameTheirEntryPerDirection) {
  manager_.StoreEntries(kTwoEntries);
  SetDefault(PasswordUse::Encryption, true, "home");
  SetDefault(PasswordUse::Decryption, true, "work");
  EXPECT_EQ(manager_.ResolveDefaultKey(PasswordUse::Encryption).keyText, kKeyAlpha1);
  EXPECT_EQ(manager_.ResolveDefaultKey(PasswordUse::Decryption).keyText, kKeyBeta2);

  SetDefault(PasswordUse::Decryption, false, "work");
  EXPECT_EQ(manager_.ResolveDefaultKey(PasswordUse::Decryption).keyText, "") << "switched off";
  EXPECT_EQ(manager_.ResolveDefaultKey(PasswordUse::Encryption).keyText, kKeyAlpha1);
}

TEST_F(PasswordManagerTest, DefaultNamingARemovedEntryFallsBackToAsking) {
  manager_.StoreEntries(kTwoEntries);
  SetDefault(PasswordUse::Encryption, true, "home");
  manager_.StoreEntries({kTwoEntries[1]});
  EXPECT_EQ(manager_.ResolveDefaultKey(PasswordUse::Encryption).keyText, "");
}

TEST_F(PasswordManagerTest, EmptyDefaultNameNeverPicksAnEntry) {
  // A damaged entry without a name must not become the default by accident.
  manager_.StoreEntries({CPasswordEntry("alpha1", "", "")});
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefEncPass, true);
  EXPECT_EQ(manager_.ResolveDefaultKey(PasswordUse::Encryption).keyText, "")
      << "first-start default";
  SetDefault(PasswordUse::Encryption, true, "");
  EXPECT_EQ(manager_.ResolveDefaultKey(PasswordUse::Encryption).keyText, "");
}

// A settings file from Windows with a non-ASCII password gives that
// password's key; a damaged stored value is refused, never the empty key.
TEST_F(PasswordManagerTest, StoredValuesFromWindowsReadAndDamagedOnesAreRefused) {
  // "Grüße", as Windows stored it.
  const wxString fromWindows =
      "820F06D1B731F5706B1AFFE140CDE9C11386EA83851270D7386E01A70A5144C912B62859E9F07A988140373003"
      "BEFC2E3AA403AC0785AA27119A39B4CE77D5F3D0011B7521559A69B06F2444E36B9308E87A5D354F9FD7354F15"
      "96251B61E7F48E34F91EB957C504E2714397713A6B6C5DD0B01DE4D041F13B67CB0BDEA09F9A";
  settings_.SetDynamicGroup(CSettings::GroupPList, wxArrayString(1, &fromWindows));
  SetList(CSettings::GroupPPrompts, {""});
  SetList(CSettings::GroupPNames, {"home"});
  SetDefault(PasswordUse::Encryption, true, "home");
  EXPECT_EQ(manager_.ResolveDefaultKey(PasswordUse::Encryption).keyText,
            "4772FCDF650202020202020202020202");

  const wxString damaged = "0123456789ABCDEF";
  const struct {
    int group;
    int item;  // -1: the list's only entry
  } places[] = {{CSettings::GroupPList, -1},
                {CSettings::GroupSettingsDlg, CSettings::ItemDefEncPass},
                {CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword}};
  for (const auto& place : places) {
    SetList(CSettings::GroupPList, {"alpha1"});
    SetDefault(PasswordUse::Encryption, true, "home");
    if (place.item < 0) {
      settings_.SetDynamicGroup(place.group, wxArrayString(1, &damaged));
    } else {
      settings_.SetString(place.group, place.item, damaged);
    }
    const bool admin = place.item == CSettings::ItemAdminPassword;
    EXPECT_THROW(admin ? (void)manager_.CheckAdministrator(wxString())
                       : (void)manager_.ResolveDefaultKey(PasswordUse::Encryption),
                 CSettingsException)
        << place.group << "/" << place.item;
  }
}

// --- Administrator -----------------------------------------------------------

TEST_F(PasswordManagerTest, FreshInstallAcceptsOnlyAnEmptyAdministratorPassword) {
  EXPECT_TRUE(manager_.CheckAdministrator(wxString()));
  EXPECT_FALSE(manager_.CheckAdministrator("admin"));
}

TEST_F(PasswordManagerTest, AdministratorPasswordIsReadAfreshAndCaseSensitive) {
  settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword,
                      ProtectString("S3cret", CSettings::FillerAdminPassword));
  EXPECT_TRUE(manager_.CheckAdministrator("S3cret"));
  EXPECT_FALSE(manager_.CheckAdministrator("s3cret"));
  EXPECT_FALSE(manager_.CheckAdministrator("S3cre"));
  EXPECT_FALSE(manager_.CheckAdministrator(wxString()));
}

TEST(AdministratorPasswordValidationTest, Decides) {
  struct Case {
    const char* password;
    const char* confirmation;
    NewAdminPasswordVerdict verdict;
  };
  const Case cases[] = {
      {"abc", "abd", NewAdminPasswordVerdict::Different},
      {"abc", "abcd", NewAdminPasswordVerdict::Different},
      {"", "x", NewAdminPasswordVerdict::Different},
      {"Abc", "abc", NewAdminPasswordVerdict::Different},
      {"", "", NewAdminPasswordVerdict::Empty},
      {"abc", "abc", NewAdminPasswordVerdict::Accepted},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CPasswordManager::ValidateNewAdministratorPassword(c.password, c.confirmation),
              c.verdict)
        << c.password << " / " << c.confirmation;
  }
}

}  // namespace

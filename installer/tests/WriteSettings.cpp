// Writes the settings of an unattended run into the settings file the
// program itself uses (%APPDATA%\Veilor\veilor.ini): one stored password
// named "Work", the default for encrypting and decrypting, and the report
// hidden. Prints the file's path.
//   veilor_write_settings PASSWORD
#include <cstdio>

#include <wx/arrstr.h>
#include <wx/init.h>

#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "3_settings/SettingsPath.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: veilor_write_settings PASSWORD\n");
    return 1;
  }
  wxInitializer toolkit;
  if (!toolkit.IsOk()) return 2;
  const wxString path = SettingsFilePath();
  {
    CSettings settings(path);
    wxArrayString passwords, prompts, names;
    passwords.Add(ProtectString(wxString(argv[1]), 0));
    prompts.Add(ProtectString(wxString(), 0));
    names.Add(ProtectString("Work", 0));
    bool ok = settings.SetDynamicGroup(CSettings::GroupPList, passwords);
    ok = ok && settings.SetDynamicGroup(CSettings::GroupPPrompts, prompts);
    ok = ok && settings.SetDynamicGroup(CSettings::GroupPNames, names);
    ok = ok && settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefEncPass, true);
    ok = ok && settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefDecPass, true);
    ok = ok && settings.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefEncPass,
                                  ProtectString("Work", CSettings::FillerDefEncPass));
    ok = ok && settings.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefDecPass,
                                  ProtectString("Work", CSettings::FillerDefDecPass));
    ok = ok && settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemHideReportDlg, true);
    if (!ok) {
      std::fprintf(stderr, "a setting was refused\n");
      return 3;
    }
    settings.Save();
  }
  std::printf("%s\n", static_cast<const char*>(path.utf8_str()));
  return 0;
}

// Writes the settings file of the user in $HOME the way the program itself
// would, so that the benchmark can run `veilor` without a person:
//
//   veilor_bench_settings show|hide remove|keep
//
// A stored default password ("bench") for both encryption and decryption, the
// report shown or hidden, the sources removed after the work or kept. Every
// other item keeps its default. The file goes where the program looks for it
// ($HOME/.config/Veilor/veilor.ini unless XDG_CONFIG_HOME says otherwise).
#include <cstdio>
#include <cstring>
#include <exception>
#include <tuple>

#include <wx/init.h>

#include "1_base/ErrorText.h"
#include "2_crypto/Keys.h"
#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "3_settings/SettingsPath.h"

namespace {
wxArrayString OneEntry(const wxString& text) {
  wxArrayString list;
  list.Add(ProtectString(text, 0));
  return list;
}
}  // namespace

int main(int argc, char** argv) {
  const bool valid = argc == 3 &&
                     (!std::strcmp(argv[1], "show") || !std::strcmp(argv[1], "hide")) &&
                     (!std::strcmp(argv[2], "remove") || !std::strcmp(argv[2], "keep"));
  if (!valid) {
    std::fprintf(stderr, "usage: %s show|hide remove|keep\n", argv[0]);
    return 2;
  }
  const bool hideReport = !std::strcmp(argv[1], "hide");
  const bool removeSources = !std::strcmp(argv[2], "remove");

  wxInitializer toolkit;
  try {
    CKeys::Instance();  // the protection key of the stored texts
    CSettings settings(SettingsFilePath());
    settings.SetDynamicGroup(CSettings::GroupPList, OneEntry("bench"));
    settings.SetDynamicGroup(CSettings::GroupPPrompts, OneEntry(""));
    settings.SetDynamicGroup(CSettings::GroupPNames, OneEntry("Bench"));
    for (auto [use, name, filler] :
         {std::tuple{CSettings::ItemUseDefEncPass, CSettings::ItemDefEncPass,
                     CSettings::FillerDefEncPass},
          std::tuple{CSettings::ItemUseDefDecPass, CSettings::ItemDefDecPass,
                     CSettings::FillerDefDecPass}}) {
      settings.SetBool(CSettings::GroupSettingsDlg, use, true);
      settings.SetString(CSettings::GroupSettingsDlg, name, ProtectString("Bench", filler));
    }
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemHideReportDlg, hideReport);
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemRemoveFilesAfterEncryption,
                     removeSources);
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemRemoveFilesAfterDecryption,
                     removeSources);
    settings.Save();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "settings not written: %s\n", DescribeError(error).utf8_str().data());
    return 1;
  }
  return 0;
}

#include "3_settings/FileSwitches.h"

#include "3_settings/ProgramSettings.h"

CFileSwitches::CFileSwitches(CSettings& settings) {
  const int group = CSettings::GroupSettingsDlg;
  useDefEncPass.Bind(settings, group, CSettings::ItemUseDefEncPass);
  useDefDecPass.Bind(settings, group, CSettings::ItemUseDefDecPass);
  defEncPass.Bind(settings, group, CSettings::ItemDefEncPass);
  defDecPass.Bind(settings, group, CSettings::ItemDefDecPass);
  removeAfterEnc.Bind(settings, group, CSettings::ItemRemoveFilesAfterEncryption);
  removeAfterDec.Bind(settings, group, CSettings::ItemRemoveFilesAfterDecryption);
  overwrite.Bind(settings, group, CSettings::ItemOverwriteExistingFiles);
  hideReport.Bind(settings, group, CSettings::ItemHideReportDlg);
  chooseEncPass.Bind(settings, group, CSettings::ItemChooseEncPass);
  chooseDecPass.Bind(settings, group, CSettings::ItemChooseDecPass);
  ageWorkFactor.Bind(settings, group, CSettings::ItemAgeWorkFactor);
}

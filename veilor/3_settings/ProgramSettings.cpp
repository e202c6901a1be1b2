#include "3_settings/ProgramSettings.h"

#include "2_crypto/ProtectedString.h"

CSettings::CSettings(const wxString& path) : rkSettings(path) {
  rkSettingsGroup settingsDlg;
  settingsDlg.AddBool("UseDefEncPass", ItemUseDefEncPass, false);
  settingsDlg.AddBool("UseDefDecPass", ItemUseDefDecPass, false);
  settingsDlg.AddString("DefEncPass", ItemDefEncPass, wxString());
  settingsDlg.AddString("DefDecPass", ItemDefDecPass, wxString());
  settingsDlg.AddBool("RemoveFilesAfterEncryption", ItemRemoveFilesAfterEncryption, true);
  settingsDlg.AddBool("RemoveFilesAfterDecryption", ItemRemoveFilesAfterDecryption, true);
  settingsDlg.AddString("AP", ItemAdminPassword, ProtectString(wxString(), FillerAdminPassword));
  settingsDlg.AddBool("OverwriteExistingFiles", ItemOverwriteExistingFiles, false);
  settingsDlg.AddBool("HideReportDlg", ItemHideReportDlg, false);
  settingsDlg.AddBool("ChooseEncPass", ItemChooseEncPass, false);
  settingsDlg.AddBool("ChooseDecPass", ItemChooseDecPass, false);
  // age's own default: about a second of one core, 256 MiB, per file.
  settingsDlg.AddString("AgeWorkFactor", ItemAgeWorkFactor, "18");

  rkSettingsGroup logger;
  logger.AddBool("EnableLog", ItemEnableLog, false);
  logger.AddBool("ShowErrorMessages", ItemShowErrorMessages, true);
  logger.AddBool("ShowWarningMessages", ItemShowWarningMessages, true);
  logger.AddBool("ShowInfoMessages", ItemShowInfoMessages, false);

  const rkSettingsGroup empty;

  AddGroup(settingsDlg, GroupSettingsDlg, true, "/SettingsDlg");
  AddGroup(logger, GroupLogger, true, "/Logger");
  AddGroup(empty, GroupPassManagerDlg, true, "/PassManagerDlg");
  AddGroup(empty, GroupPList, false, "/PList");
  AddGroup(empty, GroupPPrompts, false, "/PPrompts");
  AddGroup(empty, GroupPNames, false, "/PNames");

  Load();
}

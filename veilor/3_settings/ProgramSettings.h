#pragma once

#include "3_settings/Settings.h"

// The program's settings: every group and item with its ID, key and default.
class CSettings : public rkSettings {
public:
  enum Group : int {
    GroupSettingsDlg = 0,
    GroupPassManagerDlg = 1,
    GroupLogger = 2,
    GroupPList = 3,
    GroupPPrompts = 4,
    GroupPNames = 5,
  };

  // Items of GroupSettingsDlg.
  enum SettingsDlgItem : int {
    ItemUseDefEncPass = 0,
    ItemUseDefDecPass = 1,
    ItemDefEncPass = 2,  // protected with filler FillerDefEncPass
    ItemDefDecPass = 3,  // protected with filler FillerDefDecPass
    ItemRemoveFilesAfterEncryption = 4,
    ItemRemoveFilesAfterDecryption = 5,
    ItemAdminPassword = 6,  // protected with filler FillerAdminPassword
    ItemOverwriteExistingFiles = 7,
    ItemHideReportDlg = 8,
    ItemChooseEncPass = 9,
    ItemChooseDecPass = 10,
    // scrypt work factor (log2 of N) of new age files.
    ItemAgeWorkFactor = 11,
  };

  // Items of GroupLogger.
  enum LoggerItem : int {
    ItemEnableLog = 0,
    ItemShowErrorMessages = 1,
    ItemShowWarningMessages = 2,
    ItemShowInfoMessages = 3,
  };

  // Filler numbers of the protected values; list entries use their position.
  enum Filler : int {
    FillerDefEncPass = 12,
    FillerDefDecPass = 13,
    FillerAdminPassword = 17,
  };

  // Declares the schema and loads the file at `path`.
  explicit CSettings(const wxString& path);
};

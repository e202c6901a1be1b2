#pragma once

#include "3_settings/SettingReference.h"

class CSettings;

// The ten settings that decide how files are processed: default passwords,
// offering stored ones, removing sources, overwriting outputs and hiding the
// report. Bound here once, so that the batch and the settings window read the
// same items.
class CFileSwitches {
public:
  explicit CFileSwitches(CSettings& settings);

  CBoolSetting useDefEncPass;
  CBoolSetting useDefDecPass;
  CStringSetting defEncPass;  // protected name of the default encryption password
  CStringSetting defDecPass;  // protected name of the default decryption password
  CBoolSetting removeAfterEnc;
  CBoolSetting removeAfterDec;
  CBoolSetting overwrite;
  CBoolSetting hideReport;
  CBoolSetting chooseEncPass;
  CBoolSetting chooseDecPass;
};

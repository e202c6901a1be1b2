#pragma once

#include "3_settings/SettingReference.h"

class CSettings;

// The settings that decide how files are processed: default passwords,
// offering stored ones, removing sources, overwriting outputs, hiding the
// report and the work factor of new age files. Bound here once, so that the batch and the settings
// window read the same items.
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
  CStringSetting ageWorkFactor;
};

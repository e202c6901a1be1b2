#pragma once

#include <string>

#include "LineEnds.h"

// The settings file that a first start writes, byte for byte (line ends of
// this platform). "AP" holds the empty administrator password protected with
// filler 17; every first-start file holds exactly these bytes.
inline const std::string kFirstStartSettings = WithLineEnds(
    "[StaticGroup/SettingsDlg]\n"
    "UseDefEncPass=0\n"
    "UseDefDecPass=0\n"
    "DefEncPass=\n"
    "DefDecPass=\n"
    "RemoveFilesAfterEncryption=1\n"
    "RemoveFilesAfterDecryption=1\n"
    "AP=C47CBB3A9375F17C6E6D8C9A35C99DB264F19F87F01674DB3D1905DC0E5541BA16C1245DE5F476948E37404B"
    "76BA865D41D37EA87A81AE2B16ED3DCFBD73A180A5766C715651EF65B318203FE76F947BEC0D59314B9BDB394262"
    "9A5E6C659187FB43821AC253B808E70647EC753E6E1F2EA7C51991D436FD4F10BE70DAA49AE9\n"
    "OverwriteExistingFiles=0\n"
    "HideReportDlg=0\n"
    "ChooseEncPass=0\n"
    "ChooseDecPass=0\n"
    "AgeWorkFactor=18\n"
    "[StaticGroup/Logger]\n"
    "EnableLog=0\n"
    "ShowErrorMessages=1\n"
    "ShowWarningMessages=1\n"
    "ShowInfoMessages=0\n");

#pragma once

// Catalogue numbers of the texts that the code refers to by name.
// The numbers are stable: they are the catalogue's keys.
namespace msg {
enum : int {
  VerbAese = 0,
  VerbAesd = 1,
  VerbDes3e = 2,
  VerbDes3d = 3,
  VerbSettings = 4,
  VerbAbout = 5,
  VerbPasswordManager = 6,
  ExtAes = 50,
  ExtDes3 = 51,
  LogDirName = 201,
  PassEnterSkinFile = 202,
  ThemesDirName = 203,
  OutOfMemory = 5000,
  ProgramName = 5001,
  SettingsFileName = 5002,
  Initializing = 5004,
  SelfTestFailed = 5005,
  TitleError = 5009,
  TitleWarning = 5010,
  TitleInformation = 5011,
  LogSeparator = 5012,
  LogDateFormat = 5013,
  LogTimeStampFormat = 5015,
  LogFilePrefix = 5016,
  LogFileSuffix = 5017,
  CantCreateLogDir = 5018,
  WrongItemType = 5019,
  Apostrophe = 5020,
  ModuleCore = 5022,
  ModuleFileSystem = 5023,
  WrongAesKeyLength = 5029,
  WrongDes3KeyLength = 5030,
  ItemKeyPrefix = 5043,
  StringTooLong = 5049,
  Space = 5057,
  ModuleLogger = 5063,
  ModulePassManagerDlg = 5065,
  PlainErrorTitle = 5067,
  ModuleKeys = 5068,
  Comma = 5078,
  ModulePassMan = 5083,
  PasswordTooLong = 5084,
  AboutTitle = 5088,
  ModuleXPDialog = 5089,
  PngNotFound = 5090,
  PngInvalid = 5091,
  CaptionFontFace = 5092,
  SettingsTitle = 5028,
  PasswordManagerTitle = 5021,
  Colon = 5104,

  // File processing.
  PromptAesEncryption = 5093,
  PromptAesDecryption = 5094,
  PromptDes3Encryption = 5095,
  PromptDes3Decryption = 5096,
  ErrorRemoveSource = 5087,
  InvalidFileOrFolder = 5100,
  EncryptionError = 5102,
  DecryptionError = 5103,
  EncryptionReport = 5105,
  DecryptionReport = 5106,
  WrongPasswordOrAlgorithm = 5107,
  StatusDone = 5108,
  StatusSkipped = 5109,
  NoSpecificExtension = 5110,
  StatusIncomplete = 5111,
  OutputExists = 5112,
  SecondEncryption = 5113,

  // Password manager.
  PasswordListsCorrupted = 5042,
  WrongPasswordChangerData = 5046,
  AdminPasswordsDiffer = 5051,
  AdminPasswordInvalid = 5052,
  ChangeDefaultAdminPassword = 5080,
  EnterAdminPassword = 5086,

  // Password dialogs.
  RemovePasswordQuestion = 5033,
  TitleQuestion = 5034,
  AddPasswordTitle = 5035,
  EditPasswordTitle = 5036,
  PasswordsDiffer = 5037,
  PasswordPromptMissing = 5039,
  PasswordNameMissing = 5040,
  PasswordNotSelected = 5045,
  ButtonSet = 5047,
  ButtonAdd = 5048,
  EmptyPassword = 5082,
  DefaultEncPasswordRemoved = 5098,
  DefaultDecPasswordRemoved = 5099,
  PasswordRevealed = 5114,

  // Texts of this program beyond the classic table.
  LogFileOpenError = 6000,
  SettingsModule = 6001,
  SettingsDuplicateItem = 6002,
  SettingsDuplicateGroup = 6003,
  SettingsWrongQuery = 6004,
  SettingsWrongGroup = 6005,
  SettingsDynamicNotString = 6006,
  SettingsReadError = 6007,
  SettingsDamaged = 6008,
  SettingsWriteError = 6009,
  TextNotRepresentable = 6010,
  ModuleLabel = 6011,
  WebsiteAddress = 6012,
  SupportMailAddress = 6013,

  // Batch, command line and version.
  OptionHelp = 6200,
  OptionVersion = 6201,
  UsageText = 6202,

  // Settings store and its file.
  SettingsLockSuffix = 6014,
  SettingsNoHomeFolder = 6015,

  // Passwords: typed twice for encryption, keys in one code page, entries
  // that fit the stored list.
  PasswordAgainPrompt = 6140,
  PasswordNotRepresentable = 6141,
  StoredPasswordTooLong = 6142,
  StoredPromptTooLong = 6143,
  StoredNameTooLong = 6144,

  // Files: what a file procedure refuses or keeps.
  NotRegularFile = 6016,
  SourceChanged = 6017,

  // The report at scale: a way to stop and the batch's overall progress.
  StopButton = 6300,
  BatchProgress = 6301,
  ZeroBytes = 6302,
  StoppedInWork = 6303,
  StatusStopped = 6304,
  NotProcessedStopped = 6305,

  // Linux desktop: start-up without a display.
  NoDisplay = 6401,

  // The settings file: values that can't be read, lists out of step, a file
  // that is locked, not a regular file or read-only.
  ProtectedTextUnreadable = 6520,
  PasswordListChangedElsewhere = 6521,
  PasswordListsOutOfStep = 6522,
  SettingsLocked = 6523,
  SettingsNotRegularFile = 6524,
  SettingsReadOnly = 6525,
};
}  // namespace msg

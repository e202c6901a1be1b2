// regsvr32 on QXM.dll: the entries of both tables, the type library and its
// marshaller, the stored script, and what unregistration removes and keeps.
#include <gtest/gtest.h>

#include "shell/Install.h"
#include "support/ShellTestSupport.h"

namespace {

const std::string kClsid = "{4C1E7AAA-62B0-4D15-9E37-A0C4F2B81D55}";
const std::string kAppId = "{2E9B4AAA-5D71-4C3A-A8F2-6B1D3E07C9F4}";
const std::string kLibId = "{A53F1AAA-8E24-4ab1-8C6D-1F0B7E94C2D8}";
const std::string kIid = "{7B2D9AAA-13C6-4F08-B5A1-C9E6D03F7A42}";
const std::string kMarshaller = "{00020424-0000-0000-C000-000000000046}";
const std::string kScriptKey = "Software\\Ordal context menu";

long Regsvr32(const std::string& options) {
  return RunAndWait("regsvr32.exe /s " + options + " \"" + DllPath() + "\"");
}

std::string ClassKey(const std::string& sub = std::string()) {
  return "CLSID\\" + kClsid + (sub.empty() ? "" : "\\" + sub);
}

// The shipped script with its paths filled in, as the installer writes it.
std::string FilledShippedScript() {
  const std::string text = ShippedScriptFilledIn(QXM_SHIPPED_DIR);
  return WriteTextFile("veilor filled.qxm", text);
}

class RegistrationTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(Regsvr32("/u"), 0); }
  void TearDown() override { Regsvr32("/u"); }
};

TEST_F(RegistrationTest, RegisteringWritesTheApplicationIdAndTheHandlerBindings) {
  ASSERT_EQ(Regsvr32(""), 0);
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, "AppID\\" + kAppId), "ZQXM");
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, "AppID\\QXM.DLL", "AppID"), kAppId);
  for (const char* fileClass : {"*", "Directory"}) {
    SCOPED_TRACE(fileClass);
    EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT,
                          std::string(fileClass) + "\\ShellEx\\ContextMenuHandlers\\ZQXM"),
              kClsid);
  }
}

TEST_F(RegistrationTest, RegisteringWritesTheClassItsProgIdsAndItsServer) {
  ASSERT_EQ(Regsvr32(""), 0);
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, "ZQXM.ZQXM.1"), "ZQXM Class");
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, "ZQXM.ZQXM.1\\CLSID"), kClsid);
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, "ZQXM.ZQXM"), "ZQXM Class");
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, "ZQXM.ZQXM\\CLSID"), kClsid);
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, "ZQXM.ZQXM\\CurVer"), "ZQXM.ZQXM.1");
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ClassKey()), "ZQXM Class");
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ClassKey(), "AppID"), kAppId);
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ClassKey("ProgID")), "ZQXM.ZQXM.1");
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ClassKey("VersionIndependentProgID")), "ZQXM.ZQXM");
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, ClassKey("Programmable")));
  const auto server = StringValue(HKEY_CLASSES_ROOT, ClassKey("InprocServer32"));
  ASSERT_TRUE(server.has_value());
  EXPECT_EQ(lstrcmpiA(server->c_str(), DllPath().c_str()), 0) << *server;
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ClassKey("InprocServer32"), "ThreadingModel"),
            "Apartment");
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ClassKey("TypeLib")), kLibId);
}

TEST_F(RegistrationTest, RegisteringRegistersTheTypeLibraryAndItsMarshaller) {
  ASSERT_EQ(Regsvr32(""), 0);
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, "TypeLib\\" + kLibId + "\\1.0"),
            "ZQXM 1.0 Type Library");
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, "Interface\\" + kIid), "IZQXM");
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, "Interface\\" + kIid + "\\ProxyStubClsid32"),
            kMarshaller);
}

TEST_F(RegistrationTest, RegisteringReplacesTheReplacedKeysAndLeavesOthersAlone) {
  SetStringValue(HKEY_CLASSES_ROOT, ClassKey("Stale"), "", "old");
  SetStringValue(HKEY_CLASSES_ROOT, ClassKey("Programmable\\Stale"), "", "old");
  SetStringValue(HKEY_CLASSES_ROOT, "*\\ShellEx\\ContextMenuHandlers\\ZQXM\\Stale", "", "old");
  SetStringValue(HKEY_CLASSES_ROOT, "ZQXM.ZQXM\\Foreign", "", "someone else's");
  ASSERT_EQ(Regsvr32(""), 0);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey("Stale")));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey("Programmable\\Stale")));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "*\\ShellEx\\ContextMenuHandlers\\ZQXM\\Stale"));
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, "ZQXM.ZQXM\\Foreign"), "someone else's");
  DeleteKey(HKEY_CLASSES_ROOT, "ZQXM.ZQXM\\Foreign");
}

TEST_F(RegistrationTest, UnregisteringRemovesWhatRegisteringWroteAndKeepsTheSharedKeys) {
  ASSERT_EQ(Regsvr32(""), 0);
  ASSERT_EQ(Regsvr32("/u"), 0);
  for (const std::string& gone : std::vector<std::string>{
           ClassKey(), "ZQXM.ZQXM.1", "ZQXM.ZQXM", "AppID\\" + kAppId, "AppID\\QXM.DLL",
           "*\\ShellEx\\ContextMenuHandlers\\ZQXM", "Directory\\ShellEx\\ContextMenuHandlers\\ZQXM",
           "TypeLib\\" + kLibId, "Interface\\" + kIid}) {
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, gone)) << gone;
  }
  for (const char* kept : {"AppID", "CLSID", "*\\ShellEx\\ContextMenuHandlers",
                           "Directory\\ShellEx\\ContextMenuHandlers"}) {
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kept)) << kept;
  }
}

TEST_F(RegistrationTest, UnregisteringKeepsAnUnflaggedKeyThatStillHasSubkeys) {
  ASSERT_EQ(Regsvr32(""), 0);
  SetStringValue(HKEY_CLASSES_ROOT, "ZQXM.ZQXM\\Foreign", "", "someone else's");
  ASSERT_EQ(Regsvr32("/u"), 0);
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "ZQXM.ZQXM\\Foreign"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "ZQXM.ZQXM\\CLSID"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "ZQXM.ZQXM\\CurVer"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "ZQXM.ZQXM.1"));
  DeleteKey(HKEY_CLASSES_ROOT, "ZQXM.ZQXM");
}

TEST_F(RegistrationTest, InstallingTheShippedScriptStoresItsLinesInOrder) {
  const std::string script = FilledShippedScript();
  SetStringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Line40", "left from an older script");
  ASSERT_EQ(Regsvr32("/i:\"" + script + "\""), 0);
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Line0"),
            "0;*;Veilor;Encrypt with age;%1;agee %f;Encrypt the selected files with age (opened by "
            "age and rage too);%9;%2");
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Line1"),
            "0;*;Veilor;Encrypt with AES;%1;aese %f;Encrypt the selected files with AES;%3;%2");
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Line12"), "2;*;Veilor;%e;%e;%e;%e;%e;%e");
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Line16"),
            "1;*;Veilor;Password manager;%1;pm;Manage the stored passwords;%8;%2");
  EXPECT_FALSE(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Line17").has_value());
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Img0"), "%1=" + RecorderPath());
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Img7"),
            "%8=" + ShippedIcon("passwords.ico"));
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Img9"),
            "%10=" + ShippedIcon("age-decrypt.ico"));
  EXPECT_FALSE(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Img10").has_value());
  // Registering first deleted the key, so nothing of the older script is left.
  EXPECT_FALSE(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Line40").has_value());
}

TEST_F(RegistrationTest, RegisteringAndUnregisteringBothDeleteTheStoredScript) {
  SetStringValue(HKEY_LOCAL_MACHINE, kScriptKey + "\\Sub", "", "x");
  ASSERT_EQ(Regsvr32(""), 0);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kScriptKey));
  SetStringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Line0", "x");
  ASSERT_EQ(Regsvr32("/u"), 0);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kScriptKey));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software"));
}

TEST_F(RegistrationTest, UnregisteringWhatIsNotRegisteredSucceeds) {
  ASSERT_EQ(Regsvr32(""), 0);
  EXPECT_EQ(Regsvr32("/u"), 0);
  EXPECT_EQ(Regsvr32("/u"), 0);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "TypeLib\\" + kLibId));
}

// The qxm command of the Windows build works on the same stored script.
TEST_F(RegistrationTest, TheQxmCommandInstallsAndRemovesTheScriptInTheRegistry) {
  const std::string qxm = "\"" + TestBinDir() + "\\qxm.exe\" ";
  ASSERT_EQ(RunAndWait(qxm + "install \"" + FilledShippedScript() + "\""), 0);
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Line7"),
            "1;*;Veilor;Encrypt folder with AES;%1;aese %f;Encrypt every file in the folder with "
            "AES;%3;%2");
  EXPECT_EQ(RunAndWait(qxm + "menu C:\\report.pdf"), 0);
  EXPECT_EQ(RunAndWait(qxm + "uninstall"), 0);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kScriptKey));
  EXPECT_EQ(RunAndWait(qxm + "install \"C:\\no such script.qxm\""), 1);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kScriptKey));
}

// Its menu command takes the paths from the wide command line and prints them in UTF-8.
TEST_F(RegistrationTest, TheQxmCommandShowsNamesOutsideTheCodePageWhole) {
  const std::string qxm = "\"" + TestBinDir() + "\\qxm.exe\" ";
  ASSERT_EQ(RunAndWait(qxm + "install \"" + FilledShippedScript() + "\""), 0);
  const std::string name = "C:\\Данные\\\xF0\x9F\x94\x92 报告.txt";
  const auto output = RunForOutput(Wide(qxm + "menu \"" + name + "\""));
  ASSERT_TRUE(output.has_value());
  EXPECT_NE(output->find("aese \"" + name + "\","), std::string::npos) << *output;
  RunAndWait(qxm + "uninstall");
}

TEST(InstallTest, InstallFalseWritesNothing) {
  MessageCatcher messages;
  DeleteKey(HKEY_LOCAL_MACHINE, kScriptKey);
  EXPECT_EQ(InstallFromCommandLine(FALSE, L"C:\\does not matter.qxm"), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kScriptKey));
  EXPECT_TRUE(messages.Shown().empty());
}

TEST(InstallTest, AScriptThatDoesNotParseIsReportedAndNothingIsWritten) {
  MessageCatcher messages;
  DeleteKey(HKEY_LOCAL_MACHINE, kScriptKey);
  const std::string script =
      WriteTextFile("broken.qxm", "%1=" + RecorderPath() + "\r\n0;*;%e;Run;%7;x;help;%1;%1\r\n");
  const std::wstring wide(script.begin(), script.end());
  EXPECT_EQ(InstallFromCommandLine(TRUE, wide.c_str()), E_FAIL);
  ASSERT_EQ(messages.Shown().size(), 1u);
  EXPECT_EQ(messages.Shown()[0].text.rfind("Wrong item bin path ID. Source string: ", 0), 0u)
      << messages.Shown()[0].text;
  EXPECT_EQ(messages.Shown()[0].caption, "Error");
  EXPECT_EQ(messages.Shown()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kScriptKey));
}

TEST(InstallTest, TheCommandLineIsTakenAsItIsWithoutRemovingQuotes) {
  MessageCatcher messages;
  const std::string script = FilledShippedScript();
  const std::string quoted = "\"" + script + "\"";
  const std::wstring wide(quoted.begin(), quoted.end());
  EXPECT_EQ(InstallFromCommandLine(TRUE, wide.c_str()), E_FAIL);
  ASSERT_EQ(messages.Shown().size(), 1u);
  const std::wstring plain(script.begin(), script.end());
  EXPECT_EQ(InstallFromCommandLine(TRUE, plain.c_str()), S_OK);
  EXPECT_EQ(messages.Shown().size(), 1u);
  EXPECT_TRUE(StringValue(HKEY_LOCAL_MACHINE, kScriptKey, "Line0").has_value());
  DeleteKey(HKEY_LOCAL_MACHINE, kScriptKey);
}

}  // namespace

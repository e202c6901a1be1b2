#include <gtest/gtest.h>

#include "7_app/CommandLine.h"

namespace {

Command Parse(std::initializer_list<const char*> args) {
  wxArrayString vector;
  vector.push_back("veilor");
  for (const char* arg : args) vector.push_back(wxString::FromUTF8(arg));
  return ParseCommandLine(vector);
}

TEST(CommandLineTest, VerbTable) {
  EXPECT_EQ(Parse({}).action, Action::About);
  EXPECT_EQ(Parse({"about"}).action, Action::About);
  EXPECT_EQ(Parse({"settings"}).action, Action::Settings);
  EXPECT_EQ(Parse({"pm"}).action, Action::PasswordManager);
  EXPECT_EQ(Parse({"aese", "a"}).action, Action::EncryptAes);
  EXPECT_EQ(Parse({"aesd", "a"}).action, Action::DecryptAes);
  EXPECT_EQ(Parse({"des3e", "a"}).action, Action::EncryptDes3);
  EXPECT_EQ(Parse({"des3d", "a"}).action, Action::DecryptDes3);
  EXPECT_EQ(Parse({"--help"}).action, Action::Help);
  EXPECT_EQ(Parse({"--version"}).action, Action::Version);
}

TEST(CommandLineTest, AnythingElseDoesNothing) {
  EXPECT_EQ(Parse({"AESE", "a"}).action, Action::None);       // case matters
  EXPECT_EQ(Parse({"aese"}).action, Action::None);            // no paths
  EXPECT_EQ(Parse({"about", "x"}).action, Action::None);      // plain verb with paths
  EXPECT_EQ(Parse({"aese", "a", "b"}).action, Action::None);  // paths not comma-joined
  EXPECT_EQ(Parse({"aesex"}).action, Action::None);
  EXPECT_EQ(Parse({"aes", "a"}).action, Action::None);
  EXPECT_EQ(Parse({""}).action, Action::None);
}

TEST(CommandLineTest, PathListIsTheSecondArgumentAsItIs) {
  const Command command = Parse({"aese", "/tmp/a b.txt,/tmp/docs,"});
  EXPECT_EQ(command.pathList, "/tmp/a b.txt,/tmp/docs,");
}

}  // namespace

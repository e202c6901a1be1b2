#include <gtest/gtest.h>

#include <vector>

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
  EXPECT_EQ(Parse({"agee", "a"}).action, Action::EncryptAge);
  EXPECT_EQ(Parse({"aged", "a"}).action, Action::DecryptAge);
  EXPECT_EQ(Parse({"--help"}).action, Action::Help);
  EXPECT_EQ(Parse({"--version"}).action, Action::Version);
}

TEST(CommandLineTest, AnythingElseDoesNothing) {
  EXPECT_EQ(Parse({"AESE", "a"}).action, Action::None);     // case matters
  EXPECT_EQ(Parse({"aese"}).action, Action::None);          // no paths
  EXPECT_EQ(Parse({"about", "x"}).action, Action::None);    // plain verb with paths
  EXPECT_EQ(Parse({"pm", "a", "b"}).action, Action::None);  // plain verb with paths
  EXPECT_EQ(Parse({"aesex"}).action, Action::None);
  EXPECT_EQ(Parse({"aes", "a"}).action, Action::None);
  EXPECT_EQ(Parse({""}).action, Action::None);
}

// Every argument after a cipher verb is kept as it is: whether it is a
// comma-joined list or one path is the collector's business.
TEST(CommandLineTest, PathArgumentsAreKeptAsGiven) {
  const struct {
    std::initializer_list<const char*> args;
    std::vector<wxString> paths;
  } cases[] = {
      {{"aese", "/tmp/a b.txt,/tmp/docs,"}, {"/tmp/a b.txt,/tmp/docs,"}},
      {{"aesd", "/tmp/a,b.txt", "/tmp/c d"}, {"/tmp/a,b.txt", "/tmp/c d"}},
      {{"des3e", "", "/x", ""}, {"", "/x", ""}},
      {{"des3d", "/1", "/2", "/3", "/4"}, {"/1", "/2", "/3", "/4"}},
  };
  for (const auto& c : cases) {
    const Command command = Parse(c.args);
    EXPECT_NE(command.action, Action::None);
    EXPECT_EQ(std::vector<wxString>(command.paths.begin(), command.paths.end()), c.paths)
        << *c.args.begin();
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "1_base/MessageCatalogue.h"

namespace {

#ifndef _WIN32  // reads the source tree, the same on every system
std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every msg:: name the program's code uses is declared and has a text: a
// missing entry would show the user an empty box or an empty report row.
TEST(MessageCatalogueTest, EveryIdTheCodeUsesHasAnEntry) {
  const std::filesystem::path source = VEILOR_SOURCE_DIR;
  std::map<std::string, int> declared;
  const std::string ids = ReadText(source / "1_base" / "MessageIds.h");
  const std::regex declaration(R"((\w+) = (\d+),)");
  for (std::sregex_iterator it(ids.begin(), ids.end(), declaration), end; it != end; ++it) {
    declared[(*it)[1]] = std::stoi((*it)[2]);
  }
  ASSERT_GT(declared.size(), 50u) << "MessageIds.h was not read";

  std::set<std::string> used;
  const std::regex use(R"(\bmsg::(\w+))");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(source)) {
    const std::string name = entry.path().string();
    if (name.find("/tests/") != std::string::npos) continue;
    if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h") continue;
    const std::string text = ReadText(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), use), end; it != end; ++it) {
      used.insert((*it)[1]);
    }
  }
  ASSERT_GT(used.size(), 50u) << "no use of the catalogue found";
  for (const std::string& name : used) {
    ASSERT_EQ(declared.count(name), 1u) << "msg::" << name << " is not declared";
    EXPECT_FALSE(Msg(declared[name]).empty())
        << "msg::" << name << " (" << declared[name] << ") has no text";
  }
}
#endif

TEST(MessageCatalogueTest, UnknownIdGivesAndKeepsAnEmptyText) {
  EXPECT_EQ(Msg(4242), "");
  EXPECT_EQ(Msg(4242), "");
  EXPECT_EQ(Msg(-1), "");
}

}  // namespace

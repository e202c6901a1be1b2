// The file-backed registry used where Windows' is not available.
#include <dirent.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "script/FileRegistry.h"
#include "script/MenuScript.h"
#include "script/ScriptStorage.h"
#include "support/ErrorOf.h"
#include "support/FakeServices.h"
#include "support/TempDir.h"

namespace {

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A value's type and data as read back, or the query's failure.
struct Read {
  RegistryKey::Query result;
  std::uint32_t type = 0;
  std::string data;
  std::size_t size = 0;
};

Read Query(RegistryKey& key, const std::string& name, std::size_t capacity = 4096) {
  Read read;
  std::string buffer(capacity, '\0');
  read.result = key.QueryValue(name, read.type, buffer.data(), capacity, read.size);
  if (read.result == RegistryKey::Query::kOk) read.data = buffer.substr(0, read.size);
  return read;
}

class FileRegistryTest : public ::testing::Test {
protected:
  std::string Root() const { return dir_ / "root"; }

  TempDir dir_;
  FileRegistry registry_{dir_ / "root"};
};

TEST_F(FileRegistryTest, ValuesKeepTheirTypeAndExactBytesAcrossInstances) {
  {
    auto key = registry_.CreateKey("Software\\Ordal context menu");
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->SetString("Line0", "text"));
    ASSERT_TRUE(key->SetValue("Raw", kRegBinary, std::string("\0\x01\xFF", 3)));
    ASSERT_TRUE(key->SetValue("Expand", kRegExpandSz, std::string("%X%\0", 4)));
    ASSERT_TRUE(key->SetValue("Empty", kRegSz, ""));
  }
  FileRegistry again(Root());
  auto key = again.OpenKey("Software\\Ordal context menu", Registry::Access::kRead);
  ASSERT_TRUE(key);
  const Read line = Query(*key, "Line0");
  EXPECT_EQ(line.result, RegistryKey::Query::kOk);
  EXPECT_EQ(line.type, kRegSz);
  EXPECT_EQ(line.data, std::string("text\0", 5));
  EXPECT_EQ(Query(*key, "Raw").data, std::string("\0\x01\xFF", 3));
  EXPECT_EQ(Query(*key, "Raw").type, kRegBinary);
  EXPECT_EQ(Query(*key, "Expand").type, kRegExpandSz);
  EXPECT_EQ(Query(*key, "Empty").size, 0u);
  EXPECT_EQ(Query(*key, "Missing").result, RegistryKey::Query::kMissing);
  EXPECT_EQ(*key->ValueNames(), (std::vector<std::string>{"Line0", "Raw", "Expand", "Empty"}));
}

TEST_F(FileRegistryTest, DataLargerThanTheBufferReportsItsSize) {
  auto key = registry_.CreateKey("K");
  ASSERT_TRUE(key->SetValue("Big", kRegSz, std::string(5000, 'x')));
  const Read read = Query(*key, "Big", 4096);
  EXPECT_EQ(read.result, RegistryKey::Query::kMoreData);
  EXPECT_EQ(read.size, 5000u);
  EXPECT_EQ(Query(*key, "Big", 5000).result, RegistryKey::Query::kOk);
}

TEST_F(FileRegistryTest, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
  auto key = registry_.CreateKey("K");
  ASSERT_TRUE(key->SetString("Line0", "a"));
  ASSERT_TRUE(key->SetString("LINE0", "b"));
  EXPECT_EQ(*key->ValueNames(), (std::vector<std::string>{"Line0"}));
  EXPECT_EQ(Query(*key, "line0").data, std::string("b\0", 2));
  EXPECT_TRUE(key->DeleteValue("LiNe0"));
  EXPECT_FALSE(key->DeleteValue("Line0"));
}

TEST_F(FileRegistryTest, EveryChangeReplacesOneFileAndLeavesNoTemporaryFile) {
  auto key = registry_.CreateKey("Software\\Ordal context menu");
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(key->SetString("Line" + std::to_string(i), "x"));
  ASSERT_TRUE(key->DeleteValue("Line2"));
  EXPECT_EQ(FolderEntries(Root() + "/Software/Ordal context menu"),
            (std::vector<std::string>{".values"}));
}

TEST_F(FileRegistryTest, ReadOnlyKeyAndMissingKey) {
  EXPECT_FALSE(registry_.OpenKey("Nothing", Registry::Access::kRead));
  registry_.CreateKey("K");
  auto key = registry_.OpenKey("K", Registry::Access::kRead);
  ASSERT_TRUE(key);
  EXPECT_FALSE(key->SetString("V", "x"));
  EXPECT_FALSE(key->DeleteSubkey("Sub"));
}

TEST_F(FileRegistryTest, CreatingFailsWhereTheRootCannotBeMade) {
  WriteFileBytes(dir_ / "file", "not a folder");
  FileRegistry blocked(dir_ / "file/root");
  EXPECT_FALSE(blocked.CreateKey("Software\\Ordal context menu"));
  MenuScript script(FakeServices().Services());
  EXPECT_EQ(ErrorOf([&] { script.SaveToRegistry(blocked); }),
            "Error creating registry key for saving scripts");
}

TEST_F(FileRegistryTest, UnreadableValuesFileMakesTheKeyUnopenable) {
  registry_.CreateKey("Software\\Ordal context menu")->SetString("Line0", "x");
  WriteFileBytes(Root() + "/Software/Ordal context menu/.values", "QXM registry key 1\n\x05");
  EXPECT_FALSE(registry_.OpenKey("Software\\Ordal context menu", Registry::Access::kRead));
  MenuScript script(FakeServices().Services());
  EXPECT_EQ(ErrorOf([&] {
              script.LoadFromRegistry(registry_);
            }).rfind("Error opening registry key for load scripts.", 0),
            0u);
}

TEST_F(FileRegistryTest, KeyNamesAreEscapedIntoSafeFolderNames) {
  auto parent = registry_.CreateKey("P");
  ASSERT_TRUE(registry_.CreateKey("P\\a/b"));
  ASSERT_TRUE(registry_.CreateKey("P\\.values"));
  ASSERT_TRUE(registry_.CreateKey("P\\100%"));
  ASSERT_TRUE(registry_.CreateKey("P\\.."));
  EXPECT_EQ(FolderEntries(Root() + "/P"),
            (std::vector<std::string>{"%2E.", "%2Evalues", "100%25", "a%2Fb"}));
  auto names = *parent->SubkeyNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"..", ".values", "100%", "a/b"}));
}

TEST_F(FileRegistryTest, DeletingASubkeyNeedsItToBeALeaf) {
  registry_.CreateKey("P\\Q\\R")->SetString("V", "x");
  auto parent = registry_.OpenKey("P", Registry::Access::kWrite);
  EXPECT_FALSE(parent->DeleteSubkey("Q"));
  auto q = registry_.OpenKey("P\\Q", Registry::Access::kWrite);
  EXPECT_TRUE(q->DeleteSubkey("R"));
  EXPECT_TRUE(parent->DeleteSubkey("Q"));
  EXPECT_EQ(FolderEntries(Root() + "/P"), std::vector<std::string>{});
  // An open key whose folder has gone answers nothing.
  EXPECT_EQ(Query(*q, "V").result, RegistryKey::Query::kFailed);
}

TEST_F(FileRegistryTest, RootComesFromTheEnvironmentOrDefaultsToEtc) {
  const char* saved = std::getenv("QXM_REGISTRY_DIR");
  const std::string restore = saved != nullptr ? saved : "";
  ::setenv("QXM_REGISTRY_DIR", "/somewhere/else", 1);
  EXPECT_EQ(FileRegistry::DefaultRoot(), "/somewhere/else");
  ::setenv("QXM_REGISTRY_DIR", "", 1);
  EXPECT_EQ(FileRegistry::DefaultRoot(), "/etc/qxm");
  ::unsetenv("QXM_REGISTRY_DIR");
  EXPECT_EQ(FileRegistry::DefaultRoot(), "/etc/qxm");
  if (saved != nullptr) ::setenv("QXM_REGISTRY_DIR", restore.c_str(), 1);
}

}  // namespace

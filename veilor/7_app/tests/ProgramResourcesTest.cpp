// What Windows reads from veilor.exe before running it: the manifest that
// selects the themed controls, the icon Explorer shows, the version.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

class ProgramResourcesTest : public testing::Test {
protected:
  void SetUp() override {
    module_ = LoadLibraryExA(VEILOR_PROGRAM, nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << VEILOR_PROGRAM << ": error " << GetLastError();
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  std::string Resource(LPCSTR name, LPCSTR type) const {
    HRSRC found = FindResourceA(module_, name, type);
    if (!found) return {};
    const void* data = LockResource(LoadResource(module_, found));
    return std::string(static_cast<const char*>(data), SizeofResource(module_, found));
  }

  HMODULE module_ = nullptr;
};

TEST_F(ProgramResourcesTest, ManifestAsksForTheThemedControlsWithoutElevation) {
  const std::string manifest = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_FALSE(manifest.empty()) << "no application manifest";
  EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"),
            std::string::npos)
      << manifest;
  EXPECT_NE(manifest.find(R"(level="asInvoker")"), std::string::npos) << manifest;
  EXPECT_NE(manifest.find(R"(processorArchitecture="amd64")"), std::string::npos) << manifest;
  // One manifest only: a second one (the toolkit's) would be ignored or clash.
  EXPECT_EQ(FindResourceA(module_, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(24)), nullptr);
}

BOOL CALLBACK FirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR result) {
  *reinterpret_cast<std::string*>(result) = IS_INTRESOURCE(name) ? "#number" : name;
  return FALSE;  // the first is enough
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST_F(ProgramResourcesTest, ExplorersIconIsOursInEverySize) {
  std::string first;
  EnumResourceNamesA(module_, MAKEINTRESOURCEA(14), FirstName, reinterpret_cast<LONG_PTR>(&first));
  ASSERT_EQ(first, "AAAA") << "Explorer would show another icon";

  const std::string group = Resource("AAAA", MAKEINTRESOURCEA(14));
  ASSERT_GE(group.size(), 6u);
  const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
  ASSERT_EQ(group.size(), 6 + count * sizeof(GroupIconEntry));
  std::vector<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    GroupIconEntry entry;
    std::memcpy(&entry, group.data() + 6 + i * sizeof(GroupIconEntry), sizeof entry);
    sizes.push_back(entry.width == 0 ? 256 : entry.width);
    EXPECT_EQ(entry.bitCount, 32) << "size " << sizes.back();
  }
  EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 256}));
}

TEST_F(ProgramResourcesTest, VersionNamesTheProgram) {
  const std::string version = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
  ASSERT_FALSE(version.empty());
  // The texts are UTF-16.
  const std::wstring wide(reinterpret_cast<const wchar_t*>(version.data()),
                          version.size() / sizeof(wchar_t));
  EXPECT_NE(wide.find(L"OriginalFilename"), std::wstring::npos);
  EXPECT_NE(wide.find(L"veilor.exe"), std::wstring::npos);
  EXPECT_NE(wide.find(L"Veilor file encryption"), std::wstring::npos);
  EXPECT_NE(wide.find(VEILOR_VERSION_W), std::wstring::npos);
}

}  // namespace

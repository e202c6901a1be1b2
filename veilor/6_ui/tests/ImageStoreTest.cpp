// The pictures compiled into the program.
#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include "1_base/ProgramDir.h"
#include "6_ui/EmbeddedPictures.h"
#include "6_ui/ImageStore.h"
#include "TempDir.h"

namespace {
struct Expected {
  int key;
  int width;
  int height;
  int bitDepth;
};

// Sizes and depths the dialogs are laid out for.
const Expected kPictures[] = {
    {0, 64, 64, 8},   {1, 32, 32, 8},  {2, 16, 16, 8},  {3, 64, 64, 8},
    {4, 16, 16, 8},   {5, 64, 64, 8},  {6, 16, 16, 8},  {11, 430, 92, 16},
    {12, 16, 16, 16}, {14, 64, 64, 8}, {15, 16, 16, 8},
};

std::uint32_t BigEndian(const unsigned char* bytes) {
  return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 |
         std::uint32_t(bytes[2]) << 8 | bytes[3];
}

TEST(ImageStoreTest, EmbeddedStreamsAreRgbaPngsOfTheTabledShape) {
  ASSERT_EQ(EmbeddedPictures().size(), std::size(kPictures));
  for (std::size_t i = 0; i < std::size(kPictures); ++i) {
    const EmbeddedPicture& picture = EmbeddedPictures()[i];
    const Expected& expected = kPictures[i];
    ASSERT_EQ(picture.key, expected.key);
    ASSERT_GT(picture.size, 33u);
    // Signature, then the header chunk: width, height, bit depth, colour type.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(picture.data), 8),
              std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(picture.data + 12), 4), "IHDR");
    EXPECT_EQ(BigEndian(picture.data + 16), std::uint32_t(expected.width)) << expected.key;
    EXPECT_EQ(BigEndian(picture.data + 20), std::uint32_t(expected.height)) << expected.key;
    EXPECT_EQ(picture.data[24], expected.bitDepth) << expected.key;
    EXPECT_EQ(picture.data[25], 6) << "RGBA, key " << expected.key;
  }
}

TEST(ImageStoreTest, EveryPictureDecodes) {
  for (const Expected& expected : kPictures) {
    const wxBitmap bitmap = CImageStore::Instance().GetBitmap(expected.key);
    ASSERT_TRUE(bitmap.IsOk()) << expected.key;
    EXPECT_EQ(bitmap.GetWidth(), expected.width);
    EXPECT_EQ(bitmap.GetHeight(), expected.height);
  }
}

TEST(ImageStoreTest, UnknownKeysGiveAnEmptyPicture) {
  for (int key : {13, 7, -1, 1000}) {
    EXPECT_FALSE(CImageStore::Instance().GetBitmap(key).IsOk()) << key;
    EXPECT_FALSE(CImageStore::Instance().GetBitmap(key).IsOk()) << "asked again, " << key;
  }
}

// A copy of this program in a fresh folder, which has no themes folder: the
// store's first use there makes one on Windows and none elsewhere, where an
// installed program's folder belongs to the system.
TEST(ImageStoreTest, ThemeFolderIsMadeOnlyOnWindowsBesideAProgramWithout) {
  constexpr const char* kChild = "VEILOR_IMAGE_STORE_CHILD";
  const wxString themes = wxString("themes") + wxFILE_SEP_PATH;
  if (wxGetEnv(kChild, nullptr)) {
    CImageStore::Instance();
    EXPECT_TRUE(CImageStore::GetThemesDir().EndsWith(themes));
#ifndef __WINDOWS__
    EXPECT_FALSE(CImageStore::GetThemesDir().StartsWith(GetProgramDir()))
        << "the installed data folder serves when the program's holds no skin";
#endif
    return;
  }
  TempDir dir;
  const wxString self = wxStandardPaths::Get().GetExecutablePath();
  const wxString copy = dir / wxFileName(self).GetFullName();
  ASSERT_TRUE(wxCopyFile(self, copy));
  ASSERT_FALSE(wxDirExists(dir / "themes"));
  wxExecuteEnv env;
  wxGetEnvMap(&env.env);
  env.env[kChild] = "1";
  const wxString filter =
      "--gtest_filter=ImageStoreTest.ThemeFolderIsMadeOnlyOnWindowsBesideAProgramWithout";
  const wchar_t* argv[] = {copy.wc_str(), filter.wc_str(), nullptr};
  EXPECT_EQ(wxExecute(argv, wxEXEC_SYNC, nullptr, &env), 0);
#ifdef __WINDOWS__
  EXPECT_TRUE(wxDirExists(dir / "themes"));
#else
  EXPECT_FALSE(wxDirExists(dir / "themes"));
#endif
}
}  // namespace

#include <gtest/gtest.h>

#include <wx/filefn.h>
#include <wx/filename.h>

#include "1_base/ProgramDir.h"

namespace {

// This test program has no skin beside it, as an installed veilor has none in
// /usr/bin: the skin is looked for in the installed data folder. On Windows
// the folder stays the one beside the program.
TEST(ProgramDirTest, WithoutASkinBesideTheProgramTheThemesComeFromTheDataFolder) {
  const wxString beside = GetProgramDir() + "themes" + wxFileName::GetPathSeparator();
  ASSERT_FALSE(wxDirExists(beside)) << "a skin folder lies beside the test program";
#ifdef __WINDOWS__
  EXPECT_EQ(GetThemeDir(), beside);
#else
  EXPECT_EQ(GetThemeDir(), wxString(VEILOR_DATA_DIR "/themes/"));
#endif
}

}  // namespace

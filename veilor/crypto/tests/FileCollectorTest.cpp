// Expanding the comma-joined path argument into files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <wx/filename.h>

#include "TempDir.h"
#include "crypto/FileCollector.h"

namespace {

std::vector<wxString> Collect(const wxString& pathList) {
  const wxArrayString files = CollectFiles(pathList);
  return std::vector<wxString>(files.begin(), files.end());
}

TEST(FileCollectorTest, CommasSplitAsTheToolkitDoes) {
  using V = std::vector<wxString>;
  EXPECT_EQ(Collect("/a,/b"), (V{"/a", "/b"}));
  EXPECT_EQ(Collect("/a,,/b"), (V{"/a", "", "/b"}));
  EXPECT_EQ(Collect(",/a"), (V{"", "/a"}));
  EXPECT_EQ(Collect("/a,"), (V{"/a"})) << "a trailing comma adds nothing";
  EXPECT_EQ(Collect(""), V{});
  EXPECT_EQ(Collect(" /a b ,c"), (V{" /a b ", "c"})) << "tokens are not trimmed";
}

TEST(FileCollectorTest, FoldersExpandToEveryFileBelowThem) {
  TempDir dir;
  ASSERT_TRUE(wxFileName::Mkdir(dir / "top/sub/deeper", 0755, wxPATH_MKDIR_FULL));
  ASSERT_TRUE(wxFileName::Mkdir(dir / "top/empty", 0755, wxPATH_MKDIR_FULL));
  for (const char* name : {"top/b.txt", "top/a file.txt", "top/.hidden", "top/sub/c",
                           "top/sub/deeper/d", "lone.txt"}) {
    WriteFileBytes(dir / name, name);
  }
  const std::vector<wxString> expected{
      dir / "top/.hidden",      dir / "top/a file.txt", dir / "top/b.txt", dir / "top/sub/c",
      dir / "top/sub/deeper/d", dir / "lone.txt",       dir / "missing"};
  EXPECT_EQ(Collect(dir / "top," + dir / "lone.txt," + dir / "missing"), expected);
  EXPECT_TRUE(Collect(dir / "top/empty").empty());
}

#ifndef _WIN32  // symbolic links need privileges on Windows
// A link back to a parent folder would make the list endless; linked files
// are still files.
TEST(FileCollectorTest, LinkedFoldersAreNotEntered) {
  TempDir dir;
  ASSERT_TRUE(wxFileName::Mkdir(dir / "top/sub", 0755, wxPATH_MKDIR_FULL));
  WriteFileBytes(dir / "top/sub/f", "f");
  WriteFileBytes(dir / "outside", "o");
  ASSERT_EQ(symlink((dir / "top").fn_str(), (dir / "top/sub/loop").fn_str()), 0);
  ASSERT_EQ(symlink((dir / "outside").fn_str(), (dir / "top/link-to-file").fn_str()), 0);
  EXPECT_EQ(Collect(dir / "top"),
            (std::vector<wxString>{dir / "top/link-to-file", dir / "top/sub/f"}));
}
#endif
}  // namespace

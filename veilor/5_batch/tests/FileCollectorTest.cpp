// Expanding the comma-joined path argument into files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/wait.h>
#else
#include <windows.h>
#endif

#include <wx/filename.h>

#include "1_base/SystemPath.h"
#include "5_batch/FileCollector.h"
#include "TempDir.h"

namespace {

std::vector<wxString> Collect(const wxString& pathList) {
  std::vector<wxString> paths;
  for (const CollectedPath& file : CollectFiles(pathList)) paths.push_back(file.path);
  return paths;
}

// Each entry as one line: its path, marked when it gets an invalid row.
wxString Described(const wxString& pathList) {
  wxString lines;
  for (const CollectedPath& file : CollectFiles(pathList)) {
    lines += file.path + (file.valid ? "" : " [invalid]") + "\n";
  }
  return lines;
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

// An argument that names something is that path, whole; otherwise it is
// split only where a comma starts another absolute path, and a piece that
// names nothing is an invalid entry, never its neighbour.
TEST(FileCollectorTest, OneArgumentIsAPathOrAJoinedListOfAbsolutePaths) {
  TempDir dir;
  for (const char* name : {"notes", "notes,", "a", "a,b.txt", "b.txt"}) {
    WriteFileBytes(dir / name, name);
  }
  for (const char* folder : {"album", "photos", "x,y"}) {
    ASSERT_TRUE(wxFileName::Mkdir(dir / folder, 0755));
    WriteFileBytes(dir / folder + "/f", "f");
  }
  const wxString a = dir / "a", b = dir / "b.txt";
  const struct {
    wxString argument;
    wxString expected;  // each entry as a line, marked when invalid
  } cases[] = {
      {dir / "notes,", dir / "notes,\n"},
      {dir / "notes,,", dir / "notes,\n"},  // the menu's form of "notes,"
      {dir / "notes", dir / "notes\n"},
      {dir / "photos,2024/f", dir / "photos,2024/f [invalid]\n"},
      {dir / "album,", dir / "album/f\n"},  // the menu's form of "album"
      {dir / "a,b.txt", dir / "a,b.txt\n"},
      {a + "," + b + ",", a + "\n" + b + "\n"},
      {dir / "a,b.txt," + b + ",", dir / "a,b.txt\n" + b + "\n"},
      {a + ",," + b, a + ", [invalid]\n" + b + "\n"},
      {"," + a, " [invalid]\n" + a + "\n"},
      {dir / "x,y," + a, dir / "x,y/f\n" + a + "\n"},
      {dir / "missing," + a, dir / "missing [invalid]\n" + a + "\n"},
      {a + "," + a + "," + b, a + "\n" + b + "\n"},
      {dir / "album," + dir / "album/f", dir / "album/f\n"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Described(c.argument), c.expected) << c.argument;
}

// Separate arguments, as file managers pass a selection, are one path each;
// a single argument is read as above.
TEST(FileCollectorTest, SeveralArgumentsAreOnePathEach) {
  TempDir dir;
  ASSERT_TRUE(wxFileName::Mkdir(dir / "folder", 0755));
  for (const char* name : {"a", "b", "folder/f"}) WriteFileBytes(dir / name, name);
  const wxString a = dir / "a", b = dir / "b";
  const struct {
    std::vector<wxString> arguments;
    wxString expected;  // each entry as a line, marked when invalid
  } cases[] = {
      {{a + "," + b}, a + "\n" + b + "\n"},
      {{a + "," + b, dir / "c d"}, a + "," + b + " [invalid]\n" + dir / "c d [invalid]\n"},
      {{a, b + ","}, a + "\n" + b + ", [invalid]\n"},
      {{a, "", b}, a + "\n [invalid]\n" + b + "\n"},
      {{"", ""}, " [invalid]\n [invalid]\n"},
      {{dir / "folder", a, dir / "folder/f", a}, dir / "folder/f\n" + a + "\n"},
      {{}, ""},
  };
  for (const auto& c : cases) {
    wxArrayString arguments;
    for (const wxString& argument : c.arguments) arguments.Add(argument);
    wxString lines;
    for (const CollectedPath& file : CollectArguments(arguments)) {
      lines += file.path + (file.valid ? "" : " [invalid]") + "\n";
    }
    EXPECT_EQ(lines, c.expected) << c.arguments.size();
  }
}

#ifndef _WIN32  // modes and symbolic links (which need privileges on Windows)
// Only a user without rights meets an unreadable folder: as root, the check
// runs in a child that has become "nobody".
TEST(FileCollectorTest, UnreadableFolderIsAnInvalidEntryWithItsPath) {
  TempDir dir;
  ASSERT_TRUE(wxFileName::Mkdir(dir / "top/locked", 0755, wxPATH_MKDIR_FULL));
  ASSERT_TRUE(wxFileName::Mkdir(dir / "top/open", 0755, wxPATH_MKDIR_FULL));
  for (const char* name : {"top/z", "top/locked/g", "top/open/f"}) WriteFileBytes(dir / name, "");
  ASSERT_EQ(chmod(dir.Path().fn_str(), 0755), 0);
  ASSERT_EQ(chmod((dir / "top/locked").fn_str(), 0), 0);
  const wxString expected = dir / "top/z\n" + dir / "top/locked [invalid]\n" + dir / "top/open/f\n";

  if (geteuid() != 0) {
    EXPECT_EQ(Described(dir / "top"), expected);
    return;
  }
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    constexpr uid_t kNobody = 65534;
    if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(3);
    const wxCharBuffer lines = Described(dir / "top").utf8_str();
    const bool written =
        write(fds[1], lines.data(), lines.length()) == static_cast<ssize_t>(lines.length());
    _exit(written ? 0 : 4);
  }
  close(fds[1]);
  std::string lines;
  char buffer[4096];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) lines.append(buffer, n);
  close(fds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  EXPECT_EQ(wxString::FromUTF8(lines), expected);
}

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

#ifdef _WIN32
// Windows drops a final dot or space from a name in an ordinary path, so
// "sub." would be walked as "sub" and "x." taken for "x": every name is
// listed and looked up as it is spelled.
TEST(FileCollectorTest, NamesWindowsWouldRewriteAreWalkedAsSpelled) {
  TempDir dir;
  const auto made = [&](const wxString& name, bool folder) {
    const wxString path = SystemPath(dir / name);
    if (folder) return CreateDirectoryW(path.wc_str(), nullptr) != 0;
    HANDLE file = CreateFileW(path.wc_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file);
  };
  // The temporary folder's own clean-up goes by ordinary paths: these names
  // are removed as spelled first.
  struct Remover {
    const TempDir& dir;
    ~Remover() {
      for (const char* file : {"top\\x", "top\\x.", "top\\y", "top\\y ", "top\\sub\\plain",
                               "top\\sub.\\only-in-dot"}) {
        DeleteFileW(SystemPath(dir / file).wc_str());
      }
      for (const char* folder : {"top\\sub.", "top\\sub", "top"}) {
        RemoveDirectoryW(SystemPath(dir / folder).wc_str());
      }
    }
  } remover{dir};
  for (const char* folder : {"top", "top\\sub", "top\\sub."}) ASSERT_TRUE(made(folder, true));
  for (const char* file :
       {"top\\x", "top\\x.", "top\\y", "top\\y ", "top\\sub\\plain", "top\\sub.\\only-in-dot"}) {
    ASSERT_TRUE(made(file, false)) << file;
  }
  const std::vector<wxString> expected{dir / "top\\x",          dir / "top\\x.",
                                       dir / "top\\y",          dir / "top\\y ",
                                       dir / "top\\sub\\plain", dir / "top\\sub.\\only-in-dot"};
  EXPECT_EQ(Collect(dir / "top"), expected);
  EXPECT_EQ(Collect(dir / "top\\sub."), std::vector<wxString>{dir / "top\\sub.\\only-in-dot"});
  EXPECT_EQ(Collect(dir / "top\\x."), std::vector<wxString>{dir / "top\\x."});
}
#endif
}  // namespace

// The Linux file managers' menus that qxm install writes: the files of each
// format, the command each file manager would run from them, and uninstall.
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "script/MenuScript.h"
#include "script/ReplaceAll.h"
#include "support/FileManagerLaunch.h"
#include "support/MemoryRegistry.h"
#include "support/TempDir.h"
#include "tool/DesktopMenu.h"
#include "tool/FileManagerMenus.h"
#include "tool/NautilusExtension.h"
#include "tool/QxmTool.h"
#include "tool/ShellQuote.h"

namespace {

const std::string kShipped = QXM_SHIPPED_DIR;

// Every file below a folder: relative path -> content, "(x)" appended for an
// executable one.
void Collect(const std::string& root, const std::string& relative,
             std::map<std::string, std::string>& files) {
  DIR* dir = ::opendir((root + relative).c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = relative + "/" + name;
    struct stat status {};
    ::stat((root + path).c_str(), &status);
    if (S_ISDIR(status.st_mode)) {
      files[path + "/"] = "";
      Collect(root, path, files);
    } else {
      files[path] = ReadFileBytes(root + path) + ((status.st_mode & S_IXUSR) ? "(x)" : "");
    }
  }
  ::closedir(dir);
}

class FileManagerMenusTest : public ::testing::Test {
protected:
  FileManagerMenusTest() {
    // Nautilus' stand-in knows the files' types from the package's definitions.
    ::setenv("QXM_MIME_PACKAGE", QXM_MIME_PACKAGE, 1);
    ::mkdir((dir_ / "sel").c_str(), 0700);
    WriteFileBytes(dir_ / "icon.ico", "icon");
  }

  MenuFolders Folders(const std::string& home) const {
    return {dir_ / home + "/nautilus",
            dir_ / home + "/nemo",
            dir_ / home + "/dolphin",
            dir_ / home + "/thunar/uca.xml",
            {},
            {},
            dir_ / home + "/autostart",
            dir_ / home + "/qxm/thunar-leftovers.sh",
            false,
            {},
            {}};
  }
  // As SystemMenuFolders has them, below "system".
  MenuFolders SystemFolders() const {
    MenuFolders folders = Folders("system");
    folders.nautilusScripts.clear();
    folders.nautilusExtensions = dir_ / "system/nautilus-python";
    folders.leftoverCleaner.clear();
    folders.allUsers = true;
    return folders;
  }
  // The script loaded from text, with RECORDER and ICON filled in.
  MenuScript Load(const std::string& text) {
    const std::string filled = ReplaceAll(ReplaceAll(text, "RECORDER", std::string(QXM_RECORDER)),
                                          "ICON", dir_ / "icon.ico");
    WriteFileBytes(dir_ / "menu.qxm", filled);
    MenuScript script(ScriptServices::Platform());
    script.LoadFromFile(dir_ / "menu.qxm");
    return script;
  }
  // The shipped script as the package installs it: its icons in the hicolor
  // theme as veilor-NAME, Veilor's own as the program's icon.
  std::string Shipped(const std::string& program = "RECORDER") const {
    const std::string theme = dir_ / "icons/hicolor/32x32/apps/";
    for (const std::string folder :
         {"icons", "icons/hicolor", "icons/hicolor/32x32", "icons/hicolor/32x32/apps"})
      ::mkdir((dir_ / folder).c_str(), 0700);
    std::string text = ReadFileBytes(kShipped + "/veilor.qxm");
    text = ReplaceAll(text, "@ICON_DIR@\\veilor.ico", theme + "veilor.png");
    for (std::size_t at; (at = text.find("@ICON_DIR@\\")) != std::string::npos;) {
      const std::size_t name = at + 11;
      const std::size_t end = text.find(".ico", name);
      const std::string path = theme + "veilor-" + text.substr(name, end - name) + ".png";
      text.replace(at, end + 4 - at, path);
      WriteFileBytes(path, "png");
    }
    WriteFileBytes(theme + "veilor.png", "png");
    return ReplaceAll(text, "@VEILOR_EXE@", program);
  }
  // Installs into the folders of `home`; what was said on standard output.
  std::string Install(const std::string& text, const std::string& home = "home") {
    std::ostringstream out, err;
    EXPECT_TRUE(InstallMenus(Load(text), Folders(home), registry_, out, err)) << err.str();
    EXPECT_EQ(err.str(), "");
    return out.str();
  }
  std::map<std::string, std::string> Tree(const std::string& home = "home") const {
    std::map<std::string, std::string> files;
    Collect(dir_ / home, "", files);
    return files;
  }
  std::string Fill(const std::string& text) const {
    return ReplaceAll(ReplaceAll(text, "RECORDER", std::string(QXM_RECORDER)), "ICON",
                      dir_ / "icon.ico");
  }

  TempDir dir_;
  MemoryRegistry registry_;
};

#define NEMO "[Nemo Action]\n# Written by qxm install; qxm uninstall removes it.\nActive=true\n"
// The hidden first action that gives the submenu its icon.
#define HIDDEN "[Desktop Action qxm0]\nName=Crypto\nIcon=ICON\nExec=true\nNoDisplay=true\n\n"
#define DOLPHIN                                                                          \
  "[Desktop Entry]\n# Written by qxm install; qxm uninstall removes it.\nType=Service\n" \
  "X-KDE-Priority=TopLevel\n"

const std::string kFeatures =
    "%1=RECORDER\n%2=ICON\n"
    "0;*;Crypto\\AES;Encrypt;%1;aese %f;Encrypt it;%2;%2\n"
    "2;*;Crypto;%e;%e;%e;%e;%e;%e\n"
    "0;aes;Crypto;Decrypt;%1;aesd %f;Decrypt it;%2;%2\n"
    "1;*;%e;Whole folder;%1;aese %f;Every file;%2;%2\n";

TEST_F(FileManagerMenusTest, EachFormatWritesNestedSubmenusSeparatorsAndFilters) {
  EXPECT_EQ(Install(kFeatures),
            "Dolphin: has one submenu level; deeper submenu names go before the entries' names\n"
            "Nautilus: has no file, folder or extension filters; every entry shows for every "
            "selection\n"
            "Nautilus: has no separators; they are left out\n"
            "Nautilus: shows no icons; they are left out\n"
            "Nemo: has no separators; they are left out\n"
            "Nemo: has no submenus; their names go before the entries' names\n"
            "Nemo: shows icons of an icon theme only, by name; other icons are left out\n"
            "Thunar: cannot ask for exactly one folder; folder entries show for several\n"
            "Thunar: cannot tell one folder from several items; entries for every file show for "
            "one folder too\n"
            "Thunar: has no separators; they are left out\n"
            "Thunar: has no submenus; their names go before the entries' names\n");
  std::map<std::string, std::string> tree = Tree();
  // Nautilus: folders for submenus, one executable script per command.
  for (const auto& [path, exec] : std::map<std::string, std::string>{
           {"/nautilus/Crypto/AES/Encrypt", "exec 'RECORDER' 'aese' \"$@\"\n(x)"},
           {"/nautilus/Crypto/Decrypt", "exec 'RECORDER' 'aesd' \"$@\"\n(x)"},
           {"/nautilus/Whole folder", "exec 'RECORDER' 'aese' \"$@\"\n(x)"}}) {
    SCOPED_TRACE(path);
    ASSERT_TRUE(tree.count(path));
    EXPECT_EQ(tree[path].rfind("#!/bin/sh\n", 0), 0u);
    EXPECT_EQ(tree[path].substr(tree[path].rfind("exec ")), Fill(exec));
    tree.erase(path);
  }
  const std::map<std::string, std::string> expected = {
      {"/nautilus/", ""},
      {"/nautilus/Crypto/", ""},
      {"/nautilus/Crypto/AES/", ""},
      {"/nemo/", ""},
      // Nemo takes icons by name only; an entry for every file is one action
      // for one file and one for several items of any kind.
      {"/nemo/qxm-001.nemo_action",
       NEMO "Name=Crypto: AES: Encrypt\nComment=Encrypt it\nExec='RECORDER' 'aese' %F\n"
            "Selection=s\nExtensions=nodirs;\nQuote=double\n"},
      {"/nemo/qxm-002.nemo_action",
       NEMO "Name=Crypto: AES: Encrypt\nComment=Encrypt it\nExec='RECORDER' 'aese' %F\n"
            "Selection=m\nExtensions=any;\nQuote=double\n"},
      {"/nemo/qxm-003.nemo_action",
       NEMO "Name=Crypto: Decrypt\nComment=Decrypt it\nExec='RECORDER' 'aesd' %F\n"
            "Selection=notnone\nExtensions=.aes;\nQuote=double\n"},
      {"/nemo/qxm-004.nemo_action",
       NEMO "Name=Whole folder\nComment=Every file\nExec='RECORDER' 'aese' %F\n"
            "Selection=s\nExtensions=dir;\nQuote=double\n"},
      {"/dolphin/", ""},
      // One service menu per kind of selection; the ids order the submenu's
      // actions across them.
      {"/dolphin/qxm-01.desktop", DOLPHIN
       "MimeType=all/allfiles;\nX-KDE-RequiredNumberOfUrls=1\nX-KDE-Submenu=Crypto\n"
       "Actions=qxm0;Qxm1;\n\n" HIDDEN
       "[Desktop Action Qxm1]\nName=AES: Encrypt\nIcon=ICON\nExec=\"RECORDER\" \"aese\" %F\n(x)"},
      {"/dolphin/qxm-02.desktop", DOLPHIN
       "MimeType=all/all;\nX-KDE-MinNumberOfUrls=2\nX-KDE-Submenu=Crypto\n"
       "Actions=qxm0;Qxm1;\n\n" HIDDEN
       "[Desktop Action Qxm1]\nName=AES: Encrypt\nIcon=ICON\nExec=\"RECORDER\" \"aese\" %F\n(x)"},
      {"/dolphin/qxm-03.desktop", DOLPHIN
       "MimeType=application/x-veilor-aes;\nX-KDE-Submenu=Crypto\n"
       "Actions=qxm0;_SEPARATOR_;qxm2;\n\n" HIDDEN
       "[Desktop Action qxm2]\nName=Decrypt\nIcon=ICON\nExec=\"RECORDER\" \"aesd\" %F\n(x)"},
      {"/dolphin/qxm-04.desktop", DOLPHIN
       "MimeType=inode/directory;\nX-KDE-RequiredNumberOfUrls=1\nActions=qxm1;\n\n"
       "[Desktop Action qxm1]\nName=Whole folder\nIcon=ICON\nExec=\"RECORDER\" \"aese\" %F\n"
       "(x)"},
      {"/thunar/", ""},
      {"/thunar/uca.xml",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n"
       "<action>\n\t<icon>ICON</icon>\n\t<name>Crypto: AES: Encrypt</name>\n"
       "\t<unique-id>qxm-1</unique-id>\n\t<command>'RECORDER' 'aese' %F</command>\n"
       "\t<description>Encrypt it</description>\n\t<patterns>*</patterns>\n"
       "\t<directories/>\n\t<audio-files/>\n\t<image-files/>\n\t<other-files/>\n\t<text-files/>\n"
       "\t<video-files/>\n</action>\n"
       "<action>\n\t<icon>ICON</icon>\n\t<name>Crypto: Decrypt</name>\n"
       "\t<unique-id>qxm-2</unique-id>\n\t<command>'RECORDER' 'aesd' %F</command>\n"
       "\t<description>Decrypt it</description>\n\t<patterns>*.aes</patterns>\n"
       "\t<audio-files/>\n\t<image-files/>\n\t<other-files/>\n\t<text-files/>\n"
       "\t<video-files/>\n</action>\n"
       "<action>\n\t<icon>ICON</icon>\n\t<name>Whole folder</name>\n"
       "\t<unique-id>qxm-3</unique-id>\n\t<command>'RECORDER' 'aese' %F</command>\n"
       "\t<description>Every file</description>\n\t<patterns>*</patterns>\n"
       "\t<directories/>\n</action>\n</actions>\n"}};
  for (const auto& [path, content] : expected) {
    SCOPED_TRACE(path);
    EXPECT_EQ(tree[path], Fill(content));
  }
  EXPECT_EQ(tree.size(), expected.size());
}

TEST_F(FileManagerMenusTest, ShippedScriptGivesEveryFormatItsMenu) {
  EXPECT_EQ(Install(Shipped()),
            "Nautilus: has no file, folder or extension filters; every entry shows for every "
            "selection\n"
            "Nautilus: has no separators; they are left out\n"
            "Nautilus: shows no icons; they are left out\n"
            "Nautilus: sorts the entries of each menu by name\n"
            "Nemo: has no separators; they are left out\n"
            "Nemo: has no submenus; their names go before the entries' names\n"
            "Thunar: cannot ask for exactly one folder; folder entries show for several\n"
            "Thunar: cannot tell one folder from several items; entries for every file show for "
            "one folder too\n"
            "Thunar: has no separators; they are left out\n"
            "Thunar: has no submenus; their names go before the entries' names\n"
            "Thunar: shows an entry that takes no paths only when one item is selected\n");
  std::vector<std::string> paths;
  for (const auto& [path, content] : Tree()) paths.push_back(path);
  // Settings and Password manager for files and for a folder run the same
  // command: one Nautilus script each.
  // Dolphin: one file, several items, each decrypted type, one folder.
  std::vector<std::string> expected = {"/dolphin/"};
  for (int i = 1; i <= 6; ++i)
    expected.push_back("/dolphin/qxm-0" + std::to_string(i) + ".desktop");
  expected.insert(expected.end(), {"/nautilus/", "/nautilus/Veilor/"});
  for (const char* name :
       {"Decrypt AES file", "Decrypt AES files in folder", "Decrypt Triple-DES file",
        "Decrypt Triple-DES files in folder", "Decrypt age file", "Decrypt age files in folder",
        "Encrypt folder with AES", "Encrypt folder with Triple-DES", "Encrypt folder with age",
        "Encrypt with AES", "Encrypt with Triple-DES", "Encrypt with age", "Password manager",
        "Settings"})
    expected.push_back(std::string("/nautilus/Veilor/") + name);
  expected.push_back("/nemo/");
  // Five entries for every file, two actions each.
  for (int i = 1; i <= 21; ++i) {
    expected.push_back("/nemo/qxm-0" + std::string(i < 10 ? "0" : "") + std::to_string(i) +
                       ".nemo_action");
  }
  expected.insert(expected.end(), {"/thunar/", "/thunar/uca.xml"});
  EXPECT_EQ(paths, expected);
  // Icons by name wherever a format takes names: Nemo takes nothing else.
  auto tree = Tree();
  EXPECT_NE(tree["/nemo/qxm-003.nemo_action"].find("\nIcon-Name=veilor-aes-encrypt\n"),
            std::string::npos);
  const std::string files = tree["/dolphin/qxm-01.desktop"];
  EXPECT_NE(files.find("Actions=qxm0;"), std::string::npos) << files;
  EXPECT_NE(
      files.find("[Desktop Action qxm0]\nName=Veilor\nIcon=veilor\nExec=true\nNoDisplay=true\n"),
      std::string::npos)
      << files;
  EXPECT_NE(files.find("\nIcon=veilor-aes-encrypt\n"), std::string::npos);
  EXPECT_NE(files.find("Actions=qxm0;Qxm01;Qxm02;Qxm03;_SEPARATOR_;qxm13;qxm15;\n"),
            std::string::npos)
      << files;
  EXPECT_NE(tree["/dolphin/qxm-04.desktop"].find("MimeType=application/x-veilor-aes;\n"),
            std::string::npos);
  EXPECT_NE(tree["/thunar/uca.xml"].find("<icon>veilor-aes-decrypt</icon>"), std::string::npos);
  // Settings for files shows for folders in Thunar: its folder twin would double it.
  const std::string thunar = tree["/thunar/uca.xml"];
  EXPECT_EQ(thunar.find("<name>Veilor: Settings</name>"),
            thunar.rfind("<name>Veilor: Settings</name>"));
}

TEST(ThemeIconNameTest, NamesImagesOfIconThemesOnly) {
  for (const auto& [path, name] : std::vector<std::pair<std::string, std::string>>{
           {"/usr/share/icons/hicolor/32x32/apps/veilor-aes.png", "veilor-aes"},
           {"/home/u/.local/share/icons/Mine/scalable/apps/x.y.svg", "x.y"},
           {"/usr/share/pixmaps/veilor.xpm", "veilor"},
           {"/usr/share/icons/veilor.png", ""},  // beside the themes, not in one
           {"/usr/share/veilor/menu/aes.png", ""},
           {"/usr/share/icons/hicolor/32x32/apps/aes.ico", ""},
           {"C:\\icons\\a.png", ""}}) {
    EXPECT_EQ(ThemeIconName(path), name) << path;
  }
}

TEST_F(FileManagerMenusTest, DolphinShowsTheScriptOrderAndTheFirstSeparator) {
  // KDE Frameworks 5 orders a menu's actions by id as text, separators by their
  // common id, and shows one separator for a row of them: qxm10 must not come
  // before qxm2, nor the separator before the entries above it.
  std::string text = "%1=RECORDER\n%2=ICON\n";
  for (int i = 1; i <= 10; ++i) {
    text += "0;*;Many;Entry " + std::to_string(i) + ";%1;x %f;h;%2;%2\n";
    if (i == 5 || i == 8) text += "2;*;Many;%e;%e;%e;%e;%e;%e\n";
  }
  EXPECT_NE(Install(text).find("Dolphin: KDE Frameworks 5 sorts a menu's actions by id; a menu "
                               "keeps only its first separator\n"),
            std::string::npos);
  const std::string file = Tree()["/dolphin/qxm-01.desktop"];
  const std::size_t from = file.find("Actions=");
  ASSERT_NE(from, std::string::npos);
  std::istringstream list(file.substr(from + 8, file.find('\n', from) - from - 8));
  std::vector<std::string> ids;
  for (std::string id; std::getline(list, id, ';');) ids.push_back(id);
  ASSERT_EQ(ids.size(), 13u);  // and the hidden one with the submenu's icon
  std::sort(ids.begin(), ids.end());
  std::vector<std::string> shown;  // "-" for a separator
  for (const std::string& id : ids) {
    if (id == "_SEPARATOR_") {
      if (!shown.empty() && shown.back() != "-") shown.push_back("-");
      continue;
    }
    const std::size_t name = file.find("[Desktop Action " + id + "]\nName=");
    ASSERT_NE(name, std::string::npos) << id;
    const std::string group = file.substr(name, file.find("\n\n", name) - name);
    if (group.find("\nNoDisplay=true") != std::string::npos) continue;
    const std::size_t begin = file.find("Name=", name) + 5;
    shown.push_back(file.substr(begin, file.find('\n', begin) - begin));
  }
  std::vector<std::string> expected;
  for (int i = 1; i <= 10; ++i) {
    expected.push_back("Entry " + std::to_string(i));
    if (i == 5) expected.push_back("-");
  }
  EXPECT_EQ(shown, expected);
}

std::vector<std::string> Paths(const std::string& folder, const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  for (const std::string& name : names) paths.push_back(folder + "/" + name);
  return paths;
}

// Nautilus' extension for all users, as Nautilus would load it from the file.
std::string NautilusExtensionFile(const MenuScript& script, const std::string& path) {
  std::vector<std::string> problems;
  WriteFileBytes(path, NautilusExtension(BuildDesktopMenu(script, problems)));
  return path;
}

// The entries the extension offers for a selection, one a line.
std::string NautilusExtensionMenu(const std::string& extension,
                                  const std::vector<std::string>& paths) {
  std::string command = ShellQuote(QXM_PYTHON);
  for (const std::string& word : {std::string(QXM_NAUTILUS_RUNNER), extension}) {
    command += ' ';
    command += ShellQuote(word);
  }
  for (const std::string& path : paths) {
    command += ' ';
    command += ShellQuote(path);
  }
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return "(cannot run)";
  std::string output;
  char buffer[256];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, got);
  return ::pclose(pipe) == 0 ? output : output + "(failed)";
}

// A key file's groups: group -> key -> value.
std::map<std::string, std::map<std::string, std::string>> KeyFile(const std::string& text) {
  std::map<std::string, std::map<std::string, std::string>> groups;
  std::istringstream lines(text);
  std::string group;
  for (std::string line; std::getline(lines, line);) {
    if (line.size() > 2 && line.front() == '[') {
      group = line.substr(1, line.size() - 2);
    } else if (const std::size_t equals = line.find('='); equals != std::string::npos) {
      groups[group][line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return groups;
}

std::vector<std::string> List(const std::string& value) {
  std::vector<std::string> items;
  std::istringstream list(value);
  for (std::string item; std::getline(list, item, ';');) items.push_back(item);
  return items;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsFolder(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The MIME type a desktop knows a path by, from the globs of the package's
// shared-mime-info file, which match without regard to case.
std::string MimeTypeOf(const std::string& path) {
  if (IsFolder(path)) return "inode/directory";
  const std::string xml = ReadFileBytes(QXM_MIME_PACKAGE);
  const std::string name = Lower(BaseName(path));
  for (std::size_t type = xml.find("<mime-type type=\""); type != std::string::npos;
       type = xml.find("<mime-type type=\"", type + 1)) {
    const std::size_t from = type + 17;
    const std::string mime = xml.substr(from, xml.find('"', from) - from);
    const std::size_t end = xml.find("</mime-type>", type);
    for (std::size_t glob = xml.find("<glob pattern=\"*", type); glob < end;
         glob = xml.find("<glob pattern=\"*", glob + 1)) {
      const std::size_t at = glob + 16;
      const std::string suffix = xml.substr(at, xml.find('"', at) - at);
      if (name.size() > suffix.size() &&
          name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        return mime;
    }
  }
  return "application/octet-stream";
}

// The entries' own names (after the last submenu) that each format offers
// for a selection, by its own matching rules, sorted.
using Offer = std::vector<std::string>;

std::string OwnName(const std::string& name) {
  const std::size_t colon = name.rfind(": ");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

// Nemo: Selection s (one), m (more than one), notnone; Extensions dir, nodirs,
// any, or suffixes that every item must end with.
Offer NemoOffer(const std::string& folder, const std::vector<std::string>& paths) {
  Offer offer;
  DIR* dir = ::opendir(folder.c_str());
  while (const dirent* file = dir == nullptr ? nullptr : ::readdir(dir)) {
    if (std::string(file->d_name).find(".nemo_action") == std::string::npos) continue;
    auto action = KeyFile(ReadFileBytes(folder + "/" + file->d_name))["Nemo Action"];
    const std::string selection = action["Selection"];
    if ((selection == "s" && paths.size() != 1) || (selection == "m" && paths.size() < 2)) continue;
    const std::vector<std::string> extensions = List(action["Extensions"]);
    const bool all = std::all_of(paths.begin(), paths.end(), [&](const std::string& path) {
      return std::any_of(extensions.begin(), extensions.end(), [&](const std::string& e) {
        if (e == "any") return true;
        if (e == "dir") return IsFolder(path);
        if (e == "nodirs") return !IsFolder(path);
        const std::string name = Lower(path);
        return !IsFolder(path) && name.size() > e.size() &&
               name.compare(name.size() - e.size(), e.size(), Lower(e)) == 0;
      });
    });
    if (all) offer.push_back(OwnName(action["Name"]));
  }
  if (dir != nullptr) ::closedir(dir);
  std::sort(offer.begin(), offer.end());
  return offer;
}

// Dolphin: every item's MIME type must be one of MimeType's, all/all taking
// everything and all/allfiles every file; X-KDE-RequiredNumberOfUrls lists the
// counts allowed, X-KDE-MinNumberOfUrls is the least.
Offer DolphinOffer(const std::string& folder, const std::vector<std::string>& paths) {
  Offer offer;
  DIR* dir = ::opendir(folder.c_str());
  while (const dirent* file = dir == nullptr ? nullptr : ::readdir(dir)) {
    if (std::string(file->d_name).find(".desktop") == std::string::npos) continue;
    auto service = KeyFile(ReadFileBytes(folder + "/" + file->d_name));
    auto& head = service["Desktop Entry"];
    const std::vector<std::string> counts = List(head["X-KDE-RequiredNumberOfUrls"]);
    if (!counts.empty() &&
        std::find(counts.begin(), counts.end(), std::to_string(paths.size())) == counts.end())
      continue;
    if (!head["X-KDE-MinNumberOfUrls"].empty() &&
        paths.size() < std::stoul(head["X-KDE-MinNumberOfUrls"]))
      continue;
    const std::vector<std::string> types = List(head["MimeType"]);
    const bool all = std::all_of(paths.begin(), paths.end(), [&](const std::string& path) {
      const std::string type = MimeTypeOf(path);
      return std::any_of(types.begin(), types.end(), [&](const std::string& t) {
        return t == "all/all" || (t == "all/allfiles" && type != "inode/directory") || t == type;
      });
    });
    if (!all) continue;
    for (const std::string& id : List(head["Actions"])) {
      auto& action = service["Desktop Action " + id];
      if (id != "_SEPARATOR_" && action["NoDisplay"] != "true")
        offer.push_back(OwnName(action["Name"]));
    }
  }
  if (dir != nullptr) ::closedir(dir);
  std::sort(offer.begin(), offer.end());
  return offer;
}

// Thunar: every item's name must match one of the patterns, a folder needs
// <directories/> and a file one of the file kinds (we write them all); a
// command without %F is for one item only.
Offer ThunarOffer(const std::string& ucaXml, const std::vector<std::string>& paths) {
  Offer offer;
  const std::string xml = ReadFileBytes(ucaXml);
  const auto field = [](const std::string& action, const std::string& name) {
    const std::size_t from = action.find("<" + name + ">");
    if (from == std::string::npos) return std::string();
    const std::size_t at = from + name.size() + 2;
    return action.substr(at, action.find("</" + name + ">", at) - at);
  };
  for (std::size_t at = xml.find("<action>"); at != std::string::npos;
       at = xml.find("<action>", at + 1)) {
    const std::string action = xml.substr(at, xml.find("</action>", at) - at);
    if (field(action, "command").find("%F") == std::string::npos && paths.size() != 1) continue;
    const std::vector<std::string> patterns = List(field(action, "patterns"));
    const bool all = std::all_of(paths.begin(), paths.end(), [&](const std::string& path) {
      if (IsFolder(path) ? action.find("<directories/>") == std::string::npos
                         : action.find("<other-files/>") == std::string::npos)
        return false;
      return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
        return ::fnmatch(pattern.c_str(), BaseName(path).c_str(), 0) == 0;
      });
    });
    if (all) offer.push_back(OwnName(field(action, "name")));
  }
  std::sort(offer.begin(), offer.end());
  return offer;
}

TEST_F(FileManagerMenusTest, EachFormatOffersWhatTheMenuOffersAndDecryptOnlyOnItsType) {
  MenuScript script = Load(kFeatures);
  Install(kFeatures);
  const std::string extension = NautilusExtensionFile(script, dir_ / "qxm_menu.py");
  ::mkdir((dir_ / "sel/x.aes.d").c_str(), 0700);
  for (const char* name : {"x.txt", "x.aes", "z.aes", "noext"})
    WriteFileBytes(dir_ / "sel/" + name, "x");
  for (const std::vector<std::string>& names :
       std::vector<std::vector<std::string>>{{"x.txt"},
                                             {"x.aes"},
                                             {"noext"},
                                             {"x.aes.d"},
                                             {"x.aes.d", "x.txt"},
                                             {"x.aes", "z.aes"},
                                             {"x.aes", "x.txt"},
                                             {"x.aes.d", "x.aes"}}) {
    SCOPED_TRACE(names.front() + (names.size() > 1 ? " + " + names[1] : ""));
    const std::vector<std::string> paths = Paths(dir_ / "sel", names);
    ASSERT_TRUE(script.SelectItems(std::vector<PathText>(paths.begin(), paths.end())));
    // What qxm's menu offers, but an entry for one of Veilor's file types
    // only where every item is of that type.
    Offer expected;
    for (const ScriptItem& item : script.applicable) {
      if (item.type == Separator) continue;
      const bool typed = item.type == FileItem && item.extension == "aes";
      if (typed && !std::all_of(paths.begin(), paths.end(), [](const std::string& path) {
            return MimeTypeOf(path) == "application/x-veilor-aes";
          }))
        continue;
      expected.push_back(item.name);
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(NemoOffer(dir_ / "home/nemo", paths), expected) << "Nemo";
    EXPECT_EQ(DolphinOffer(dir_ / "home/dolphin", paths), expected) << "Dolphin";
    // Thunar cannot tell one folder from several items, as install says.
    Offer thunar = expected;
    if (names == std::vector<std::string>{"x.aes.d"}) thunar = {"Encrypt", "Whole folder"};
    EXPECT_EQ(ThunarOffer(dir_ / "home/thunar/uca.xml", paths), thunar) << "Thunar";
    std::string nautilus;
    for (const std::string& name : expected) nautilus += name + "\n";
    std::string offered = NautilusExtensionMenu(extension, paths);
    Offer shown;
    std::istringstream lines(offered);
    for (std::string line; std::getline(lines, line);)
      shown.push_back(
          line.substr(line.rfind("> ") == std::string::npos ? 0 : line.rfind("> ") + 2));
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, expected) << "Nautilus: " << offered;
  }
}

struct LaunchCase {
  const char* format;
  std::function<Launch(const std::string& home, const std::vector<std::string>& names,
                       const std::string& folder)>
      launch;
};

TEST_F(FileManagerMenusTest, EachFormatStartsTheProgramWithExactlyTheSelectedPaths) {
  // The program's own path needs each format's quoting as much as the paths.
  const std::string tools = dir_ / "tools $HOME `id` \"q\" it's \\ x";
  ::mkdir(tools.c_str(), 0700);
  ASSERT_EQ(::symlink(QXM_RECORDER, (tools + "/recorder").c_str()), 0);
  Install(Shipped(tools + "/recorder"));
  const std::string extension =
      NautilusExtensionFile(Load(Shipped(tools + "/recorder")), dir_ / "qxm_menu.py");
  const std::vector<LaunchCase> cases = {
      {"Nautilus",
       [](const std::string& home, const std::vector<std::string>& names,
          const std::string& folder) {
         return NautilusLaunch(home + "/nautilus/Veilor/Encrypt with AES", folder, names);
       }},
      {"Nautilus for all users",
       [&extension](const std::string&, const std::vector<std::string>& names,
                    const std::string& folder) {
         Launch launch{
             {QXM_PYTHON, QXM_NAUTILUS_RUNNER, "--choose", "Veilor > Encrypt with AES", extension},
             {},
             {}};
         for (const std::string& path : Paths(folder, names)) launch.argv.push_back(path);
         return launch;
       }},
      {"Nemo",
       [](const std::string& home, const std::vector<std::string>& names,
          const std::string& folder) {
         return NemoLaunch(home + "/nemo/qxm-004.nemo_action", Paths(folder, names));
       }},
      {"Dolphin",
       [](const std::string& home, const std::vector<std::string>& names,
          const std::string& folder) {
         return DolphinLaunch(home + "/dolphin/qxm-02.desktop", "Qxm02", Paths(folder, names));
       }},
      {"Thunar",
       [](const std::string& home, const std::vector<std::string>& names,
          const std::string& folder) {
         return ThunarLaunch(home + "/thunar/uca.xml", "Veilor: Encrypt with AES",
                             Paths(folder, names));
       }},
  };
  const std::vector<std::vector<std::string>> selections = {
      {"a b.txt", "c,d.txt"},
      {"it's \"$HOME\" `id` \\.txt", "two\nlines; rm -rf x.txt"},
  };
  for (const LaunchCase& c : cases) {
    for (const std::vector<std::string>& names : selections) {
      SCOPED_TRACE(std::string(c.format) + ": " + names[0]);
      for (const std::string& name : names) WriteFileBytes(dir_ / "sel/" + name, "x");
      std::vector<std::string> recorded =
          RunAndRecord(c.launch(dir_ / "home", names, dir_ / "sel"), dir_ / "record");
      // Nautilus passes names relative to the folder it starts the script in.
      for (std::string& path : recorded) {
        if (path != "aese" && path.front() != '/') path = dir_ / "sel/" + path;
      }
      std::vector<std::string> expected{"aese"};
      for (const std::string& path : Paths(dir_ / "sel", names)) expected.push_back(path);
      EXPECT_EQ(recorded, expected);
    }
  }
}

TEST_F(FileManagerMenusTest, UninstallRemovesExactlyWhatWasWrittenAndKeepsTheUsersOwn) {
  const std::string users =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n"
      "\t<icon>utilities-terminal</icon>\n\t<name>Open Terminal Here</name>\n"
      "\t<unique-id>1671234567-1</unique-id>\n\t<command>exo-open %f</command>\n"
      "\t<description>Mine</description>\n\t<patterns>*</patterns>\n\t<directories/>\n"
      "</action>\n</actions>\n";
  ::mkdir((dir_ / "home").c_str(), 0700);
  ::mkdir((dir_ / "home/thunar").c_str(), 0700);
  ::mkdir((dir_ / "home/nautilus").c_str(), 0700);
  ::mkdir((dir_ / "home/nautilus/Veilor").c_str(), 0700);
  WriteFileBytes(dir_ / "home/thunar/uca.xml", users);
  WriteFileBytes(dir_ / "home/nautilus/Veilor/Settings", "my own script");
  const auto before = Tree();

  std::ostringstream out, err;
  ASSERT_TRUE(InstallMenus(Load(Shipped()), Folders("home"), registry_, out, err));
  EXPECT_EQ(err.str(), "qxm: " + dir_ / "home/nautilus/Veilor/Settings" +
                           " is not qxm's and stays; its entry is left out\n");
  Install(kFeatures);  // replaces the shipped menus without a word about them
  const std::string merged = ReadFileBytes(dir_ / "home/thunar/uca.xml");
  EXPECT_EQ(merged.rfind(users.substr(0, users.size() - 11), 0), 0u);  // theirs first, whole
  EXPECT_EQ(Tree()["/nautilus/Veilor/Settings"], "my own script");

  ASSERT_TRUE(UninstallMenus(registry_, Folders("home"), err));
  EXPECT_EQ(Tree(), before);
  EXPECT_FALSE(registry_.HasKey(kMenuRecordKeyPath));
}

TEST_F(FileManagerMenusTest, FilesLeftByAnInstallThatDidNotFinishAreTakenBack) {
  Install(kFeatures);
  const auto written = Tree();
  // As if the record had never been written: the files are known by their mark.
  registry_.Values(kMenuRecordKeyPath) = ValueList();
  EXPECT_EQ(Install(kFeatures).empty(), false);  // and not a word about them on err
  EXPECT_EQ(Tree(), written);
  std::ostringstream err;
  ASSERT_TRUE(UninstallMenus(registry_, Folders("home"), err));
  // The folders and uca.xml were there before the second install: they stay,
  // but for Nautilus's submenus, which went with the files that left them empty.
  EXPECT_EQ(Tree(),
            (std::map<std::string, std::string>{{"/dolphin/", ""},
                                                {"/nautilus/", ""},
                                                {"/nemo/", ""},
                                                {"/thunar/", ""},
                                                {"/thunar/uca.xml",
                                                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                                 "<actions>\n</actions>\n"}}));
}

// Whether another XML parser than ours reads the file.
bool PythonParses(const std::string& path) {
  const std::string command =
      ShellQuote(QXM_PYTHON) +
      " -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' " + ShellQuote(path) +
      " 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

TEST_F(FileManagerMenusTest, ThunarGivesBackTheUsersFileByteForByteWhateverItHolds) {
  const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  const std::string mine =
      "<action><name>Caf&#233; &amp; tea</name><unique-id>1-1</unique-id>"
      "<command><![CDATA[echo '<action>' && x %F]]></command><patterns>*</patterns>"
      "<directories/></action>";
  const std::vector<std::string> users = {
      // A comment that looks like an action, even one of ours, is a comment.
      head + "<actions>\n  " + mine + "\n  <!-- old: <action> -->\n</actions>\n",
      head + "<!-- <action><unique-id>qxm-1</unique-id></action> -->\n<actions>" + mine +
          "</actions>",
      head + "<!DOCTYPE actions [\n<!ENTITY me \"Me\">\n]>\r\n<actions>\r\n" + mine +
          "<!--x--><action><name>&me;</name><unique-id>2</unique-id></action>\r\n</actions>\r\n",
  };
  ::mkdir((dir_ / "home").c_str(), 0700);
  ::mkdir((dir_ / "home/thunar").c_str(), 0700);
  const std::string path = dir_ / "home/thunar/uca.xml";
  for (const std::string& user : users) {
    SCOPED_TRACE(user);
    WriteFileBytes(path, user);
    Install(kFeatures);
    const std::string merged = ReadFileBytes(path);
    EXPECT_TRUE(PythonParses(path)) << merged;
    EXPECT_NE(merged.find(mine), std::string::npos);
    EXPECT_NE(merged.find("<unique-id>qxm-3</unique-id>"), std::string::npos);
    std::ostringstream err;
    EXPECT_TRUE(UninstallMenus(registry_, Folders("home"), err)) << err.str();
    EXPECT_EQ(ReadFileBytes(path), user);
  }
}

TEST_F(FileManagerMenusTest, ThunarLeavesOutTextItsParserWouldRejectWithTheWholeFile) {
  const std::string said = Install(
      "%1=RECORDER\n%2=ICON\n0;*;%e;Caf\xe9;%1;aese %f;h;%2;%2\n0;*;%e;Tea;%1;aese %f;h;%2;%2\n");
  EXPECT_NE(said.find("Thunar: takes UTF-8 text without control characters only; other entries "
                      "are left out\n"),
            std::string::npos);
  const std::string thunar = ReadFileBytes(dir_ / "home/thunar/uca.xml");
  EXPECT_EQ(thunar.find("Caf"), std::string::npos);
  EXPECT_NE(thunar.find("<name>Tea</name>"), std::string::npos);
}

TEST_F(FileManagerMenusTest, SystemOptionWritesForAllUsersAndAUserStartsFromThunarsDefaults) {
  // As Thunar installs it: a document type, then indented actions.
  const std::string vendor =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE actions [\n"
      "  <!ELEMENT actions (action)+>\n  <!ELEMENT action (icon|name|command)*>\n]>\n"
      "<actions>\n\n  <action>\n    <icon>utilities-terminal</icon>\n"
      "    <name>Open Terminal Here</name>\n    <command>exo-open %F</command>\n"
      "    <directories/>\n  </action>\n\n</actions>\n";
  ::mkdir((dir_ / "system").c_str(), 0700);
  ::mkdir((dir_ / "system/thunar").c_str(), 0700);
  WriteFileBytes(dir_ / "system/thunar/uca.xml", vendor);
  MemoryRegistry user;
  MemoryRegistry system;
  MenuFolders userFolders = Folders("user");
  userFolders.thunarDefaults = dir_ / "system/thunar/uca.xml";
  const MenuFolders systemFolders = SystemFolders();
  const QxmScope userScope{user, userFolders, {}};
  const QxmScope systemScope{system, systemFolders, {}};
  Load(kFeatures);
  const auto run = [&](const std::vector<std::string>& args) {
    std::ostringstream out, err;
    EXPECT_EQ(RunQxm(args, userScope, systemScope, out, err), 0) << err.str();
    return out.str();
  };
  const auto ours = [](const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = text.find("<unique-id>qxm-"); at != std::string::npos;
         at = text.find("<unique-id>qxm-", at + 1))
      ++count;
    return count;
  };

  // Nautilus for all users needs python3-nautilus, which makes the folder.
  EXPECT_NE(run({"install", "--system", dir_ / "menu.qxm"})
                .find("Nautilus: shows a menu for all users with python3-nautilus only; without "
                      "it a user gets one with qxm install FILE\n"),
            std::string::npos);
  ::mkdir((dir_ / "system/nautilus-python").c_str(), 0700);
  run({"install", "--system", dir_ / "menu.qxm"});
  EXPECT_TRUE(Tree("user").empty());
  // nemo/ and 4 actions, dolphin/ and 4, thunar/ and 1, nautilus-python/ and 1,
  // autostart/ and the login step
  EXPECT_EQ(Tree("system").size(), 16u);
  EXPECT_EQ(Tree("system").count("/nautilus-python/qxm_menu.py"), 1u);
  EXPECT_EQ(ours(ReadFileBytes(dir_ / "system/thunar/uca.xml")), 3u);
  // A user without a script of their own sees the one for all users.
  EXPECT_EQ(run({"menu", dir_ / "sel"}), "> Crypto\n  ---\nWhole folder  =>  \"" +
                                             Fill("RECORDER") + "\" aese \"" + dir_ / "sel" +
                                             "\",\n");

  // Thunar reads a user's own uca.xml only, so a new one starts from the
  // defaults, without the actions for all users, which the user's replace.
  run({"install", dir_ / "menu.qxm"});
  const std::string mine = ReadFileBytes(dir_ / "user/thunar/uca.xml");
  EXPECT_EQ(mine.rfind(vendor.substr(0, vendor.size() - 11), 0), 0u);
  EXPECT_EQ(ours(mine), 3u);

  run({"uninstall", "--system"});
  EXPECT_EQ(Tree("system"),
            (std::map<std::string, std::string>{
                {"/nautilus-python/", ""}, {"/thunar/", ""}, {"/thunar/uca.xml", vendor}}));
  run({"uninstall"});
  EXPECT_EQ(ReadFileBytes(dir_ / "user/thunar/uca.xml"), vendor);
}

}  // namespace

namespace {

// Counts the actions with ids that start so.
std::size_t Count(const std::string& text, const std::string& id) {
  std::size_t count = 0;
  for (std::size_t at = text.find("<unique-id>" + id); at != std::string::npos;
       at = text.find("<unique-id>" + id, at + 1))
    ++count;
  return count;
}

TEST_F(FileManagerMenusTest, ThunarUsersWithTheirOwnListGetTheMenuForAllUsersAtLoginUntilItIsGone) {
  const std::string mine =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n"
      "\t<name>Open Terminal Here</name>\n\t<unique-id>1671234567-1</unique-id>\n"
      "\t<command>exo-open %f</command>\n\t<patterns>*</patterns>\n\t<directories/>\n"
      "</action>\n</actions>\n";
  for (const char* home : {"user", "user/thunar", "fresh"}) ::mkdir((dir_ / home).c_str(), 0700);
  WriteFileBytes(dir_ / "user/thunar/uca.xml", mine);
  MemoryRegistry user, fresh, system;
  MenuFolders systemFolders = SystemFolders();
  systemFolders.xsessionScripts = dir_ / "system/xsession";
  for (const char* folder : {"system", "system/xsession"}) ::mkdir((dir_ / folder).c_str(), 0700);
  const auto scope = [&](MemoryRegistry& registry, const std::string& home) {
    MenuFolders folders = Folders(home);
    folders.thunarDefaults = systemFolders.thunarActions;
    return QxmScope{registry, folders, {}};
  };
  const QxmScope userScope = scope(user, "user");
  const QxmScope freshScope = scope(fresh, "fresh");
  const QxmScope systemScope{system, systemFolders, {}};
  Load(kFeatures);
  const auto run = [&](const QxmScope& who, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    EXPECT_EQ(RunQxm(args, who, systemScope, out, err), 0) << err.str();
    return out.str();
  };
  // A login runs what the autostart entries say, as the desktop would; the
  // login step for all users is this process's sync-user.
  const auto login = [&](const std::string& entry) {
    if (entry == dir_ / "system/autostart/qxm-thunar.desktop") {
      run(userScope, {"sync-user"});
    } else {
      RunAndRecord(AutostartLaunch(entry), dir_ / "record");
    }
  };

  run(userScope, {"install", "--system", dir_ / "menu.qxm"});
  const std::string step = dir_ / "system/autostart/qxm-thunar.desktop";
  EXPECT_EQ(AutostartLaunch(step).argv.back(), "sync-user");
  // The same step before the session starts Thunar, sourced with set -e.
  const std::string sessionStep = dir_ / "system/xsession/90qxm-thunar";
  const std::string program = ShellQuote(AutostartLaunch(step).argv.front());
  EXPECT_NE(ReadFileBytes(sessionStep)
                .find("if [ -x " + program + " ]; then timeout 10 " + program +
                      " sync-user >/dev/null 2>&1 || true; fi\n"),
            std::string::npos);
  login(step);
  run(freshScope, {"sync-user"});
  const std::string merged = ReadFileBytes(dir_ / "user/thunar/uca.xml");
  EXPECT_EQ(merged.rfind(mine.substr(0, mine.size() - 11), 0), 0u);  // theirs first, whole
  EXPECT_EQ(Count(merged, "qxm-all-"), 3u);
  EXPECT_TRUE(Tree("fresh").empty());  // Thunar reads the list for all users for them
  login(step);                         // every login: the same
  EXPECT_EQ(ReadFileBytes(dir_ / "user/thunar/uca.xml"), merged);

  // A script of the user's own replaces the menu for all users.
  run(userScope, {"install", dir_ / "menu.qxm"});
  const std::string own = ReadFileBytes(dir_ / "user/thunar/uca.xml");
  EXPECT_EQ(Count(own, "qxm-all-"), 0u);
  EXPECT_EQ(Count(own, "qxm-"), 3u);
  run(userScope, {"sync-user"});
  EXPECT_EQ(ReadFileBytes(dir_ / "user/thunar/uca.xml"), own);
  run(userScope, {"uninstall"});
  EXPECT_EQ(ReadFileBytes(dir_ / "user/thunar/uca.xml"), mine);
  login(step);
  ASSERT_EQ(ReadFileBytes(dir_ / "user/thunar/uca.xml"), merged);

  // Once the menu for all users is gone, the user's next login takes out
  // what was merged, and the step that did it, leaving the user's own list.
  run(userScope, {"uninstall", "--system"});
  EXPECT_NE(::access(step.c_str(), F_OK), 0);
  EXPECT_NE(::access(sessionStep.c_str(), F_OK), 0);
  login(dir_ / "user/autostart/qxm-thunar-leftovers.desktop");
  EXPECT_EQ(Tree("user"),
            (std::map<std::string, std::string>{
                {"/autostart/", ""}, {"/qxm/", ""}, {"/thunar/", ""}, {"/thunar/uca.xml", mine}}));
}

}  // namespace

namespace {

TEST_F(FileManagerMenusTest, AUsersOwnMenuReplacesTheOneForAllUsers) {
  MemoryRegistry user, system;
  MenuFolders systemFolders = SystemFolders();
  ::mkdir((dir_ / "system").c_str(), 0700);
  ::mkdir(systemFolders.nautilusExtensions.c_str(), 0700);
  MenuFolders userFolders = Folders("user");
  userFolders.nautilusScripts = dir_ / "user/data/nautilus/scripts";
  userFolders.nemoActions = dir_ / "user/data/nemo/actions";
  userFolders.dolphinForAllUsers = systemFolders.dolphinServiceMenus;
  const QxmScope userScope{user, userFolders, {}};
  const QxmScope systemScope{system, systemFolders, {}};
  const auto run = [&](const std::vector<std::string>& args) {
    std::ostringstream out, err;
    EXPECT_EQ(RunQxm(args, userScope, systemScope, out, err), 0) << err.str();
    return out.str();
  };
  Load(kFeatures);
  EXPECT_EQ(run({"install", "--system", dir_ / "menu.qxm"}).find("for all users: "),
            std::string::npos);
  WriteFileBytes(dir_ / "mine.qxm",
                 Fill("%1=RECORDER\n%2=ICON\n0;*;Crypto;Mine;%1;aese %f;h;%2;%2\n"));
  EXPECT_NE(run({"install", dir_ / "mine.qxm"})
                .find("For the current user this script replaces the one installed for all "
                      "users: the file managers show its menu in place of theirs\n"),
            std::string::npos);

  // Dolphin takes one service menu of each name, the user's first.
  ::mkdir((dir_ / "seen").c_str(), 0700);
  for (const std::string& folder :
       {systemFolders.dolphinServiceMenus, userFolders.dolphinServiceMenus}) {
    std::map<std::string, std::string> files;
    Collect(folder, "", files);
    for (const auto& [name, content] : files) WriteFileBytes(dir_ / "seen" + name, content);
  }
  ::mkdir((dir_ / "sel/d").c_str(), 0700);
  WriteFileBytes(dir_ / "sel/x.aes", "x");
  for (const std::vector<std::string>& names :
       std::vector<std::vector<std::string>>{{"x.aes"}, {"d"}, {"d", "x.aes"}}) {
    const Offer mine = names == std::vector<std::string>{"d"} ? Offer{} : Offer{"Mine"};
    EXPECT_EQ(DolphinOffer(dir_ / "seen", Paths(dir_ / "sel", names)), mine) << names.front();
  }

  // Nautilus' extension for all users sees the user's own scripts.
  ::setenv("XDG_DATA_HOME", (dir_ / "user/data").c_str(), 1);
  const std::string offered = NautilusExtensionMenu(
      systemFolders.nautilusExtensions + "/qxm_menu.py", {dir_ / "sel/x.aes"});
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(offered, "");
  EXPECT_NE(NautilusExtensionMenu(systemFolders.nautilusExtensions + "/qxm_menu.py",
                                  {dir_ / "sel/x.aes"}),
            "");

  // Nemo shows an action for all users while its condition, run as Nemo
  // splits it (a shell's words, no shell), exits 0.
  const std::string condition = KeyFile(ReadFileBytes(
      systemFolders.nemoActions + "/qxm-001.nemo_action"))["Nemo Action"]["Conditions"];
  ASSERT_EQ(condition.rfind("exec ", 0), 0u) << condition;
  const std::string check = "XDG_DATA_HOME=" + ShellQuote(dir_ / "user/data") + " " +
                            condition.substr(5, condition.size() - 6);
  EXPECT_NE(std::system(check.c_str()), 0);

  // A menu for all users installed later gets its stand-ins at the next login.
  ::unlink((userFolders.dolphinServiceMenus + "/qxm-03.desktop").c_str());
  run({"sync-user"});
  EXPECT_EQ(::access((userFolders.dolphinServiceMenus + "/qxm-03.desktop").c_str(), F_OK), 0);
  run({"uninstall"});
  EXPECT_TRUE(Tree("user").empty() || Tree("user").count("/dolphin/qxm-03.desktop") == 0);
  EXPECT_EQ(std::system(check.c_str()), 0);
}

}  // namespace

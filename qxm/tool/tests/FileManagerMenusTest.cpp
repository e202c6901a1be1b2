// The Linux file managers' menus that qxm install writes: the files of each
// format, the command each file manager would run from them, and uninstall.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
    ::mkdir((dir_ / "sel").c_str(), 0700);
    WriteFileBytes(dir_ / "icon.ico", "icon");
  }

  MenuFolders Folders(const std::string& home) const {
    return {dir_ / home + "/nautilus",
            dir_ / home + "/nemo",
            dir_ / home + "/dolphin",
            dir_ / home + "/thunar/uca.xml",
            {},
            {}};
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
  std::string Shipped(const std::string& program = "RECORDER") const {
    const std::string text = ReadFileBytes(kShipped + "/veilor.qxm");
    return ReplaceAll(ReplaceAll(text, "@VEILOR_EXE@", program), "@ICON_DIR@\\", kShipped + "/");
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

const std::string kFeatures =
    "%1=RECORDER\n%2=ICON\n"
    "0;*;Crypto\\AES;Encrypt;%1;aese %f;Encrypt it;%2;%2\n"
    "2;*;Crypto;%e;%e;%e;%e;%e;%e\n"
    "0;aes;Crypto;Decrypt;%1;aesd %f;Decrypt it;%2;%2\n"
    "1;*;%e;Whole folder;%1;aese %f;Every file;%2;%2\n";

TEST_F(FileManagerMenusTest, EachFormatWritesNestedSubmenusSeparatorsAndFilters) {
  EXPECT_EQ(Install(kFeatures),
            "Dolphin: has no extension filters; such entries show for every file\n"
            "Dolphin: has one submenu level; deeper submenu names go before the entries' names\n"
            "Nautilus: has no file, folder or extension filters; every entry shows for every "
            "selection\n"
            "Nautilus: has no separators; they are left out\n"
            "Nautilus: shows no icons; they are left out\n"
            "Nemo: has no separators; they are left out\n"
            "Nemo: has no submenus; their names go before the entries' names\n"
            "Thunar: cannot ask for exactly one folder; folder entries show for several\n"
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
      {"/nemo/qxm-001.nemo_action",
       "[Nemo Action]\n# Written by qxm install; qxm uninstall removes it.\nActive=true\n"
       "Name=Crypto: AES: Encrypt\nComment=Encrypt it\nExec='RECORDER' 'aese' %F\n"
       "Icon-Name=ICON\nSelection=notnone\nExtensions=nodirs;\nQuote=double\n"},
      {"/nemo/qxm-002.nemo_action",
       "[Nemo Action]\n# Written by qxm install; qxm uninstall removes it.\nActive=true\n"
       "Name=Crypto: Decrypt\nComment=Decrypt it\nExec='RECORDER' 'aesd' %F\n"
       "Icon-Name=ICON\nSelection=notnone\nExtensions=.aes;\nQuote=double\n"},
      {"/nemo/qxm-003.nemo_action",
       "[Nemo Action]\n# Written by qxm install; qxm uninstall removes it.\nActive=true\n"
       "Name=Whole folder\nComment=Every file\nExec='RECORDER' 'aese' %F\n"
       "Icon-Name=ICON\nSelection=s\nExtensions=dir;\nQuote=double\n"},
      {"/dolphin/", ""},
      {"/dolphin/qxm-01.desktop",
       "[Desktop Entry]\n# Written by qxm install; qxm uninstall removes it.\nType=Service\n"
       "X-KDE-Priority=TopLevel\nMimeType=all/"
       "allfiles;\nX-KDE-Submenu=Crypto\nActions=Qxm1;_SEPARATOR_;qxm2;\n\n"
       "[Desktop Action Qxm1]\nName=AES: Encrypt\nIcon=ICON\nExec=\"RECORDER\" \"aese\" %F\n\n"
       "[Desktop Action qxm2]\nName=Decrypt\nIcon=ICON\nExec=\"RECORDER\" \"aesd\" %F\n(x)"},
      {"/dolphin/qxm-02.desktop",
       "[Desktop Entry]\n# Written by qxm install; qxm uninstall removes it.\nType=Service\n"
       "X-KDE-Priority=TopLevel\nMimeType=inode/"
       "directory;\nX-KDE-RequiredNumberOfUrls=1\nActions=qxm1;\n\n"
       "[Desktop Action qxm1]\nName=Whole folder\nIcon=ICON\nExec=\"RECORDER\" \"aese\" %F\n"
       "(x)"},
      {"/thunar/", ""},
      {"/thunar/uca.xml",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n"
       "<action>\n\t<icon>ICON</icon>\n\t<name>Crypto: AES: Encrypt</name>\n"
       "\t<unique-id>qxm-1</unique-id>\n\t<command>'RECORDER' 'aese' %F</command>\n"
       "\t<description>Encrypt it</description>\n\t<patterns>*</patterns>\n"
       "\t<audio-files/>\n\t<image-files/>\n\t<other-files/>\n\t<text-files/>\n"
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
            "Dolphin: has no extension filters; such entries show for every file\n"
            "Nautilus: has no file, folder or extension filters; every entry shows for every "
            "selection\n"
            "Nautilus: has no separators; they are left out\n"
            "Nautilus: shows no icons; they are left out\n"
            "Nautilus: sorts the entries of each menu by name\n"
            "Nemo: has no separators; they are left out\n"
            "Nemo: has no submenus; their names go before the entries' names\n"
            "Thunar: cannot ask for exactly one folder; folder entries show for several\n"
            "Thunar: has no separators; they are left out\n"
            "Thunar: has no submenus; their names go before the entries' names\n"
            "Thunar: shows an entry that takes no paths only when one item is selected\n");
  std::vector<std::string> paths;
  for (const auto& [path, content] : Tree()) paths.push_back(path);
  // Settings and Password manager for files and for a folder run the same
  // command: one Nautilus script each.
  std::vector<std::string> expected = {"/dolphin/", "/dolphin/qxm-01.desktop",
                                       "/dolphin/qxm-02.desktop", "/nautilus/",
                                       "/nautilus/Veilor/"};
  for (const char* name :
       {"Decrypt AES file", "Decrypt AES files in folder", "Decrypt Triple-DES file",
        "Decrypt Triple-DES files in folder", "Decrypt age file", "Decrypt age files in folder",
        "Encrypt folder with AES", "Encrypt folder with Triple-DES", "Encrypt folder with age",
        "Encrypt with AES", "Encrypt with Triple-DES", "Encrypt with age", "Password manager",
        "Settings"})
    expected.push_back(std::string("/nautilus/Veilor/") + name);
  expected.push_back("/nemo/");
  for (int i = 1; i <= 16; ++i) {
    expected.push_back("/nemo/qxm-0" + std::string(i < 10 ? "0" : "") + std::to_string(i) +
                       ".nemo_action");
  }
  expected.insert(expected.end(), {"/thunar/", "/thunar/uca.xml"});
  EXPECT_EQ(paths, expected);
  const std::string files = Tree()["/dolphin/qxm-01.desktop"];
  EXPECT_NE(files.find("Actions=Qxm1;Qxm2;Qxm3;Qxm4;Qxm5;Qxm6;_SEPARATOR_;qxm7;qxm8;\n"),
            std::string::npos);
  EXPECT_NE(Tree()["/dolphin/qxm-02.desktop"].find("Actions=Qxm1;Qxm2;Qxm3;Qxm4;Qxm5;Qxm6;"
                                                   "_SEPARATOR_;qxm7;qxm8;\n"),
            std::string::npos);
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
  ASSERT_EQ(ids.size(), 12u);
  std::sort(ids.begin(), ids.end());
  std::vector<std::string> shown;  // "-" for a separator
  for (const std::string& id : ids) {
    if (id == "_SEPARATOR_") {
      if (!shown.empty() && shown.back() != "-") shown.push_back("-");
      continue;
    }
    const std::size_t name = file.find("[Desktop Action " + id + "]\nName=");
    ASSERT_NE(name, std::string::npos) << id;
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

TEST_F(FileManagerMenusTest, NautilusExtensionOffersEachSelectionWhatTheMenuOffers) {
  MenuScript script = Load(kFeatures);
  const std::string extension = NautilusExtensionFile(script, dir_ / "qxm_menu.py");
  ::mkdir((dir_ / "sel/x.aes.d").c_str(), 0700);
  for (const char* name : {"x.txt", "x.aes", "y.AES", "noext"})
    WriteFileBytes(dir_ / "sel/" + name, "x");
  for (const std::vector<std::string>& names : std::vector<std::vector<std::string>>{
           {"x.txt"}, {"x.aes"}, {"y.AES"}, {"noext"}, {"x.aes.d"}, {"x.aes.d", "x.txt"}}) {
    SCOPED_TRACE(names.front());
    const std::vector<std::string> paths = Paths(dir_ / "sel", names);
    ASSERT_TRUE(script.SelectItems(std::vector<PathText>(paths.begin(), paths.end())));
    std::string expected;
    for (const ScriptItem& item : script.applicable) {
      if (item.type == Separator) continue;
      for (int level = 0; !script.SubmenuName(item, level).empty(); ++level)
        expected += script.SubmenuName(item, level) + " > ";
      expected += item.name + "\n";
    }
    EXPECT_NE(expected, "");
    EXPECT_EQ(NautilusExtensionMenu(extension, paths), expected);
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
         return NemoLaunch(home + "/nemo/qxm-002.nemo_action", Paths(folder, names));
       }},
      {"Dolphin",
       [](const std::string& home, const std::vector<std::string>& names,
          const std::string& folder) {
         return DolphinLaunch(home + "/dolphin/qxm-01.desktop", "Qxm2", Paths(folder, names));
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
  MenuFolders systemFolders = Folders("system");
  systemFolders.nautilusScripts.clear();
  systemFolders.nautilusExtensions = dir_ / "system/nautilus-python";
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
  // nemo/ and 3 actions, dolphin/ and 2, thunar/ and 1, nautilus-python/ and 1
  EXPECT_EQ(Tree("system").size(), 11u);
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

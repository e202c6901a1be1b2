// Selected paths named in scripts that the ANSI code page cannot hold: they
// choose the items by their extension and reach the command whole. Built
// natively and into the Windows tests, where paths are UTF-16.
#include <gtest/gtest.h>

#include <string_view>

#include "script/CommandComposer.h"
#include "script/MenuModel.h"
#include "script/MenuScript.h"
#include "support/FakeServices.h"
#include "support/ScriptLines.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// A path written in UTF-8, in the platform's own form.
PathText Native(std::string_view utf8) {
#ifdef _WIN32
  const int size = static_cast<int>(utf8.size());
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), size)));
  return wide;
#else
  return PathText(utf8);
#endif
}

const char kCyrillic[] = "C:\\Данные\\отчёт.txt";
const char kChinese[] = "C:\\数据\\报告.TXT";
const char kEmoji[] = "C:\\x\\\xF0\x9F\x94\x92 keys.pdf";
const char kPlain[] = "C:\\x\\plain.txt";

class ForeignNamesTest : public ::testing::Test {
protected:
  ForeignNamesTest()
      : script_(fake_.File("C:\\Tools\\veilor.exe").Folder(Native("C:\\Папка.txt")).Services()) {
    AddLines(script_, {
                          "%1=C:\\Tools\\veilor.exe",
                          "0;txt;%e;Text;%1;t %f;%e;%1;%1",
                          "0;pdf;%e;Pdf;%1;p %f;%e;%1;%1",
                          "0;*;%e;Encrypt;%1;aese %f;%e;%1;%1",
                          "1;*;%e;Folder;%1;f %f;%e;%1;%1",
                      });
  }

  std::vector<std::string> Offered(const std::vector<PathText>& paths) {
    script_.SelectItems(paths);
    std::vector<std::string> names;
    for (const ScriptItem& item : script_.applicable) names.push_back(item.name);
    return names;
  }

  FakeServices fake_;
  MenuScript script_;
};

using Names = std::vector<std::string>;

TEST_F(ForeignNamesTest, TheExtensionAfterTheLastDotChoosesTheItemsExactly) {
  const std::pair<const char*, Names> cases[] = {
      {kCyrillic, {"Text", "Encrypt"}},
      {kChinese, {"Encrypt"}},  // TXT is not txt
      {kEmoji, {"Pdf", "Encrypt"}},
      {"C:\\Папка.txt", {"Folder"}},  // a folder, whatever its name ends with
      {"C:\\文件.d\\无扩展名", {"Encrypt"}},
  };
  for (const auto& [path, names] : cases) {
    EXPECT_EQ(Offered({Native(path)}), names) << path;
  }
  EXPECT_EQ(Offered({Native(kCyrillic), Native(kPlain)}), (Names{"Text", "Pdf", "Encrypt"}));
}

TEST_F(ForeignNamesTest, EveryPathReachesTheCommandAsItIs) {
  const std::vector<PathText> paths = {Native(kCyrillic), Native(kChinese), Native(kEmoji),
                                       Native(kPlain)};
  script_.SelectItems(paths);
  const std::string expected = std::string("aese \"") + kCyrillic + "\",\"" + kChinese + "\",\"" +
                               kEmoji + "\",\"" + kPlain + "\",";
  const ComposedCommand command = ComposeCommand(script_, 2, paths);
  EXPECT_EQ(command.program, Native("\"C:\\Tools\\veilor.exe\""));
  EXPECT_EQ(command.parameters, Native(expected));

  // The menu carries the same command for the entry.
  const MenuModel model = BuildMenu(script_, paths);
  ASSERT_EQ(model.atEnd.size(), 3u);
  EXPECT_EQ(model.atEnd[2].command.parameters, Native(expected));
}

}  // namespace

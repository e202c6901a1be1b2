// The script shipped with the system: its icons, and the menu it gives once
// the installer has filled in its paths.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>

#include "ToolRunner.h"
#include "script/ReplaceAll.h"
#include "support/TempDir.h"

namespace {

const std::string kShipped = QXM_SHIPPED_DIR;

std::uint32_t Little(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = 0; i < size; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(at + i))) << (8 * i);
  }
  return value;
}

TEST(ShippedIconsTest, EveryIconHoldsA16And32PixelImageWithColourAndMask) {
  for (const char* name :
       {"veilor.ico", "age-encrypt.ico", "age-decrypt.ico", "aes-encrypt.ico", "aes-decrypt.ico",
        "des3-encrypt.ico", "des3-decrypt.ico", "settings.ico", "passwords.ico"}) {
    SCOPED_TRACE(name);
    const std::string icon = ReadFileBytes(kShipped + "/" + name);
    ASSERT_GE(icon.size(), 6u + 2u * 16u);
    EXPECT_EQ(Little(icon, 0, 2), 0u);  // reserved
    EXPECT_EQ(Little(icon, 2, 2), 1u);  // an icon, not a cursor
    ASSERT_EQ(Little(icon, 4, 2), 2u);  // two images: 100 % and 200 % menus
    std::uint32_t end = 6 + 2 * 16;
    for (const std::uint32_t pixels : {16u, 32u}) {
      SCOPED_TRACE(pixels);
      const std::uint32_t entry = 6 + (pixels / 16 - 1) * 16;
      EXPECT_EQ(Little(icon, entry, 1), pixels);
      EXPECT_EQ(Little(icon, entry + 1, 1), pixels);
      EXPECT_EQ(Little(icon, entry + 6, 2), 32u);
      const std::uint32_t size = Little(icon, entry + 8, 4);
      const std::uint32_t offset = Little(icon, entry + 12, 4);
      EXPECT_EQ(offset, end);  // the images follow each other
      end = offset + size;
      ASSERT_LE(end, icon.size());
      // A pixels x 2*pixels header (colour plus mask), 32-bit colour, then a
      // 1-bit mask in rows padded to 32 bits.
      EXPECT_EQ(Little(icon, offset, 4), 40u);
      EXPECT_EQ(Little(icon, offset + 4, 4), pixels);
      EXPECT_EQ(Little(icon, offset + 8, 4), 2 * pixels);
      EXPECT_EQ(Little(icon, offset + 14, 2), 32u);
      EXPECT_EQ(size, 40u + pixels * pixels * 4u + pixels * 4u);
    }
    EXPECT_EQ(end, icon.size());
  }
}

class ShippedScriptTest : public ::testing::Test {
protected:
  ShippedScriptTest() {
    WriteFileBytes(Veilor(), "#!/bin/sh\n");
    ::mkdir(Folder().c_str(), 0700);
  }

  std::string Veilor() const { return dir_ / "veilor"; }
  std::string Folder() const { return dir_ / "photos"; }
  ToolRun Run(const std::vector<std::string>& args) {
    return RunTool(args, dir_ / "store", dir_.Path());
  }
  // The template filled in as the installer does, with this machine's paths.
  std::string FilledIn() const {
    const std::string text = ReadFileBytes(kShipped + "/veilor.qxm");
    return ReplaceAll(ReplaceAll(text, "@VEILOR_EXE@", Veilor()), "@ICON_DIR@\\", kShipped + "/");
  }
  std::string Command(const std::string& text, const std::string& parameters) const {
    return "  " + text + "  =>  \"" + Veilor() + "\" " + parameters + "\n";
  }

  TempDir dir_;
};

TEST_F(ShippedScriptTest, TemplateIsNotInstallableBeforeItIsFilledIn) {
  const ToolRun run = Run({"install", kShipped + "/veilor.qxm"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Wrong constant value. Invalid path. Source line: \"%1=@VEILOR_EXE@\"\n");
}

TEST_F(ShippedScriptTest, FilledInScriptGivesTheVeilorSubmenu) {
  WriteFileBytes(dir_ / "veilor.qxm", FilledIn());
  ToolRun run = Run({"install", dir_ / "veilor.qxm"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");

  run = Run({"menu", "/home/me/report.pdf"});
  EXPECT_EQ(run.out, "> Veilor\n" + Command("Encrypt with age", "agee \"/home/me/report.pdf\",") +
                         Command("Encrypt with AES", "aese \"/home/me/report.pdf\",") +
                         Command("Encrypt with Triple-DES", "des3e \"/home/me/report.pdf\",") +
                         "  ---\n" + Command("Settings", "settings") +
                         Command("Password manager", "pm"));

  run = Run({"menu", "/home/me/report.pdf.aes"});
  EXPECT_EQ(run.out,
            "> Veilor\n" + Command("Encrypt with age", "agee \"/home/me/report.pdf.aes\",") +
                Command("Encrypt with AES", "aese \"/home/me/report.pdf.aes\",") +
                Command("Encrypt with Triple-DES", "des3e \"/home/me/report.pdf.aes\",") +
                Command("Decrypt AES file", "aesd \"/home/me/report.pdf.aes\",") + "  ---\n" +
                Command("Settings", "settings") + Command("Password manager", "pm"));

  // Appended in place: GCC 12 at -O3 reports a false overlap for "\"" + a
  // temporary (its bug 105329).
  std::string folder = "\"";
  folder += Folder() + "\",";
  run = Run({"menu", Folder()});
  EXPECT_EQ(run.out, "> Veilor\n" + Command("Encrypt folder with age", "agee " + folder) +
                         Command("Encrypt folder with AES", "aese " + folder) +
                         Command("Encrypt folder with Triple-DES", "des3e " + folder) +
                         Command("Decrypt age files in folder", "aged " + folder) +
                         Command("Decrypt AES files in folder", "aesd " + folder) +
                         Command("Decrypt Triple-DES files in folder", "des3d " + folder) +
                         "  ---\n" + Command("Settings", "settings") +
                         Command("Password manager", "pm"));

  const std::string both = "\"/a.aes\",\"/b.des3\",";
  run = Run({"menu", "/a.aes", "/b.des3"});
  EXPECT_EQ(run.out, "> Veilor\n" + Command("Encrypt with age", "agee " + both) +
                         Command("Encrypt with AES", "aese " + both) +
                         Command("Encrypt with Triple-DES", "des3e " + both) +
                         Command("Decrypt age file", "aged " + both) +
                         Command("Decrypt AES file", "aesd " + both) +
                         Command("Decrypt Triple-DES file", "des3d " + both) + "  ---\n" +
                         Command("Settings", "settings") + Command("Password manager", "pm"));
}

}  // namespace

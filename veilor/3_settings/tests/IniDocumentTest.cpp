#include <gtest/gtest.h>

#include "3_settings/IniDocument.h"

namespace {

TEST(IniDocumentTest, KeepsFileOrderCommentsAndUntouchedSections) {
  const wxString text =
      "; written by hand\n"
      "[Other]\n"
      "zeta=1\n"
      "alpha=2\n"
      "\n"
      "# note\n"
      "[Kept/Too]\n"
      "k = v with spaces inside \n";
  const IniDocument doc = IniDocument::Parse(text);
  const auto entries = doc.Entries("Other");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].key, "zeta");
  EXPECT_EQ(entries[1].key, "alpha");
  EXPECT_EQ(*doc.Value("Kept/Too", "k"), "v with spaces inside");
  EXPECT_EQ(doc.Serialize("\n"),
            "; written by hand\n[Other]\nzeta=1\nalpha=2\n\n# note\n[Kept/Too]\n"
            "k=v with spaces inside\n");
}

TEST(IniDocumentTest, KeysMatchWithoutCaseAndLaterDuplicatesWin) {
  const IniDocument doc = IniDocument::Parse("[G]\nEnableLog=0\nenablelog=1\n[g]\nOther=x\n");
  EXPECT_EQ(*doc.Value("G", "ENABLELOG"), "1");
  const auto entries = doc.Entries("G");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].key, "EnableLog");
  EXPECT_EQ(entries[1].key, "Other");
  EXPECT_FALSE(doc.Value("G", "missing").has_value());
}

TEST(IniDocumentTest, ValuesSurviveQuotingAndEscapes) {
  IniDocument doc;
  const wxString tricky[] = {
      " leading", "trailing\t", "back\\slash", "two\nlines", "\"quoted\"", "plain \"inner\" quote",
      ""};
  std::vector<IniDocument::Entry> entries;
  for (std::size_t i = 0; i < std::size(tricky); ++i) {
    entries.push_back({wxString::Format("k%zu", i), tricky[i]});
  }
  doc.ReplaceSection("S", entries);
  const IniDocument reread = IniDocument::Parse(doc.Serialize("\r\n"));
  for (std::size_t i = 0; i < std::size(tricky); ++i) {
    EXPECT_EQ(*reread.Value("S", wxString::Format("k%zu", i)), tricky[i]) << i;
  }
}

TEST(IniDocumentTest, ReplaceSectionWorksInPlaceAndRemovesWhenEmpty) {
  IniDocument doc = IniDocument::Parse("[A]\na=1\n[B]\nb=1\n[A]\nx=2\n[C]\nc=1\n");
  doc.ReplaceSection("A", {{"n", "9"}});
  doc.ReplaceSection("B", {});
  doc.ReplaceSection("D", {{"d", "4"}});
  EXPECT_EQ(doc.Serialize("\n"), "[A]\nn=9\n[C]\nc=1\n[D]\nd=4\n");
}

TEST(IniDocumentTest, DamagedLinesAreReportedWithTheirNumber) {
  struct Case {
    const char* text;
    std::size_t line;
  };
  const Case cases[] = {
      {"[A]\nno equals sign\n", 2},     {"[A\nk=v\n", 1},
      {"[A] trailing junk\n", 1},       {"[]\n", 1},
      {"[A]\n=value without key\n", 2}, {"[A]\nk=v\n\x01\x02\x03\n", 3},
  };
  for (const Case& c : cases) {
    try {
      IniDocument::Parse(wxString::FromUTF8(c.text));
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const IniDocument::SyntaxError& error) {
      EXPECT_EQ(error.line, c.line) << c.text;
    }
  }
  wxString withNul = "[A]\nk=v";
  withNul += wxUniChar(0);
  withNul += "x\n";
  EXPECT_THROW(IniDocument::Parse(withNul), IniDocument::SyntaxError);
}

// The program's own files are read from their bytes, ASCII without a decoder:
// the result must be what the text reader makes of the same file.
TEST(IniDocumentTest, BytesReadAsTheTextReaderReadsThem) {
  const char* const files[] = {
      "[A]\nk=v\n",
      "; c\n[A]\r\n  key  =  spaced value \r\nempty=\nq=\"  quoted \\\" \"\n\n",
      "[A]\nes\\=caped=a\\tb\\nc\\\\d\\\"\nlast=\\\n[B]\nx=1",
      "[Ä]\nschlüssel=wert ü\\ü\nk\\é=\"ö\"\n",
      "[A]\nk=1\nK=2\n[a]\nk=3\nj=4\n",
  };
  for (const char* file : files) {
    const IniDocument text = IniDocument::Parse(wxString::FromUTF8(file));
    IniDocument bytes = *IniDocument::ParseUtf8(file);
    EXPECT_EQ(bytes.Serialize("\n"), text.Serialize("\n")) << file;
    for (const wxString section : {"A", "B", "\u00C4"}) {
      const auto expected = text.Entries(section);
      const auto taken = bytes.TakeEntries(section);
      ASSERT_EQ(taken.size(), expected.size()) << file;
      for (std::size_t i = 0; i < taken.size(); ++i) {
        EXPECT_EQ(taken[i].key, expected[i].key) << file;
        EXPECT_EQ(taken[i].value, expected[i].value) << file;
      }
      EXPECT_TRUE(bytes.Entries(section).empty()) << file;
    }
  }
  const char* const damaged[] = {"[A]\nno equals\n", "[A]\n =v\n", "[A]\nx=\n  = \n"};
  const std::size_t lines[] = {2, 2, 3};
  for (std::size_t i = 0; i < std::size(damaged); ++i) {
    try {
      IniDocument::ParseUtf8(damaged[i]);
      ADD_FAILURE() << "accepted: " << damaged[i];
    } catch (const IniDocument::SyntaxError& error) {
      EXPECT_EQ(error.line, lines[i]) << damaged[i];
    }
  }
}

TEST(IniDocumentTest, WindowsLineEndsAreRead) {
  const IniDocument doc = IniDocument::Parse("[A]\r\nk=v\r\n");
  EXPECT_EQ(*doc.Value("A", "k"), "v");
}

}  // namespace

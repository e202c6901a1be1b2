#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cryptopp/filters.h>
#include <cryptopp/hex.h>

#include "1_base/Exceptions.h"
#include "2_crypto/AnsiText.h"
#include "2_crypto/HexText.h"
#include "2_crypto/ProtectedString.h"

namespace {

// Computed independently from the encoding's definition (marker, filler,
// AES-128-CTR under the pinned protection key and IV). Stored settings depend
// on these bytes.
struct Pinned {
  const char* utf8;
  int filler;
  const char* encoded;
};

const Pinned kPinned[] = {
    {"", 17,
     "C47CBB3A9375F17C6E6D8C9A35C99DB264F19F87F01674DB3D1905DC0E5541BA16C1245DE5F476948E37404B76BA"
     "865D41D37EA87A81AE2B16ED3DCFBD73A180A5766C715651EF65B318203FE76F947BEC0D59314B9BDB3942629A5E"
     "6C659187FB43821AC253B808E70647EC753E6E1F2EA7C51991D436FD4F10BE70DAA49AE9"},
    {"", 0,
     "C47CCA3EE27182701C1AFDE142CDEBC11586EC83831272D73A6E03A704514AC91CB6515990F00198FA40353005BE"
     "FA2E3CA401AC0585DF27649A4EB4CC77D7F3D2011D7527559C69B66F2644E16B9108E67A5335419FAE353615ED25"
     "1961E5F48834FF1EBF57C704E0713697063A1C6C5FD0B21DE6D047F13D67CD0BDCA09D9A"},
    {"abc", 17,
     "A41F990F9304F2016F678CEB32BC9CB464809CF2F06702A63C1305AD0D2040BC16B02328E58577E98D3D403A77CF"
     "895B41A27FDD7AF0D65615E73DBEBC06A686A5076D045620EC18C512204EE61A977DEC7C58444BEADC4443689A2F"
     "6F109081FB328D6FC222B9759F0C479D764B6F192ED6C26C91A537804C1ABE01ACD19BEF"},
    {"Secret pass 1", 12,
     "9618997CB74493344C2CBCF940FE9AB263F19A87F51600DB491971DC7A5542BA15C1215DE0F471948B37454B75BA"
     "8B5D4CD371A87581D82B6CED47CFC773A480A0766B715151EA65C718543F936FE07B980D5A31489BDE3945629D5E"
     "69659287F8438F1ACF53B708910631EC0F3E141F54A7C01994D431FD4A10BB70AEA4EEE9"},
};

TEST(ProtectStringTest, EncodingsArePinned) {
  for (const Pinned& p : kPinned) {
    const wxString text = wxString::FromUTF8(p.utf8);
    EXPECT_EQ(ProtectString(text, p.filler), p.encoded) << p.utf8 << " / " << p.filler;
    EXPECT_EQ(UnprotectString(p.encoded), text) << p.utf8;
  }
}

// Non-ASCII text is stored in Windows-1252 on every system, as Windows
// writes it: a file written there reads the same here.
TEST(ProtectStringTest, NonAsciiTextIsStoredInWindows1252) {
#ifdef _WIN32
  if (GetACP() != 1252) GTEST_SKIP() << "pinned for code page 1252";
#endif
  const Pinned pinned{
      "Gr\xC3\xBC\xC3\x9F"
      "e",
      5,
      "820F06D1B731F5706B1AFFE140CDE9C11386EA83851270D7386E01A70A5144C912B62859E9F07A988140373003"
      "BEFC2E3AA403AC0785AA27119A39B4CE77D5F3D0011B7521559A69B06F2444E36B9308E87A5D354F9FD7354F15"
      "96251B61E7F48E34F91EB957C504E2714397713A6B6C5DD0B01DE4D041F13B67CB0BDEA09F9A"};
  const wxString text = wxString::FromUTF8(pinned.utf8);
  EXPECT_EQ(ProtectString(text, pinned.filler), pinned.encoded);
  EXPECT_EQ(UnprotectString(pinned.encoded), text);
  // Windows-1252 bytes that also read as UTF-8 ("\xC3\xA9") keep their
  // Windows-1252 meaning.
  const wxString lookalike = wxString::FromUTF8("\xC3\x83\xC2\xA9");
  EXPECT_EQ(UnprotectString(ProtectString(lookalike, 2)), lookalike);
}

#ifndef _WIN32
// Earlier builds for Linux stored the locale's UTF-8; such values still read.
TEST(ProtectStringTest, ValuesStoredInUtf8ByEarlierLinuxBuildsStillRead) {
  const wxString text = wxString::FromUTF8("Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87");
  EXPECT_EQ(
      UnprotectString(
          "9F1C3FB2118376C6E9D8CED847CBEEC71688E1818E107DD54D1B75DE7E5730CF66B8545B95F2069AFE353049"
          "7"
          "1B88E2848AA75AE7187DC2560EF4BCDCB71D0F5D70F1E772457916BBA1A293D976DE70E9C7429373B9DAB373"
          "2"
          "60EA5C1C67E0F2FC3A8B1CCB55B306950435EE033C196A58DEB71FE3D244F33112C072D3A6929C72D1CECA"),
      text);
  EXPECT_FALSE(CanProtectString(text)) << "not in Windows-1252";
}
#endif

#ifdef _WIN32
// Letters the code page lacks are refused rather than stored as lookalikes.
TEST(ProtectStringTest, TextTheCodePageCannotHoldIsRefused) {
  if (GetACP() != 1252) GTEST_SKIP() << "written for code page 1252";
  try {
    ProtectString(wxString::FromUTF8("Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87"), 1);
    ADD_FAILURE() << "stored a text the code page cannot hold";
  } catch (const CSettingsException& error) {
    EXPECT_EQ(error.GetMessage(),
              "The text contains characters that the system code page can't store");
  }
}
#endif

TEST(ProtectStringTest, LongTextsCarryNoFillerAndComeBackWhole) {
  // 64 even characters are still padded (64 < 2 + 64); 66 are not.
  const wxString padded(wxUniChar('x'), 64);
  const wxString unpadded(wxUniChar('y'), 66);
  EXPECT_EQ(ProtectString(padded, 3).length(), 256u);
  EXPECT_EQ(ProtectString(unpadded, 4).length(), 132u);
  EXPECT_EQ(ProtectString(unpadded, 4),
            "BC048377AB49CA3D5426B6A00886A1FB58C9A0CACF2A3D9A75524DE6451A0BF35CF96910A8C83AD5C17C0F"
            "7138F5C71400EB3EE53ABD966A2DA606F5873C9CC9984E");
  EXPECT_EQ(UnprotectString(ProtectString(padded, 3)), padded);
  EXPECT_EQ(UnprotectString(ProtectString(unpadded, 4)), unpadded);
}

TEST(ProtectStringTest, LengthLimitDependsOnParity) {
  const wxString longest(wxUniChar('z'), 125);
  EXPECT_EQ(UnprotectString(ProtectString(longest, 255)), longest);
  for (std::size_t length : {126u, 127u, 200u}) {
    try {
      ProtectString(wxString(wxUniChar('z'), length), 0);
      ADD_FAILURE() << length << " characters were accepted";
    } catch (const CSettingsException& error) {
      EXPECT_EQ(error.GetMessage(), "String is too long. Maximum lenght is 128 byte");
      EXPECT_EQ(error.GetModule(), "Settings exception");
    }
  }
}

TEST(ProtectStringTest, FillerChangesTheEncodingNotTheText) {
  const wxString a = ProtectString("name", 0);
  const wxString b = ProtectString("name", 1);
  EXPECT_NE(a, b);
  EXPECT_EQ(UnprotectString(a), "name");
  EXPECT_EQ(UnprotectString(b), "name");
  // Filler numbers wrap modulo 256 of n * 100.
  EXPECT_EQ(ProtectString("name", 64), ProtectString("name", 0));
}

TEST(ProtectStringTest, TextEndsAtTheFirstMarker) {
  const wxString withMarker = wxString("ab") + wxUniChar(1) + "cd";
  EXPECT_EQ(UnprotectString(ProtectString(withMarker, 5)), "ab");
}

// A damaged value is refused, never read as some other text (an empty
// password above all); an empty value is an unset one.
TEST(UnprotectStringTest, DamagedValuesAreRefused) {
  EXPECT_EQ(ReadProtectedString(""), wxString());
  const wxString good = ProtectString("abc", 17);
  wxString flipped = good;
  flipped[good.length() - 1] = good.Last() == '0' ? '1' : '0';  // in the filler
  for (const wxString& damaged :
       {wxString("not hex at all"), wxString("ABC"), wxString(wxUniChar('F'), 300),
        good.Left(good.length() - 2), flipped, good + "00"}) {
    EXPECT_FALSE(ReadProtectedString(damaged).has_value()) << damaged;
    try {
      UnprotectString(damaged);
      ADD_FAILURE() << "read " << damaged;
    } catch (const CSettingsException& error) {
      EXPECT_TRUE(error.GetMessage().StartsWith("A stored password")) << error.GetMessage();
    }
  }
}

// Values are deciphered with one shared key stream; a value whose bytes
// outrun it (long text in a multibyte code page) gets a stream of its own.
TEST(UnprotectStringTest, ValuesLongerThanTheSharedStreamComeBackWhole) {
  for (const std::size_t length : {1, 80, 125}) {
    const wxString text(wxUniChar(0x20AC), length);  // the euro sign
    if (!ToAnsiBytes(text)) GTEST_SKIP() << "the code page has no euro sign";
    EXPECT_EQ(UnprotectString(ProtectString(text, 7)), text) << length;
  }
}

// Stored values are decoded by hand; damaged ones must give the bytes that the
// crypto library's decoder gave them.
TEST(FromHexTest, DecodesAsTheLibraryDecoderDoes) {
  const char* const cases[] = {"",
                               "00FFa0",
                               "0A1b2C3d4E5f",
                               "ABC",
                               "A B\tC-D",
                               "zz12yy34",
                               "1\xc3\xa9"
                               "2",
                               "7",
                               "G0F0\x7f"
                               "01",
                               "deadBEEF99"};
  for (const char* text : cases) {
    std::string expected;
    CryptoPP::StringSource source(text, true,
                                  new CryptoPP::HexDecoder(new CryptoPP::StringSink(expected)));
    EXPECT_EQ(FromHex(wxString::FromUTF8(text)), expected) << text;
  }
}

}  // namespace

#include <cryptopp/filters.h>
#include <gtest/gtest.h>

#include "1_base/Exceptions.h"
#include "2_crypto/Ciphers.h"
#include "2_crypto/HexText.h"

namespace {

ByteString Transform(CryptoPP::SymmetricCipher& cipher, const ByteString& input) {
  ByteString output;
  CryptoPP::StringSource source(
      input, true,
      new CryptoPP::StreamTransformationFilter(cipher, new CryptoPP::StringSink(output)));
  return output;
}

ByteString Hex(const char* text) { return FromHex(text); }

// NIST SP 800-38A, F.5.1 (CTR-AES128.Encrypt) and F.5.2 (Decrypt).
constexpr const char* kNistKey = "2B7E151628AED2A6ABF7158809CF4F3C";
constexpr const char* kNistCounter = "F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF";
constexpr const char* kNistPlain =
    "6BC1BEE22E409F96E93D7E117393172AAE2D8A571E03AC9C9EB76FAC45AF8E51"
    "30C81C46A35CE411E5FBC1191A0A52EFF69F2445DF4F9B17AD2B417BE66C3710";
constexpr const char* kNistCipher =
    "874D6191B620E3261BEF6864990DB6CE9806F66B7970FDFF8617187BB9FFFDFF"
    "5AE4DF3EDBD5D35E5B4F09020DB03EAB1E031DDA2FBE03D1792170A0F3009CEE";

TEST(AesCipherTest, NistCounterModeEncrypt) {
  auto cipher = MakeAesCipher(kNistKey, Hex(kNistCounter));
  EXPECT_EQ(ToHex(Transform(*cipher, Hex(kNistPlain))), kNistCipher);
}

TEST(AesCipherTest, NistCounterModeDecrypt) {
  auto cipher = MakeAesCipher(kNistKey, Hex(kNistCounter));
  EXPECT_EQ(ToHex(Transform(*cipher, Hex(kNistCipher))), kNistPlain);
}

// The file cipher keyed from the password "password" (padded with 0x02) over
// bytes 0..39, computed independently from the key table's counter block.
constexpr const char* kPasswordKey = "70617373776F72640202020202020202";
constexpr const char* kFileAesCipher =
    "7B00AC3D3E5DF406C1C6518764483C264E1541E3E777E7CFE69BC01E9C8A7DC78D4DDAA4228A172B";

ByteString Bytes0To39() {
  ByteString bytes;
  for (int i = 0; i < 40; ++i) bytes.push_back(static_cast<char>(i));
  return bytes;
}

TEST(AesCipherTest, FileCipherIsPinnedAndSymmetric) {
  EXPECT_EQ(ToHex(Transform(*MakeAesCipher(kPasswordKey), Bytes0To39())), kFileAesCipher);
  EXPECT_EQ(Transform(*MakeAesCipher(kPasswordKey), Hex(kFileAesCipher)), Bytes0To39());
  // Key text decoding ignores case.
  EXPECT_EQ(ToHex(Transform(*MakeAesCipher(wxString(kPasswordKey).Lower()), Bytes0To39())),
            kFileAesCipher);
}

// Computed with: openssl enc -des-ede-cbc -K 70617373776F72640202020202020202
// -iv 41163109879C0D4B (with and without -nopad).
constexpr const char* kDesPlain = "The quick brown fox jumps";
constexpr const char* kDesPadded =
    "0B0679FCBE9851BD5FECD9F12C446B6D8E056715BFB4F96C90CECA9490042D97";
constexpr const char* kDesBlockPlain = "0123456789ABCDEF";
constexpr const char* kDesBlockCipherNoPad = "46744D382472C5C4F175523C8E1F2F72";

TEST(Des3CipherTest, EncryptMatchesIndependentVectorWithPadding) {
  EXPECT_EQ(ToHex(Transform(*MakeDes3Encryptor(kPasswordKey), kDesPlain)), kDesPadded);
}

TEST(Des3CipherTest, DecryptRemovesPadding) {
  EXPECT_EQ(Transform(*MakeDes3Decryptor(kPasswordKey), Hex(kDesPadded)), kDesPlain);
}

TEST(Des3CipherTest, RawBlocksMatchIndependentVector) {
  auto cipher = MakeDes3Encryptor(kPasswordKey);
  ByteString block = kDesBlockPlain;
  auto* data = reinterpret_cast<CryptoPP::byte*>(block.data());
  cipher->ProcessData(data, data, block.size());
  EXPECT_EQ(ToHex(block), kDesBlockCipherNoPad);
}

TEST(Des3CipherTest, WrongPaddingIsDetected) {
  ByteString damaged = Hex(kDesPadded);
  damaged.back() = static_cast<char>(damaged.back() ^ 0x01);
  EXPECT_THROW(Transform(*MakeDes3Decryptor(kPasswordKey), damaged), CryptoPP::Exception);
}

TEST(CipherKeyTest, KeyTextMustHoldSixteenBytes) {
  for (const char* key : {"", "00", "70617373776F726402020202020202",  // 15 bytes
                          "70617373776F7264020202020202020202"}) {     // 17 bytes
    try {
      MakeAesCipher(key);
      ADD_FAILURE() << "AES accepted key " << key;
    } catch (const CKeysException& error) {
      EXPECT_EQ(error.GetMessage(), "Wrong AES key lenght");
    }
    try {
      MakeDes3Encryptor(key);
      ADD_FAILURE() << "Triple-DES accepted key " << key;
    } catch (const CKeysException& error) {
      EXPECT_EQ(error.GetMessage(), "Wrong Triple DES key lenght");
    }
  }
}

}  // namespace

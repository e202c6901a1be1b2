// Triple-DES decryption split across threads gives the bytes and errors of
// the library's serial decryption.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include <cryptopp/filters.h>

#include "2_crypto/Ciphers.h"
#include "2_crypto/SplitCbcDecryptor.h"

namespace {

const char* kKeyText = "70696E6E656402020202020202020202";

// Plain text, or the library's error text when decryption refused.
struct Decrypted {
  std::string bytes;
  std::string error;
  bool operator==(const Decrypted&) const = default;
};

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
  return bytes;
}

std::string Encrypt(const std::string& plain) {
  std::string cipher;
  auto encryptor = MakeDes3Encryptor(kKeyText);
  CryptoPP::StringSource(
      plain, true,
      new CryptoPP::StreamTransformationFilter(*encryptor, new CryptoPP::StringSink(cipher)));
  return cipher;
}

Decrypted Serial(const std::string& cipher) {
  Decrypted result;
  try {
    auto decryptor = MakeDes3Decryptor(kKeyText);
    CryptoPP::StringSource(cipher, true,
                           new CryptoPP::StreamTransformationFilter(
                               *decryptor, new CryptoPP::StringSink(result.bytes)));
  } catch (const CryptoPP::Exception& error) {
    result = {"", error.what()};
  }
  return result;
}

Decrypted Split(const std::string& cipher, unsigned parts, std::size_t minPart, std::size_t chunk) {
  Decrypted result;
  try {
    CryptoPP::StringSink sink(result.bytes);
    SplitCbcDecryptor decryptor([] { return MakeDes3Decryptor(kKeyText); }, sink, parts, minPart);
    const auto* bytes = reinterpret_cast<const CryptoPP::byte*>(cipher.data());
    for (std::size_t at = 0; at < cipher.size(); at += chunk) {
      decryptor.Put(bytes + at, std::min(chunk, cipher.size() - at));
    }
    decryptor.MessageEnd();
  } catch (const CryptoPP::Exception& error) {
    result = {"", error.what()};
  }
  return result;
}

struct Case {
  unsigned parts;
  std::size_t minPart;
  std::size_t cipherSize;  // of the ciphertext, the padding block included
  std::size_t chunk;       // the size of each Put
};

// The last block is held back for the padding, so a ciphertext of n + 8
// bytes splits its first n into the parts: sizes one block below, at and
// above one part, the start of splitting and all parts full.
std::vector<Case> SplitPoints() {
  std::vector<Case> cases;
  const std::size_t kWhole = 1 << 30;
  for (unsigned parts : {2u, 3u}) {
    for (std::size_t minPart : {std::size_t{8}, SplitCbcDecryptor::kMinPartSize}) {
      for (std::size_t size : {0, 8, 16, 24, 32}) cases.push_back({parts, minPart, size, kWhole});
      for (std::size_t run : {minPart, 2 * minPart, parts * minPart}) {
        for (std::size_t size : {run, run + 8, run + 16}) {
          cases.push_back({parts, minPart, size, kWhole});
        }
      }
    }
    // Large and odd, in chunks that cut blocks anywhere.
    for (std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{65536 + 5}, kWhole}) {
      cases.push_back({parts, 8, 1000 * 8, chunk});
      cases.push_back({parts, SplitCbcDecryptor::kMinPartSize, 300 * 1024 + 8, chunk});
    }
  }
  return cases;
}

TEST(SplitCbcDecryptorTest, GivesTheSerialBytesAroundEverySplitPoint) {
  for (const Case& c : SplitPoints()) {
    SCOPED_TRACE(testing::Message() << c.parts << " parts of at least " << c.minPart
                                    << ", ciphertext " << c.cipherSize << ", chunks " << c.chunk);
    // A plain text one byte short of the size gets a padding block of one.
    const std::string cipher = c.cipherSize == 0 ? "" : Encrypt(Pattern(c.cipherSize - 1));
    ASSERT_EQ(cipher.size(), c.cipherSize);
    const Decrypted serial = Serial(cipher);
    if (c.cipherSize > 0) {
      ASSERT_EQ(serial.bytes, Pattern(c.cipherSize - 1));
    }
    EXPECT_EQ(Split(cipher, c.parts, c.minPart, c.chunk), serial);
  }
}

TEST(SplitCbcDecryptorTest, RefusesWhatTheSerialRefusesWithItsError) {
  const std::string good = Encrypt(Pattern(4 * 1024));
  std::string badPadding = good;
  badPadding.back() = static_cast<char>(badPadding.back() ^ 0x01);
  for (const std::string& cipher : {std::string(), good.substr(0, 5), good.substr(0, 13),
                                    good.substr(0, good.size() - 3), badPadding}) {
    SCOPED_TRACE(testing::Message() << "ciphertext " << cipher.size());
    const Decrypted serial = Serial(cipher);
    ASSERT_FALSE(serial.error.empty());
    EXPECT_EQ(Split(cipher, 2, 8, cipher.size() + 1), serial);
    EXPECT_EQ(Split(cipher, 2, 8, 3), serial);
  }
}

TEST(SplitCbcDecryptorTest, TwoAtOnceEachGiveTheirOwnBytes) {
  const std::string first = Encrypt(Pattern(200 * 1024 + 3));
  const std::string second = Encrypt(Pattern(150 * 1024 + 11).substr(17));
  Decrypted firstResult, secondResult;
  {
    std::jthread other([&] { secondResult = Split(second, 2, 1024, 4096 + 5); });
    firstResult = Split(first, 2, 1024, 4096 + 5);
  }
  EXPECT_EQ(firstResult, Serial(first));
  EXPECT_EQ(secondResult, Serial(second));
}

}  // namespace

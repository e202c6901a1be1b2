// The age library on its own: output pinned to exact bytes, round trips
// across the worker threads' batches, and each kind of damage named.
#include <gtest/gtest.h>

#include "1_age/AgeFile.h"
#include "1_age/AgePrimitives.h"
#include "AgeTestSupport.h"

namespace {

constexpr int kFastWorkFactor = 10;

std::string Encrypt(const std::string& plain, const std::string& passphrase, unsigned threads = 2,
                    int workFactor = kFastWorkFactor) {
  MemoryFile in{plain};
  MemoryFile out;
  age::Progress progress;
  progress.threads = threads;
  age::Encryptor::ForPassphrase(passphrase, workFactor).Run(in.Reader(), out.Writer(), progress);
  return out.bytes;
}

// Decrypts, giving what was written even when it fails.
std::string Decrypt(const std::string& file, const std::string& passphrase, unsigned threads = 2,
                    std::string* released = nullptr, int maxWorkFactor = age::kMaxWorkFactor) {
  MemoryFile in{file};
  MemoryFile out;
  age::Progress progress;
  progress.threads = threads;
  try {
    age::Decryptor decryptor(in.Reader());
    decryptor.UnlockWithPassphrase(passphrase, maxWorkFactor);
    decryptor.Run(out.Writer(), progress);
  } catch (...) {
    if (released) *released = out.bytes;
    throw;
  }
  return out.bytes;
}

age::Failure FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const age::AgeError& error) {
    return error.Kind();
  }
  ADD_FAILURE() << "no failure";
  return age::Failure::Resources;
}

// A counter in place of the system's generator.
struct CountingRandom {
  std::uint8_t next = 0;
  age::RandomOverride pin{[this](void* out, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) static_cast<std::uint8_t*>(out)[i] = next++;
  }};
};

TEST(AgeEncoderTest, PassphraseOutputIsPinnedToItsBytes) {
  CountingRandom random;
  std::string file = Encrypt(Pattern(70000), "kat passphrase", 2, kFastWorkFactor);
  // File key 00..0f, salt 10..1f, nonce 20..2f.
  EXPECT_EQ(file.substr(0, file.find("\n---") + 1),
            "age-encryption.org/v1\n"
            "-> scrypt EBESExQVFhcYGRobHB0eHw 10\n"
            "v3+sweeekvVu+14BAga8B52O4tAXR8HeRlDP/93x6qM\n");
  EXPECT_EQ(Sha256Hex(file), "54107b26baaab9ca86be1c952ede3af70571b7b210a6cb5c48f3e5cf6eeb294c");
}

TEST(AgeEncoderTest, RecipientOutputIsPinnedToItsBytes) {
  CountingRandom random;
  std::string recipient = age::RecipientOf(
      "AGE-SECRET-KEY-1EGTZVFFV20835NWYV6270LXYVK2VKNX2MMDKWYKLMGR48UAWX40Q2P2LM0");
  MemoryFile in{Pattern(100)};
  MemoryFile out;
  age::Encryptor::ForRecipients({recipient}).Run(in.Reader(), out.Writer());
  EXPECT_EQ(Sha256Hex(out.bytes),
            "99c1956e21fc7deda3eaee9b2ca30d4b1d44ae6a836b2fdb21150f238b04fc08");
}

TEST(AgeEncoderTest, EveryFileGetsItsOwnKeySaltAndNonce) {
  std::string first = Encrypt("same", "same");
  std::string second = Encrypt("same", "same");
  ASSERT_EQ(first.size(), second.size());
  std::size_t salt = first.find("scrypt ") + 7;
  std::size_t nonce = first.find("\n---") + 49;
  EXPECT_NE(first.substr(salt, 22), second.substr(salt, 22));
  EXPECT_NE(first.substr(nonce, 16), second.substr(nonce, 16));
  age::Encryptor once = age::Encryptor::ForPassphrase("p", kFastWorkFactor);
  MemoryFile in{"x"};
  MemoryFile out;
  once.Run(in.Reader(), out.Writer());
  EXPECT_THROW(once.Run(in.Reader(), out.Writer()), std::logic_error);
}

// Sizes around the chunk size and across several batches of the workers
// (two batches in flight hold threads × 32 chunks each).
TEST(AgeRoundTripTest, EverySizeComesBackWhole) {
  constexpr std::size_t kChunk = 64 * 1024;
  for (unsigned threads : {1u, 3u}) {
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, kChunk - 1, kChunk, kChunk + 1,
                             3 * kChunk, 3 * 32 * threads * kChunk + 5}) {
      std::string plain = Pattern(size);
      std::string file = Encrypt(plain, "päss wörd", threads);
      EXPECT_EQ(file.size(), file.find("\n---") + 49 + 16 + size +
                                 16 * std::max<std::size_t>(1, (size + kChunk - 1) / kChunk))
          << size;
      EXPECT_TRUE(Decrypt(file, "päss wörd", 4 - threads) == plain) << size << " " << threads;
    }
  }
}

TEST(AgeDecryptTest, EachDamageIsNamedAndOnlyVerifiedChunksAreWritten) {
  constexpr std::size_t kSealed = 64 * 1024 + 16;
  const std::string plain = Pattern(5 * 64 * 1024 + 100);
  const std::string file = Encrypt(plain, "pw");
  const std::size_t payload = file.find("\n---") + 49 + 16;
  struct Case {
    const char* name;
    std::function<std::string(std::string)> damage;
    age::Failure failure;
  };
  const Case cases[] = {
      {"byte changed in chunk 2",
       [&](std::string f) {
         f[payload + 2 * kSealed + 1000] ^= 1;
         return f;
       },
       age::Failure::Payload},
      {"chunks 1 and 2 swapped",
       [&](std::string f) {
         std::string one = f.substr(payload + kSealed, kSealed);
         f.replace(payload + kSealed, kSealed, f.substr(payload + 2 * kSealed, kSealed));
         f.replace(payload + 2 * kSealed, kSealed, one);
         return f;
       },
       age::Failure::Payload},
      {"cut at a chunk boundary", [&](std::string f) { return f.substr(0, payload + 5 * kSealed); },
       age::Failure::Truncated},
      {"chunk appended", [&](std::string f) { return f + f.substr(payload, kSealed); },
       age::Failure::Payload},
      {"one byte appended", [&](std::string f) { return f + "x"; }, age::Failure::Payload},
      {"last byte cut", [&](std::string f) { return f.substr(0, f.size() - 1); },
       age::Failure::Payload},
      {"header MAC changed",
       [&](std::string f) {
         char& c = f[payload - 16 - 10];  // a base64 digit of the MAC line, not its last
         c = c == 'A' ? 'B' : 'A';
         return f;
       },
       age::Failure::HeaderMac},
      {"cut inside the nonce", [&](std::string f) { return f.substr(0, payload - 3); },
       age::Failure::Header},
      {"no payload at all", [&](std::string f) { return f.substr(0, payload); },
       age::Failure::Truncated},
  };
  for (const Case& c : cases) {
    std::string released;
    EXPECT_EQ(FailureOf([&] { Decrypt(c.damage(file), "pw", 2, &released); }), c.failure) << c.name;
    EXPECT_TRUE(plain.compare(0, released.size(), released) == 0) << c.name;
  }
}

// Only an empty payload may end in an empty final chunk; our encoder never
// writes one after data, so the file is put together here.
TEST(AgeDecryptTest, EmptyFinalChunkAfterDataIsRefused) {
  std::string file;
  {
    CountingRandom random;  // file key 00..0f
    file = Encrypt(std::string(64 * 1024, 'x'), "pw");
  }
  const std::size_t payload = file.find("\n---") + 49 + 16;
  age::FileKey fileKey;
  for (std::uint8_t i = 0; i < 16; ++i) fileKey[i] = i;
  age::Key key = age::Hkdf(fileKey.data(), 16, file.substr(payload - 16, 16), "payload");
  std::string chunks(64 * 1024 + 16 + 16, '\0');
  std::string plain(64 * 1024, 'x');
  std::uint8_t nonce[12] = {};
  age::Seal(key, nonce, reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size(),
            reinterpret_cast<std::uint8_t*>(chunks.data()));
  nonce[10] = 1;
  nonce[11] = 1;
  age::Seal(key, nonce, nullptr, 0,
            reinterpret_cast<std::uint8_t*>(chunks.data()) + 64 * 1024 + 16);
  std::string released;
  EXPECT_EQ(FailureOf([&] { Decrypt(file.substr(0, payload) + chunks, "pw", 2, &released); }),
            age::Failure::Payload);
}

TEST(AgeDecryptTest, KeysThatDoNotFitAreNamed) {
  const std::string file = Encrypt("text", "right", 2, 12);
  EXPECT_EQ(FailureOf([&] { Decrypt(file, "wrong"); }), age::Failure::WrongPassphrase);
  EXPECT_EQ(FailureOf([&] { Decrypt(file, "right", 2, nullptr, 11); }),
            age::Failure::WorkFactorTooHigh);
  EXPECT_EQ(FailureOf([&] { Decrypt("plain text\n", "right"); }), age::Failure::NotAgeFile);
  std::string identity = age::GenerateIdentity();
  MemoryFile in{"text"};
  MemoryFile sealed;
  age::Encryptor::ForRecipients({age::RecipientOf(identity)}).Run(in.Reader(), sealed.Writer());
  EXPECT_EQ(FailureOf([&] { Decrypt(sealed.bytes, "right"); }), age::Failure::RecipientsOnly);
  MemoryFile passphraseFile{file};
  age::Decryptor decryptor(passphraseFile.Reader());
  EXPECT_EQ(FailureOf([&] { decryptor.Unlock({}, {identity}); }), age::Failure::PassphraseOnly);
  EXPECT_EQ(FailureOf([] { age::Encryptor::ForPassphrase("p", age::kMaxWorkFactor + 1); }),
            age::Failure::WorkFactorTooHigh);
}

TEST(AgeDecryptTest, CancelStopsBeforeTheNextRun) {
  const std::string file = Encrypt(Pattern(200 * 64 * 1024), "pw");
  MemoryFile in{file};
  MemoryFile out;
  age::Decryptor decryptor(in.Reader());
  decryptor.UnlockWithPassphrase("pw");
  age::Progress progress;
  progress.threads = 2;
  std::uint64_t seen = 0;
  progress.advanced = [&](std::uint64_t read) { seen = read; };
  progress.cancelled = [&] { return seen > 0; };
  EXPECT_EQ(FailureOf([&] { decryptor.Run(out.Writer(), progress); }), age::Failure::Cancelled);
  EXPECT_GT(seen, 0u);
  EXPECT_LT(out.bytes.size(), 200u * 64 * 1024);
}

TEST(AgeSniffTest, FirstLineTellsAnAgeFile) {
  const struct {
    const char* start;
    bool age;
  } cases[] = {
      {"age-encryption.org/v1\n-> X25519", true},
      {"\r\n  -----BEGIN AGE ENCRYPTED FILE-----\r\nYWdl", true},
      {"-----BEGIN AGE ENCRYPTED FILE-----\n", true},
      {"age-encryption.org/v1x\n", false},
      {"age-encryption.org/v2\n", false},
      {"-----BEGIN PGP MESSAGE-----\n", false},
      {"hello", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(age::LooksLikeAgeFile(c.start), c.age) << c.start;
}

TEST(AgeKeyTest, KeyTextsAreCheckedAndRoundTrip) {
  // The example pair of the format's description.
  EXPECT_EQ(age::RecipientOf(
                "AGE-SECRET-KEY-1GFPYYSJZGFPYYSJZGFPYYSJZGFPYYSJZGFPYYSJZGFPYYSJZGFPQ4EGAEX"),
            "age1zvkyg2lqzraa2lnjvqej32nkuu0ues2s82hzrye869xeexvn73equnujwj");
  for (const char* bad : {"age1zvkyg2lqzraa2lnjvqej32nkuu0ues2s82hzrye869xeexvn73equnujwk",
                          "AGE1ZVKYG2lqzraa2lnjvqej32nkuu0ues2s82hzrye869xeexvn73equnujwj",
                          "age1qqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqq"}) {
    EXPECT_EQ(FailureOf([&] { age::ParseRecipient(bad); }), age::Failure::BadKey) << bad;
  }
  std::string identity = age::GenerateIdentity();
  EXPECT_EQ(identity.rfind("AGE-SECRET-KEY-1", 0), 0u);
  EXPECT_EQ(age::RecipientOf(identity).rfind("age1", 0), 0u);
}

}  // namespace

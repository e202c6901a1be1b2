#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The primitives age is built on, from the crypto libraries: libsodium where
// it is the faster (scrypt, ChaCha20-Poly1305, X25519, the system's random
// generator), Crypto++ for HKDF and HMAC.
namespace age {

using Bytes = std::string;  // raw bytes; string for easy concatenation
using Key = std::array<std::uint8_t, 32>;
using FileKey = std::array<std::uint8_t, 16>;
constexpr std::size_t kTagSize = 16;
constexpr std::size_t kAeadNonceSize = 12;

// Readies the primitives (libsodium picks its fastest code for the CPU);
// called before any file is sealed or opened. Raises AgeError (Resources).
void InitPrimitives();

// Fills `out` from the system's CSPRNG (tests may replace it through their seam).
void RandomBytes(void* out, std::size_t size);

// HKDF-SHA-256 with a 32-byte output.
Key Hkdf(const void* ikm, std::size_t ikmSize, std::string_view salt, std::string_view info);
// HMAC-SHA-256.
Key HmacSha256(const Key& key, std::string_view data);
bool EqualConstantTime(const void* a, const void* b, std::size_t size);

// scrypt with r = 8, p = 1 and N = 2^logN, 32 bytes; raises AgeError
// (Resources) when its memory cannot be had.
Key Scrypt(std::string_view passphrase, std::string_view salt, int logN);

// ChaCha20-Poly1305 (IETF). Seal writes size + kTagSize bytes; Open takes
// the sealed size (tag included) and writes size - kTagSize bytes, false
// when the tag does not verify.
void Seal(const Key& key, const std::uint8_t* nonce, const std::uint8_t* plain, std::size_t size,
          std::uint8_t* out);
bool Open(const Key& key, const std::uint8_t* nonce, const std::uint8_t* sealed, std::size_t size,
          std::uint8_t* out);

// X25519; false when the result is all zeros (a low-order point).
bool X25519(Key& out, const Key& scalar, const Key& point);
Key X25519Base(const Key& scalar);

void Wipe(void* data, std::size_t size);

// Replaces the random generator while it lives: known-answer tests pin the
// output bytes with it.
class RandomOverride {
public:
  explicit RandomOverride(std::function<void(void*, std::size_t)> source);
  ~RandomOverride();
  RandomOverride(const RandomOverride&) = delete;
  RandomOverride& operator=(const RandomOverride&) = delete;
};

}  // namespace age

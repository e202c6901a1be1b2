#include "1_age/AgePrimitives.h"

#include <sodium.h>

#include <cryptopp/hkdf.h>
#include <cryptopp/hmac.h>
#include <cryptopp/misc.h>
#include <cryptopp/sha.h>

#include "1_age/AgeError.h"

namespace age {
namespace {

std::function<void(void*, std::size_t)>& Replacement() {
  static std::function<void(void*, std::size_t)> replacement;
  return replacement;
}

}  // namespace

void InitPrimitives() {
  static const bool ready = sodium_init() >= 0;
  if (!ready) throw AgeError(Failure::Resources, "libsodium could not be initialised");
}

RandomOverride::RandomOverride(std::function<void(void*, std::size_t)> source) {
  Replacement() = std::move(source);
}
RandomOverride::~RandomOverride() { Replacement() = nullptr; }

void RandomBytes(void* out, std::size_t size) {
  if (Replacement()) {
    Replacement()(out, size);
    return;
  }
  InitPrimitives();
  randombytes_buf(out, size);
}

Key Hkdf(const void* ikm, std::size_t ikmSize, std::string_view salt, std::string_view info) {
  Key out;
  CryptoPP::HKDF<CryptoPP::SHA256> hkdf;
  hkdf.DeriveKey(out.data(), out.size(), static_cast<const CryptoPP::byte*>(ikm), ikmSize,
                 reinterpret_cast<const CryptoPP::byte*>(salt.data()), salt.size(),
                 reinterpret_cast<const CryptoPP::byte*>(info.data()), info.size());
  return out;
}

Key HmacSha256(const Key& key, std::string_view data) {
  Key out;
  CryptoPP::HMAC<CryptoPP::SHA256> mac(key.data(), key.size());
  mac.CalculateDigest(out.data(), reinterpret_cast<const CryptoPP::byte*>(data.data()),
                      data.size());
  return out;
}

bool EqualConstantTime(const void* a, const void* b, std::size_t size) {
  return CryptoPP::VerifyBufsEqual(static_cast<const CryptoPP::byte*>(a),
                                   static_cast<const CryptoPP::byte*>(b), size);
}

Key Scrypt(std::string_view passphrase, std::string_view salt, int logN) {
  InitPrimitives();
  Key out;
  if (crypto_pwhash_scryptsalsa208sha256_ll(
          reinterpret_cast<const std::uint8_t*>(passphrase.data()), passphrase.size(),
          reinterpret_cast<const std::uint8_t*>(salt.data()), salt.size(), std::uint64_t{1} << logN,
          8, 1, out.data(), out.size()) != 0) {
    throw AgeError(Failure::Resources, "scrypt could not run (memory)");
  }
  return out;
}

void Seal(const Key& key, const std::uint8_t* nonce, const std::uint8_t* plain, std::size_t size,
          std::uint8_t* out) {
  crypto_aead_chacha20poly1305_ietf_encrypt(out, nullptr, plain, size, nullptr, 0, nullptr, nonce,
                                            key.data());
}

bool Open(const Key& key, const std::uint8_t* nonce, const std::uint8_t* sealed, std::size_t size,
          std::uint8_t* out) {
  if (size < kTagSize) return false;
  return crypto_aead_chacha20poly1305_ietf_decrypt(out, nullptr, nullptr, sealed, size, nullptr, 0,
                                                   nonce, key.data()) == 0;
}

bool X25519(Key& out, const Key& scalar, const Key& point) {
  InitPrimitives();
  return crypto_scalarmult(out.data(), scalar.data(), point.data()) == 0;
}

Key X25519Base(const Key& scalar) {
  InitPrimitives();
  Key out;
  crypto_scalarmult_base(out.data(), scalar.data());
  return out;
}

void Wipe(void* data, std::size_t size) { sodium_memzero(data, size); }

}  // namespace age

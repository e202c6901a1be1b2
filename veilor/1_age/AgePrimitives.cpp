#include "1_age/AgePrimitives.h"

#include <sodium.h>

#ifdef VEILOR_AEAD_OPENSSL
#include <openssl/evp.h>
#endif
#include <algorithm>

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

#ifdef VEILOR_AEAD_OPENSSL
namespace {

// One context per thread, set to the cipher once and given each chunk's key
// and nonce: fetching the cipher per chunk would cost more than a chunk.
EVP_CIPHER_CTX* AeadContext(bool encrypt) {
  static EVP_CIPHER* const cipher = EVP_CIPHER_fetch(nullptr, "ChaCha20-Poly1305", nullptr);
  struct Contexts {
    EVP_CIPHER_CTX* sealing = nullptr;
    EVP_CIPHER_CTX* opening = nullptr;
    ~Contexts() {
      EVP_CIPHER_CTX_free(sealing);
      EVP_CIPHER_CTX_free(opening);
    }
  };
  thread_local Contexts contexts;
  EVP_CIPHER_CTX*& context = encrypt ? contexts.sealing : contexts.opening;
  if (context == nullptr && cipher != nullptr) {
    EVP_CIPHER_CTX* made = EVP_CIPHER_CTX_new();
    if (made != nullptr &&
        EVP_CipherInit_ex2(made, cipher, nullptr, nullptr, encrypt ? 1 : 0, nullptr) == 1) {
      context = made;
    } else {
      EVP_CIPHER_CTX_free(made);
    }
  }
  if (context == nullptr) throw AgeError(Failure::Resources, "the cipher could not be set up");
  return context;
}

}  // namespace

void Seal(const Key& key, const std::uint8_t* nonce, const std::uint8_t* plain, std::size_t size,
          std::uint8_t* out) {
  EVP_CIPHER_CTX* context = AeadContext(true);
  int written = 0;
  int last = 0;
  if (EVP_CipherInit_ex2(context, nullptr, key.data(), nonce, 1, nullptr) != 1 ||
      EVP_EncryptUpdate(context, out, &written, plain, static_cast<int>(size)) != 1 ||
      EVP_EncryptFinal_ex(context, out + written, &last) != 1 ||
      EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_AEAD_GET_TAG, static_cast<int>(kTagSize), out + size) !=
          1) {
    throw AgeError(Failure::Resources, "the cipher failed");
  }
}

bool Open(const Key& key, const std::uint8_t* nonce, const std::uint8_t* sealed, std::size_t size,
          std::uint8_t* out) {
  if (size < kTagSize) return false;
  const std::size_t plainSize = size - kTagSize;
  EVP_CIPHER_CTX* context = AeadContext(false);
  int written = 0;
  int last = 0;
  // The tag is set before the data; Final compares it.
  std::uint8_t tag[kTagSize];
  std::copy(sealed + plainSize, sealed + size, tag);
  if (EVP_CipherInit_ex2(context, nullptr, key.data(), nonce, 0, nullptr) != 1 ||
      EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_AEAD_SET_TAG, static_cast<int>(kTagSize), tag) != 1 ||
      EVP_DecryptUpdate(context, out, &written, sealed, static_cast<int>(plainSize)) != 1) {
    throw AgeError(Failure::Resources, "the cipher failed");
  }
  return EVP_DecryptFinal_ex(context, out + written, &last) == 1;
}
#else
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
#endif

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

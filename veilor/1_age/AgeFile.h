#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "1_age/AgeError.h"
#include "1_age/AgeHeader.h"
#include "1_age/AgeInput.h"

// age v1 files (age-encryption.org/v1): encryption to a passphrase (scrypt)
// or to X25519 recipients, decryption of binary and ASCII-armored files.
// Every operation reads and writes through the caller's functions, so that
// a caller decides where the bytes go (a temporary file placed only on
// success); failures are raised as AgeError with their kind.
namespace age {

// scrypt's work factor (log2 N): age's default when encrypting, and the
// highest one accepted when decrypting (age's own limit).
constexpr int kDefaultWorkFactor = 18;
constexpr int kMaxWorkFactor = 22;

struct Progress {
  // Called after each run of chunks with the payload's bytes read so far
  // (plaintext when encrypting, sealed chunks when decrypting).
  std::function<void(std::uint64_t bytesRead)> advanced;
  // Asked before each run of chunks; true stops with AgeError (Cancelled).
  std::function<bool()> cancelled;
  // Threads for the payload; 0 for one per core.
  unsigned threads = 0;
};

// How many leading bytes LooksLikeAgeFile needs at most.
constexpr std::size_t kSniffSize = 256;
// True when a file starting with `start` is an age file by its first line:
// the version line, or (after whitespace) the armor's begin line.
bool LooksLikeAgeFile(std::string_view start);

// X25519 keys in their Bech32 texts: "AGE-SECRET-KEY-1…" and "age1…".
std::string GenerateIdentity();
// Raise AgeError (BadKey) for a text that is not such a key.
std::string RecipientOf(const std::string& identity);
Key ParseIdentity(const std::string& text);
Key ParseRecipient(const std::string& text);

// Encrypts files to one passphrase or to recipients. Making it runs the key
// derivation (the slow part with a passphrase), so that a batch can make the
// encryptors of its files ahead of them and side by side. One encryptor
// seals one file: its file key is never used twice.
class Encryptor {
public:
  // The passphrase is taken as its bytes (UTF-8, as age takes it). Raises
  // AgeError: BadKey for an empty one, WorkFactorTooHigh outside 1 to 22.
  static Encryptor ForPassphrase(const std::string& passphrase,
                                 int workFactor = kDefaultWorkFactor);
  static Encryptor ForRecipients(const std::vector<std::string>& recipients);
  ~Encryptor();
  Encryptor(Encryptor&&) noexcept;
  Encryptor& operator=(Encryptor&&) noexcept;

  // Writes the whole age file (binary): header, a fresh nonce, the payload.
  void Run(const ReadFunction& read, const WriteFunction& write, const Progress& progress = {});

private:
  Encryptor() = default;
  FileKey fileKey_{};
  std::string header_;
  bool used_ = false;
};

// Decrypts one file in three steps: the header is read on construction, the
// file key found by Unlock (the slow part with a passphrase), the payload
// written by Run.
class Decryptor {
public:
  // Raises AgeError: NotAgeFile, Header, Armor, Read.
  explicit Decryptor(ReadFunction read);
  ~Decryptor();

  // True when the file is made for a passphrase; its scrypt work factor.
  bool ForPassphrase() const;
  int WorkFactor() const;

  // Find the file key and check the header's MAC. Raise AgeError: Header,
  // WorkFactorTooHigh, WrongPassphrase, NoMatchingIdentity, RecipientsOnly,
  // PassphraseOnly, HeaderMac, BadKey, Resources.
  void UnlockWithPassphrase(const std::string& passphrase, int maxWorkFactor = kMaxWorkFactor);
  void Unlock(const std::vector<std::string>& passphrases,
              const std::vector<std::string>& identities, int maxWorkFactor = kMaxWorkFactor);

  // Writes the plaintext to `write` and returns only once the final chunk
  // has verified and nothing follows it. Only verified chunks are written,
  // in order; on a failure what was written is a verified beginning of the
  // plaintext, which the caller discards. Raises AgeError: Payload,
  // Truncated, Armor, Read, Write, Cancelled.
  void Run(const WriteFunction& write, const Progress& progress = {});

private:
  std::shared_ptr<BufferedInput> input_;
  Header header_;
  Bytes nonce_;
  std::optional<FileKey> fileKey_;
};

}  // namespace age

#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include <cryptopp/cryptlib.h>

#include "2_crypto/WorkerThread.h"

// Decrypts a CBC stream on several cores. Each plain block needs only its own
// ciphertext block and the one before, so a run of blocks splits into parts
// deciphered at once, each part chained from the last ciphertext block of the
// part before it. The last block goes through the library's filter, which
// checks and removes the padding (and reports a wrong length) exactly as a
// serial decryption does, so the bytes and the errors are the same.
//
// Every decryptor has its own ciphers and threads, so any number of them may
// work at the same time.
class SplitCbcDecryptor {
public:
  // Builds a CBC decryptor starting from the stream's IV; one per part.
  using CipherMaker = std::function<std::unique_ptr<CryptoPP::SymmetricCipher>()>;

  // A part below this size is not worth a thread of its own.
  static constexpr std::size_t kMinPartSize = 32 * 1024;
  // One part per core.
  static unsigned DefaultParts();

  SplitCbcDecryptor(const CipherMaker& makeCipher, CryptoPP::BufferedTransformation& sink,
                    unsigned parts = DefaultParts(), std::size_t minPartSize = kMinPartSize);

  // Deciphers what it can of `data` at once and passes it on to the sink.
  void Put(const CryptoPP::byte* data, std::size_t size);
  // Deciphers the rest, removing the padding; raises the library's error
  // when the length or the padding is wrong.
  void MessageEnd();

private:
  void DecryptInParts(CryptoPP::byte* data, std::size_t size);
  // How many parts a run of `size` bytes is deciphered in, starting the
  // threads for them if need be.
  std::size_t PartsFor(std::size_t size);

  CipherMaker makeCipher_;
  CryptoPP::BufferedTransformation& sink_;
  std::size_t minPartSize_;
  std::vector<std::unique_ptr<CryptoPP::SymmetricCipher>> ciphers_;  // one per part
  std::size_t blockSize_;
  // The last ciphertext block deciphered; empty while the ciphers still
  // stand at the IV.
  std::vector<CryptoPP::byte> chain_;
  // The bytes held back: the last whole block (it carries the padding) and
  // any partial one after it.
  std::vector<CryptoPP::byte> held_;
  std::vector<CryptoPP::byte> work_;
  std::vector<std::unique_ptr<WorkerThread>> workers_;  // one per part but the first
  bool outOfThreads_ = false;
};

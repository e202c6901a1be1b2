#include "2_crypto/SplitCbcDecryptor.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include <cryptopp/filters.h>

unsigned SplitCbcDecryptor::DefaultParts() {
  return std::max(1u, std::thread::hardware_concurrency());
}

SplitCbcDecryptor::SplitCbcDecryptor(const CipherMaker& makeCipher,
                                     CryptoPP::BufferedTransformation& sink, unsigned parts,
                                     std::size_t minPartSize)
    : makeCipher_(makeCipher), sink_(sink), minPartSize_(minPartSize) {
  for (unsigned i = 0; i < std::max(1u, parts); ++i) ciphers_.push_back(makeCipher_());
  blockSize_ = ciphers_.front()->MandatoryBlockSize();
  minPartSize_ = std::max(minPartSize_, blockSize_);
}

void SplitCbcDecryptor::Put(const CryptoPP::byte* data, std::size_t size) {
  const std::size_t available = held_.size() + size;
  if (available < 2 * blockSize_) {
    held_.insert(held_.end(), data, data + size);
    return;
  }
  // Whole blocks, leaving one to two blocks' worth held back.
  const std::size_t ready = (available - blockSize_) / blockSize_ * blockSize_;
  const std::size_t fromHeld = std::min(held_.size(), ready);
  const std::size_t fromData = ready - fromHeld;
  work_.resize(ready);
  std::copy_n(held_.begin(), fromHeld, work_.begin());
  std::copy_n(data, fromData, work_.begin() + static_cast<std::ptrdiff_t>(fromHeld));
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(fromHeld));
  held_.insert(held_.end(), data + fromData, data + size);

  DecryptInParts(work_.data(), ready);
  sink_.Put(work_.data(), ready);
}

void SplitCbcDecryptor::MessageEnd() {
  auto cipher = makeCipher_();
  if (!chain_.empty()) cipher->Resynchronize(chain_.data(), static_cast<int>(blockSize_));
  CryptoPP::StreamTransformationFilter last(*cipher, new CryptoPP::Redirector(sink_));
  last.Put(held_.data(), held_.size());
  held_.clear();
  last.MessageEnd();
}

void SplitCbcDecryptor::DecryptInParts(CryptoPP::byte* data, std::size_t size) {
  const std::size_t blocks = size / blockSize_;
  const std::size_t parts = PartsFor(size);
  std::vector<std::size_t> starts(parts + 1);
  for (std::size_t i = 0; i <= parts; ++i) starts[i] = blocks * i / parts * blockSize_;

  // Deciphering in place overwrites the ciphertext, so every part's chaining
  // block, and the one the next run starts from, is copied first.
  std::vector<CryptoPP::byte> chains(parts * blockSize_);
  std::copy(chain_.begin(), chain_.end(), chains.begin());
  for (std::size_t i = 1; i < parts; ++i) {
    std::copy_n(data + starts[i] - blockSize_, blockSize_, chains.begin() + i * blockSize_);
  }
  const std::vector<CryptoPP::byte> next(data + size - blockSize_, data + size);

  const bool fromIv = chain_.empty();
  const auto decrypt = [&](std::size_t i) {
    if (i > 0 || !fromIv) {
      ciphers_[i]->Resynchronize(chains.data() + i * blockSize_, static_cast<int>(blockSize_));
    }
    ciphers_[i]->ProcessData(data + starts[i], data + starts[i], starts[i + 1] - starts[i]);
  };
  for (std::size_t i = 1; i < parts; ++i) workers_[i - 1]->Start([&decrypt, i] { decrypt(i); });
  decrypt(0);
  for (std::size_t i = 1; i < parts; ++i) workers_[i - 1]->Wait();
  chain_ = next;
}

std::size_t SplitCbcDecryptor::PartsFor(std::size_t size) {
  const std::size_t wanted = std::clamp<std::size_t>(size / minPartSize_, 1, ciphers_.size());
  // The threads start with the first run large enough to want them, so small
  // files never start one.
  while (workers_.size() + 1 < wanted && !outOfThreads_) {
    try {
      workers_.push_back(std::make_unique<WorkerThread>());
    } catch (const std::system_error&) {
      outOfThreads_ = true;  // the threads there are share the work
    }
  }
  return std::min(wanted, workers_.size() + 1);
}

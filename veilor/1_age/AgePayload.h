#pragma once

#include <cstdint>
#include <functional>

#include "1_age/AgeInput.h"
#include "1_age/AgePrimitives.h"

// The payload STREAM: 64 KiB chunks of ChaCha20-Poly1305 under a counter
// nonce whose last byte marks the final chunk. Runs of chunks go to worker
// threads; the output is written in order, and at most two batches of runs
// are in memory.
namespace age {

constexpr std::size_t kChunkSize = 64 * 1024;

struct PayloadControl {
  unsigned threads = 1;
  std::function<void(std::uint64_t bytesRead)> advanced;
  std::function<bool()> cancelled;
};

// Seals everything `plain` holds (an empty input gives one empty final chunk).
void EncryptPayload(const Key& payloadKey, BufferedInput& plain, const WriteFunction& write,
                    const PayloadControl& control);

// Opens the chunks of `sealed` to its end. Writes only verified plaintext, in
// order; returns only when the final chunk verified and nothing follows it.
// Raises AgeError: Payload (a changed, reordered or empty final chunk, data
// after the final chunk), Truncated (the input ends before a final chunk).
void DecryptPayload(const Key& payloadKey, BufferedInput& sealed, const WriteFunction& write,
                    const PayloadControl& control);

}  // namespace age

#include "1_age/AgePayload.h"

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "1_age/AgeError.h"

namespace age {
namespace {

constexpr std::size_t kSealedSize = kChunkSize + kTagSize;
// A worker gets a run of chunks, not one: 64 KiB is too little work to be
// worth a hand-over.
constexpr std::size_t kChunksPerRun = 32;
// Bounds the memory on machines with many cores: 4 buffers of 16 MiB.
constexpr std::size_t kMostChunksPerBatch = 256;

enum class Status { Ok, Changed, AfterFinal, Truncated, EmptyFinal };

struct Chunk {
  std::uint64_t index = 0;
  bool last = false;
  std::size_t size = 0;  // of the input
  Status status = Status::Ok;
};

struct Batch {
  std::vector<std::uint8_t> in;
  std::vector<std::uint8_t> out;
  std::vector<Chunk> chunks;
};

void MakeNonce(std::uint8_t* nonce, std::uint64_t index, bool last) {
  std::fill(nonce, nonce + kAeadNonceSize, 0);
  for (int i = 0; i < 8; ++i) nonce[10 - i] = static_cast<std::uint8_t>(index >> (8 * i));
  nonce[11] = last ? 1 : 0;
}

// Reads the next batch of chunks in one read into `batch` (chunk i at
// i * stride); each chunk knows whether it is the last.
void Fill(BufferedInput& input, Batch& batch, std::size_t capacity, std::size_t stride,
          std::uint64_t& next, bool& finished) {
  batch.chunks.clear();
  std::size_t got = input.Read(batch.in.data(), capacity * stride);
  std::size_t count = std::max<std::size_t>(1, (got + stride - 1) / stride);
  finished = got < capacity * stride || input.AtEnd();
  for (std::size_t i = 0; i < count; ++i) {
    Chunk chunk;
    chunk.index = next++;
    chunk.size = std::min(stride, got - std::min(got, i * stride));
    chunk.last = finished && i + 1 == count;
    batch.chunks.push_back(chunk);
  }
}

// Runs `work` on every chunk of a batch on `threads` threads; meanwhile the
// calling thread reads the next batch and hands the one before to `drain`,
// so that reading and writing overlap the cipher. Two batches are in memory.
template <typename Work, typename Drain>
void Pipeline(BufferedInput& input, std::size_t inStride, std::size_t outStride,
              const PayloadControl& control, Work work, Drain drain) {
  unsigned threads = std::max(1u, control.threads);
  std::size_t capacity = std::min(threads * kChunksPerRun, kMostChunksPerBatch);
  Batch batches[2];
  for (Batch& batch : batches) {
    batch.in.resize(capacity * inStride);
    batch.out.resize(capacity * outStride);
  }
  std::uint64_t next = 0;
  bool finished = false;
  // Declared after the batches: on an error the threads are joined before
  // the memory they work on goes.
  std::vector<std::jthread> workers;
  auto start = [&](Batch& batch) {
    if (control.cancelled && control.cancelled()) {
      throw AgeError(Failure::Cancelled, "cancelled");
    }
    std::size_t count = batch.chunks.size();
    std::size_t runs = std::min<std::size_t>(threads, (count + 7) / 8);
    if (runs <= 1 && finished) {
      for (std::size_t i = 0; i < count; ++i) work(batch, i);
      return;
    }
    for (std::size_t run = 0; run < runs; ++run) {
      workers.emplace_back([&batch, &work, run, runs, count] {
        for (std::size_t i = count * run / runs; i < count * (run + 1) / runs; ++i) {
          work(batch, i);
        }
      });
    }
  };
  Fill(input, batches[0], capacity, inStride, next, finished);
  start(batches[0]);
  for (int current = 0;; current = 1 - current) {
    Batch& batch = batches[current];
    Batch& following = batches[1 - current];
    following.chunks.clear();
    if (!finished) Fill(input, following, capacity, inStride, next, finished);
    workers.clear();  // joins
    if (!following.chunks.empty()) start(following);
    drain(batch);
    if (following.chunks.empty()) return;
  }
}

}  // namespace

void EncryptPayload(const Key& payloadKey, BufferedInput& plain, const WriteFunction& write,
                    const PayloadControl& control) {
  std::uint64_t done = 0;
  auto work = [&payloadKey](Batch& batch, std::size_t i) {
    const Chunk& chunk = batch.chunks[i];
    std::uint8_t nonce[kAeadNonceSize];
    MakeNonce(nonce, chunk.index, chunk.last);
    Seal(payloadKey, nonce, batch.in.data() + i * kChunkSize, chunk.size,
         batch.out.data() + i * kSealedSize);
  };
  auto drain = [&](Batch& batch) {
    // Every chunk but the last is full: the batch's output is one run of bytes.
    std::size_t size = 0;
    for (const Chunk& chunk : batch.chunks) size += chunk.size;
    if (!write(batch.out.data(), size + batch.chunks.size() * kTagSize)) {
      throw AgeError(Failure::Write, "the output could not be written");
    }
    done += size;
    if (control.advanced) control.advanced(done);
  };
  Pipeline(plain, kChunkSize, kSealedSize, control, work, drain);
}

void DecryptPayload(const Key& payloadKey, BufferedInput& sealed, const WriteFunction& write,
                    const PayloadControl& control) {
  if (sealed.AtEnd()) throw AgeError(Failure::Truncated, "payload: no chunk");
  std::uint64_t done = 0;
  auto work = [&payloadKey](Batch& batch, std::size_t i) {
    Chunk& chunk = batch.chunks[i];
    const std::uint8_t* in = batch.in.data() + i * kSealedSize;
    std::uint8_t* out = batch.out.data() + i * kChunkSize;
    std::uint8_t nonce[kAeadNonceSize];
    MakeNonce(nonce, chunk.index, chunk.last);
    if (Open(payloadKey, nonce, in, chunk.size, out)) {
      // Only an empty payload has an empty final chunk.
      chunk.status =
          chunk.last && chunk.size == kTagSize && chunk.index > 0 ? Status::EmptyFinal : Status::Ok;
      return;
    }
    // Why it failed, where the other flag tells: a full last chunk that
    // opens as a middle one means the file was cut at a chunk boundary; a
    // middle chunk that opens as the final one has data after it.
    MakeNonce(nonce, chunk.index, !chunk.last);
    bool other = chunk.size == kSealedSize && Open(payloadKey, nonce, in, chunk.size, out);
    if (!other) {
      chunk.status = Status::Changed;
    } else {
      chunk.status = chunk.last ? Status::Truncated : Status::AfterFinal;
    }
  };
  auto drain = [&](Batch& batch) {
    // The verified chunks before a failure are written, and one whose flag
    // does not fit its place (it did verify), as a streaming reader releases
    // them; then the failure is raised.
    std::size_t size = 0;
    std::optional<AgeError> failure;
    for (const Chunk& chunk : batch.chunks) {
      std::string where = "payload: chunk " + std::to_string(chunk.index);
      if (chunk.status == Status::Changed) {
        failure = AgeError(Failure::Payload, where + " does not verify");
        break;
      }
      if (chunk.status == Status::EmptyFinal) {
        failure = AgeError(Failure::Payload, where + " is an empty final chunk");
        break;
      }
      size += chunk.size - kTagSize;
      if (chunk.status == Status::AfterFinal) {
        failure = AgeError(Failure::Payload, where + " is final, data follows");
        break;
      }
      if (chunk.status == Status::Truncated) {
        failure = AgeError(Failure::Truncated, where + " is not the final one");
        break;
      }
    }
    if (size > 0 && !write(batch.out.data(), size)) {
      throw AgeError(Failure::Write, "the output could not be written");
    }
    if (failure) throw *failure;
    done += size;
    if (control.advanced) control.advanced(done);
  };
  Pipeline(sealed, kSealedSize, kChunkSize, control, work, drain);
}

}  // namespace age

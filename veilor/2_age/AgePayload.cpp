#include "2_age/AgePayload.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "2_age/AgeError.h"

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

// Reads chunks of `size` bytes into `batch` until it is full or the input
// ends; each chunk knows whether it is the last.
void Fill(BufferedInput& input, Batch& batch, std::size_t capacity, std::size_t size,
          std::uint64_t& next, bool& finished) {
  batch.chunks.clear();
  while (!finished && batch.chunks.size() < capacity) {
    std::size_t slot = batch.chunks.size();
    std::size_t got = input.Read(batch.in.data() + slot * kSealedSize, size);
    Chunk chunk;
    chunk.index = next++;
    chunk.size = got;
    chunk.last = got < size || input.AtEnd();
    finished = chunk.last;
    batch.chunks.push_back(chunk);
  }
}

// Runs `work` on every chunk of each batch on `threads` threads while the
// calling thread reads the next batch, then hands the batch to `drain`.
template <typename Work, typename Drain>
void Pipeline(BufferedInput& input, std::size_t chunkSize, const PayloadControl& control, Work work,
              Drain drain) {
  unsigned threads = std::max(1u, control.threads);
  std::size_t capacity = std::min(threads * kChunksPerRun, kMostChunksPerBatch);
  Batch batches[2];
  for (Batch& batch : batches) {
    batch.in.resize(capacity * kSealedSize);
    batch.out.resize(capacity * kSealedSize);
  }
  std::uint64_t next = 0;
  bool finished = false;
  Fill(input, batches[0], capacity, chunkSize, next, finished);
  for (int current = 0; !batches[current].chunks.empty(); current = 1 - current) {
    if (control.cancelled && control.cancelled()) {
      throw AgeError(Failure::Cancelled, "cancelled");
    }
    Batch& batch = batches[current];
    Batch& following = batches[1 - current];
    following.chunks.clear();
    std::size_t count = batch.chunks.size();
    std::size_t runs = std::min<std::size_t>(threads, (count + 7) / 8);
    if (runs <= 1 && finished) {
      for (std::size_t i = 0; i < count; ++i) work(batch, i);
    } else {
      std::vector<std::jthread> workers;
      for (std::size_t run = 0; run < runs; ++run) {
        workers.emplace_back([&batch, &work, run, runs, count] {
          for (std::size_t i = count * run / runs; i < count * (run + 1) / runs; ++i) {
            work(batch, i);
          }
        });
      }
      if (!finished) Fill(input, following, capacity, chunkSize, next, finished);
    }
    drain(batch);
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
    Seal(payloadKey, nonce, batch.in.data() + i * kSealedSize, chunk.size,
         batch.out.data() + i * kSealedSize);
  };
  auto drain = [&](Batch& batch) {
    for (std::size_t i = 0; i < batch.chunks.size(); ++i) {
      std::size_t size = batch.chunks[i].size;
      if (!write(batch.out.data() + i * kSealedSize, size + kTagSize)) {
        throw AgeError(Failure::Write, "the output could not be written");
      }
      done += size;
    }
    if (control.advanced) control.advanced(done);
  };
  Pipeline(plain, kChunkSize, control, work, drain);
}

void DecryptPayload(const Key& payloadKey, BufferedInput& sealed, const WriteFunction& write,
                    const PayloadControl& control) {
  if (sealed.AtEnd()) throw AgeError(Failure::Truncated, "payload: no chunk");
  std::uint64_t done = 0;
  auto work = [&payloadKey](Batch& batch, std::size_t i) {
    Chunk& chunk = batch.chunks[i];
    const std::uint8_t* in = batch.in.data() + i * kSealedSize;
    std::uint8_t* out = batch.out.data() + i * kSealedSize;
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
    for (std::size_t i = 0; i < batch.chunks.size(); ++i) {
      const Chunk& chunk = batch.chunks[i];
      std::string where = "payload: chunk " + std::to_string(chunk.index);
      if (chunk.status == Status::Changed) {
        throw AgeError(Failure::Payload, where + " does not verify");
      }
      if (chunk.status == Status::EmptyFinal) {
        throw AgeError(Failure::Payload, where + " is an empty final chunk");
      }
      // A chunk whose flag does not fit its place did verify: it is written
      // as a streaming reader releases it, before the failure is raised.
      if (!write(batch.out.data() + i * kSealedSize, chunk.size - kTagSize)) {
        throw AgeError(Failure::Write, "the output could not be written");
      }
      done += chunk.size;
      if (chunk.status == Status::AfterFinal) {
        throw AgeError(Failure::Payload, where + " is final, data follows");
      }
      if (chunk.status == Status::Truncated) {
        throw AgeError(Failure::Truncated, where + " is not the final one");
      }
    }
    if (control.advanced) control.advanced(done);
  };
  Pipeline(sealed, kSealedSize, control, work, drain);
}

}  // namespace age

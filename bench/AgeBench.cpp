// The age library's own speeds, in memory: one scrypt derivation at the
// default work factor, and the payload sealed and opened on one thread and
// on every core. Prints one line each.
//
//   veilor_age_bench [MiB]   (payload size, default 256)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "1_age/AgeFile.h"

namespace {

double Seconds(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

age::ReadFunction Reader(const std::string& bytes, std::size_t& position) {
  position = 0;
  return [&bytes, &position](void* data, std::size_t size) {
    std::size_t count = std::min(size, bytes.size() - position);
    std::memcpy(data, bytes.data() + position, count);
    position += count;
    return static_cast<long long>(count);
  };
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
  std::vector<double> times;
  for (int i = 0; i < 3; ++i) {
    auto start = std::chrono::steady_clock::now();
    age::Encryptor::ForPassphrase("bench", age::kDefaultWorkFactor);
    times.push_back(Seconds(start));
  }
  std::sort(times.begin(), times.end());
  std::printf("scrypt 2^%d: %.2f s (median of 3)\n", age::kDefaultWorkFactor, times[1]);

  std::string plain(mib << 20, '\0');
  for (std::size_t i = 0; i < plain.size(); i += 4096) plain[i] = static_cast<char>(i >> 12);
  unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  for (unsigned threads : {1u, cores}) {
    age::Progress progress;
    progress.threads = threads;
    std::string sealed;
    // Touched before the clock starts: page faults are not the cipher's.
    sealed.assign(plain.size() + plain.size() / 4096 + 4096, '\0');
    sealed.clear();
    std::size_t position = 0;
    auto start = std::chrono::steady_clock::now();
    age::Encryptor::ForPassphrase("bench", 10)
        .Run(
            Reader(plain, position),
            [&](const void* data, std::size_t size) {
              sealed.append(static_cast<const char*>(data), size);
              return true;
            },
            progress);
    double encrypt = Seconds(start);
    std::size_t opened = 0;
    start = std::chrono::steady_clock::now();
    age::Decryptor decryptor(Reader(sealed, position));
    decryptor.UnlockWithPassphrase("bench");
    decryptor.Run([&](const void*, std::size_t size) { return (opened += size), true; }, progress);
    double decrypt = Seconds(start);
    std::printf("payload %zu MiB, %u thread(s): encrypt %.0f MiB/s, decrypt %.0f MiB/s\n", mib,
                threads, mib / encrypt, mib / decrypt);
    if (opened != plain.size()) return 1;
  }
  return 0;
}

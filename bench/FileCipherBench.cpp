// Throughput and memory of the four file procedures, against `cp` of the same
// file and `openssl enc` (and `enc -d`) with the same key and IV, in one run:
//
//   veilor_file_bench <size-in-MiB> [folder] [runs]
//
// Prints MB/s per way of moving the bytes (median of `runs`, default 3) and
// its ratio to cp and to openssl, and the peak resident memory of each (every
// run is a child process of its own, so each peak is its own).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <wx/filefn.h>
#include <wx/init.h>

#include "2_crypto/FileProcedures.h"
#include "2_crypto/HexText.h"
#include "2_crypto/Keys.h"

namespace {
const char* kKeyText = "70696E6E656402020202020202020202";

struct Measure {
  double seconds;
  double cpuSeconds;  // unaffected by other work on the machine
  long peakKiB;
};

double Seconds(const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; }

// Runs `work` in a child process and returns its wall time and peak memory.
Measure InChild(const std::function<int()>& work) {
  // Every run starts with nothing left to write back from the one before.
  sync();
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) _exit(work());
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "a measured run failed\n");
    std::exit(1);
  }
  return {seconds, Seconds(usage.ru_utime) + Seconds(usage.ru_stime), usage.ru_maxrss};
}

int gRuns = 3;

// The median time and the highest peak of gRuns runs. Every run writes a new
// file, as a user's run does: `output` is removed before each (replacing a
// file costs extra on some file systems, which flush the new file first).
Measure Median(const std::string& output, const std::function<Measure()>& once) {
  std::vector<Measure> runs;
  for (int i = 0; i < gRuns; ++i) {
    std::remove(output.c_str());
    runs.push_back(once());
  }
  std::sort(runs.begin(), runs.end(),
            [](const Measure& a, const Measure& b) { return a.seconds < b.seconds; });
  Measure result = runs[runs.size() / 2];
  for (const Measure& run : runs) result.peakKiB = std::max(result.peakKiB, run.peakKiB);
  return result;
}

Measure Shell(const std::string& command) {
  return InChild([&] { return std::system(command.c_str()) == 0 ? 0 : 1; });
}

Measure Procedure(FileOutcome (*procedure)(const wxString&, const FileContext&),
                  const wxString& path) {
  return InChild([&] {
    // A receiver of the steps, without a window: the steps cost what
    // handing them on costs.
    int steps = 0;
    FileContext context;
    context.keyText = kKeyText;
    context.overwriteExisting = [] { return true; };
    context.removeSource = [] { return false; };
    context.progress = [&steps](int) { ++steps; };
    return procedure(path, context).status == "Done" ? 0 : 1;
  });
}

void WriteRandomFile(const std::string& path, std::size_t mebibytes) {
  std::ofstream out(path, std::ios::binary);
  std::mt19937_64 random(42);
  std::vector<std::uint64_t> block(1 << 17);  // 1 MiB
  for (std::size_t i = 0; i < mebibytes; ++i) {
    for (auto& word : block) word = random();
    out.write(reinterpret_cast<const char*>(block.data()), block.size() * 8);
  }
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <size-in-MiB> [folder] [runs]\n", argv[0]);
    return 2;
  }
  const std::size_t mebibytes = std::strtoul(argv[1], nullptr, 10);
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  if (argc > 3) gRuns = std::max(1, std::atoi(argv[3]));
  wxInitializer toolkit;
  CKeys::Instance();  // the self-test runs once, outside the measurements

  const std::string plain = folder + "/veilor-bench.bin";
  WriteRandomFile(plain, mebibytes);
  const double megabytes = mebibytes * 1048576.0 / 1e6;
  const std::string aesIv = ToHex(CKeys::Instance().Get(CKeys::AesFileIv)).utf8_string();
  const std::string desIv = ToHex(CKeys::Instance().Get(CKeys::Des3FileIv)).utf8_string();
  const std::string p = Quote(plain);

  // Warm the page cache so that every contender reads from memory.
  Shell("cat " + p + " > /dev/null");
  const std::string copy = plain + ".copy";
  const std::string ssl = plain + ".ssl";
  const Measure cp = Median(copy, [&] { return Shell("cp " + p + " " + Quote(copy)); });
  // cp copies inside the kernel; a program that transforms the bytes cannot.
  // dd moves them through user space in 1 MiB blocks, the floor for that.
  const Measure dd = Median(
      copy, [&] { return Shell("dd if=" + p + " of=" + Quote(copy) + " bs=1M status=none"); });
  const Measure sslAes = Median(ssl, [&] {
    return Shell("openssl enc -aes-128-ctr -K " + std::string(kKeyText) + " -iv " + aesIv +
                 " -in " + p + " -out " + Quote(ssl));
  });
  const Measure sslDes = Median(ssl, [&] {
    return Shell("openssl enc -des-ede-cbc -K " + std::string(kKeyText) + " -iv " + desIv +
                 " -in " + p + " -out " + Quote(ssl) + " 2>/dev/null");
  });
  // Triple-DES decryption is set against openssl's own decryption of its
  // ciphertext: CBC decryption can use every core, encryption cannot.
  const Measure sslDesDecrypt = Median(copy, [&] {
    return Shell("openssl enc -d -des-ede-cbc -K " + std::string(kKeyText) + " -iv " + desIv +
                 " -in " + Quote(ssl) + " -out " + Quote(copy) + " 2>/dev/null");
  });

  // Decryption writes beside its input, so it works on a renamed copy that
  // does not overwrite the plain file.
  const std::string back = folder + "/veilor-bench-back.bin";
  const Measure encAes = Median(plain + ".aes", [&] { return Procedure(EncryptFileAes, plain); });
  std::rename((plain + ".aes").c_str(), (back + ".aes").c_str());
  const Measure decAes = Median(back, [&] { return Procedure(DecryptFileAes, back + ".aes"); });
  const Measure encDes = Median(plain + ".des3", [&] { return Procedure(EncryptFileDes3, plain); });
  std::rename((plain + ".des3").c_str(), (back + ".des3").c_str());
  const Measure decDes = Median(back, [&] { return Procedure(DecryptFileDes3, back + ".des3"); });

  std::printf("file: %zu MiB\n", mebibytes);
  std::printf("%-26s %9s %9s %9s %9s %12s\n", "", "MB/s", "x cp", "x openssl", "CPU s", "peak KiB");
  auto row = [&](const char* name, const Measure& m, const Measure* openssl) {
    std::printf("%-26s %9.0f %9.2f ", name, megabytes / m.seconds, m.seconds / cp.seconds);
    if (openssl) {
      std::printf("%9.2f ", m.seconds / openssl->seconds);
    } else {
      std::printf("%9s ", "");
    }
    std::printf("%9.2f %12ld\n", m.cpuSeconds, m.peakKiB);
  };
  row("cp", cp, nullptr);
  row("dd bs=1M", dd, nullptr);
  row("openssl enc aes-128-ctr", sslAes, nullptr);
  row("openssl enc des-ede-cbc", sslDes, nullptr);
  row("openssl enc -d des-ede-cbc", sslDesDecrypt, nullptr);
  row("EncryptFileAes", encAes, &sslAes);
  row("DecryptFileAes", decAes, &sslAes);
  row("EncryptFileDes3", encDes, &sslDes);
  row("DecryptFileDes3", decDes, &sslDesDecrypt);

  for (const std::string& file : {plain, copy, ssl, back, back + ".aes", back + ".des3"}) {
    std::remove(file.c_str());
  }
  return 0;
}

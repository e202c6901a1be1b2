// Throughput and memory of the four file procedures, against `cp` of the same
// file and `openssl enc` with the same key and IV, in one run:
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

#include <wx/event.h>
#include <wx/filefn.h>
#include <wx/init.h>

#include "crypto/FileProcedures.h"
#include "crypto/HexText.h"
#include "crypto/Keys.h"

namespace {
const char* kKeyText = "70696E6E656402020202020202020202";

struct Measure {
  double seconds;
  long peakKiB;
};

// Runs `work` in a child process and returns its wall time and peak memory.
Measure InChild(const std::function<int()>& work) {
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
  return {seconds, usage.ru_maxrss};
}

int gRuns = 3;

// The median time and the highest peak of gRuns runs.
Measure Median(const std::function<Measure()>& once) {
  std::vector<Measure> runs;
  for (int i = 0; i < gRuns; ++i) runs.push_back(once());
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
    // A handler like the report's, without a window: the steps cost what
    // sending them costs.
    wxEvtHandler progress;
    FileContext context;
    context.keyText = kKeyText;
    context.overwriteExisting = [] { return true; };
    context.removeSource = [] { return false; };
    context.progress = &progress;
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
    std::fprintf(stderr, "usage: %s <size-in-MiB> [folder]\n", argv[0]);
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
  const Measure cp = Median([&] { return Shell("cp " + p + " " + Quote(plain + ".copy")); });
  const Measure sslAes = Median([&] {
    return Shell("openssl enc -aes-128-ctr -K " + std::string(kKeyText) + " -iv " + aesIv +
                 " -in " + p + " -out " + Quote(plain + ".ssl"));
  });
  const Measure sslDes = Median([&] {
    return Shell("openssl enc -des-ede-cbc -K " + std::string(kKeyText) + " -iv " + desIv +
                 " -in " + p + " -out " + Quote(plain + ".ssl") + " 2>/dev/null");
  });
  const Measure encAes = Median([&] { return Procedure(EncryptFileAes, plain); });
  const Measure decAes = Median([&] { return Procedure(DecryptFileAes, plain + ".aes"); });
  const Measure encDes = Median([&] { return Procedure(EncryptFileDes3, plain); });
  const Measure decDes = Median([&] { return Procedure(DecryptFileDes3, plain + ".des3"); });

  std::printf("file: %zu MiB\n", mebibytes);
  std::printf("%-26s %9s %9s %9s %12s\n", "", "MB/s", "x cp", "x openssl", "peak KiB");
  auto row = [&](const char* name, const Measure& m, const Measure* openssl) {
    std::printf("%-26s %9.0f %9.2f ", name, megabytes / m.seconds, m.seconds / cp.seconds);
    if (openssl) {
      std::printf("%9.2f ", m.seconds / openssl->seconds);
    } else {
      std::printf("%9s ", "");
    }
    std::printf("%12ld\n", m.peakKiB);
  };
  row("cp", cp, nullptr);
  row("openssl enc aes-128-ctr", sslAes, nullptr);
  row("openssl enc des-ede-cbc", sslDes, nullptr);
  row("EncryptFileAes", encAes, &sslAes);
  row("DecryptFileAes", decAes, &sslAes);
  row("EncryptFileDes3", encDes, &sslDes);
  row("DecryptFileDes3", decDes, &sslDes);

  for (const char* suffix : {"", ".copy", ".ssl", ".aes", ".des3"}) {
    wxRemoveFile(wxString::FromUTF8(plain + suffix));
  }
  return 0;
}

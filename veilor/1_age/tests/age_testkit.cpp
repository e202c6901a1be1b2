// Runs the age library on every vector of a folder of the public age test
// vectors (one file each: "key: value" lines, an empty line, the age file)
// and prints one line per vector and a summary; exits with 1 when a result
// differs from the vector's.
//
//   age_testkit [FOLDER]    (default: the folder built in, or AGE_TESTKIT_DIR)
//
// The library writes only verified chunks and the caller discards them on
// failure, so what it writes before a failure is a verified beginning of
// the plaintext: where a vector names the SHA-256 of the plaintext a
// streaming reader releases, it is compared for failures too.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <cryptopp/filters.h>
#include <cryptopp/zlib.h>

#include "1_age/AgeFile.h"
#include "AgeTestSupport.h"

namespace {

struct Vector {
  std::string expect;
  std::string payload;  // hex SHA-256, may be empty
  std::vector<std::string> passphrases;
  std::vector<std::string> identities;
  int hybridIdentities = 0;
  bool compressed = false;
  std::string file;
};

Vector ReadVector(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Vector vector;
  std::size_t at = 0;
  while (true) {
    std::size_t end = all.find('\n', at);
    if (end == std::string::npos) throw std::runtime_error("no empty line after the keys");
    std::string line = all.substr(at, end - at);
    at = end + 1;
    if (line.empty()) break;
    std::size_t colon = line.find(": ");
    if (colon == std::string::npos) throw std::runtime_error("bad key line: " + line);
    std::string key = line.substr(0, colon);
    std::string value = line.substr(colon + 2);
    // Keys not known here are ignored, not the vector.
    if (key == "expect") vector.expect = value;
    if (key == "payload") vector.payload = value;
    if (key == "passphrase") vector.passphrases.push_back(value);
    if (key == "compressed") vector.compressed = value == "zlib";
    if (key == "identity") {
      if (value.rfind("AGE-SECRET-KEY-PQ-", 0) == 0) {
        ++vector.hybridIdentities;
      } else {
        vector.identities.push_back(value);
      }
    }
  }
  vector.file = all.substr(at);
  if (vector.compressed) {
    std::string plain;
    CryptoPP::StringSource(vector.file, true,
                           new CryptoPP::ZlibDecompressor(new CryptoPP::StringSink(plain)));
    vector.file = plain;
  }
  return vector;
}

struct Result {
  std::string outcome;  // "success" or the collection's failure name
  std::string detail;
  std::string released;
};

Result Decrypt(const Vector& vector) {
  Result result;
  std::size_t position = 0;
  age::ReadFunction read = [&](void* data, std::size_t size) {
    std::size_t count = std::min(size, vector.file.size() - position);
    std::memcpy(data, vector.file.data() + position, count);
    position += count;
    return static_cast<long long>(count);
  };
  age::WriteFunction write = [&](const void* data, std::size_t size) {
    result.released.append(static_cast<const char*>(data), size);
    return true;
  };
  try {
    age::Decryptor decryptor(read);
    decryptor.Unlock(vector.passphrases, vector.identities);
    age::Progress progress;
    progress.threads = 2;  // the runs are small; two threads still cross a batch's runs
    decryptor.Run(write, progress);
    result.outcome = "success";
  } catch (const age::AgeError& error) {
    result.outcome = age::TestkitName(error.Kind());
    result.detail = error.what();
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path folder = VEILOR_AGE_TESTKIT_DIR;
  if (const char* env = std::getenv("AGE_TESTKIT_DIR")) folder = env;
  if (argc > 1) folder = argv[1];
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  if (error || files.empty()) {
    std::cerr << "age_testkit: no vectors in " << folder.string() << "\n";
    return 2;
  }
  std::sort(files.begin(), files.end());
  int passed = 0;
  int failed = 0;
  int skipped = 0;
  for (const auto& path : files) {
    std::string name = path.filename().string();
    Vector vector;
    try {
      vector = ReadVector(path);
    } catch (const std::exception& e) {
      std::cout << "FAIL " << name << ": unreadable vector (" << e.what() << ")\n";
      ++failed;
      continue;
    }
    if (vector.identities.empty() && vector.passphrases.empty() && vector.hybridIdentities > 0) {
      // The post-quantum hybrid type is not implemented.
      std::cout << "skip " << name << ": post-quantum hybrid identity only\n";
      ++skipped;
      continue;
    }
    Result result = Decrypt(vector);
    std::string problem;
    if (result.outcome != vector.expect) {
      problem = "expected " + vector.expect + ", got " + result.outcome;
    } else if (!vector.payload.empty() && Sha256Hex(result.released) != vector.payload) {
      problem = "released plaintext differs from the vector's (" +
                std::to_string(result.released.size()) + " bytes)";
    } else if (vector.payload.empty() && vector.expect != "success" && !result.released.empty()) {
      problem = "released " + std::to_string(result.released.size()) + " bytes on a failure";
    }
    if (problem.empty()) {
      std::cout << "ok   " << name << ": " << result.outcome << "\n";
      ++passed;
    } else {
      std::cout << "FAIL " << name << ": " << problem
                << (result.detail.empty() ? "" : " [" + result.detail + "]") << "\n";
      ++failed;
    }
  }
  std::cout << passed << " passed, " << failed << " failed, " << skipped << " skipped\n";
  return failed == 0 ? 0 : 1;
}

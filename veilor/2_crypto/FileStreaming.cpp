#include "2_crypto/FileStreaming.h"

#include <algorithm>
#include <vector>

#include <cryptopp/files.h>

#include "1_base/AtomicFileWriter.h"
#include "2_crypto/SourceFile.h"

namespace {
// Large enough that system calls cost nothing next to the cipher, small
// enough that memory stays flat whatever the file size.
constexpr std::size_t kChunkSize = 1 << 20;
}  // namespace

// Reads in whole chunks, not step by step: a small file is one read, not a
// hundred. A step is reported once the bytes up to its end are consumed.
void StreamInSteps(SourceFile& source, std::uint64_t length, const ChunkConsumer& consume,
                   const std::function<void(int)>& afterStep) {
  const std::uint64_t stepSize = length / kFileSteps;
  const auto stepEnd = [&](int step) {
    return step < kFileSteps - 1 ? static_cast<std::uint64_t>(step + 1) * stepSize : length;
  };
  std::vector<CryptoPP::byte> buffer(static_cast<std::size_t>(
      std::min<std::uint64_t>(kChunkSize, std::max<std::uint64_t>(length, 1))));
  std::uint64_t done = 0;
  for (int step = 0; step < kFileSteps;) {
    if (done < length) {
      const auto wanted =
          static_cast<std::size_t>(std::min<std::uint64_t>(length - done, buffer.size()));
      const long long got = source.Read(buffer.data(), wanted);
      if (got <= 0) throw CryptoPP::FileStore::ReadErr();
      consume(buffer.data(), static_cast<std::size_t>(got));
      done += static_cast<std::uint64_t>(got);
    }
    for (; step < kFileSteps && stepEnd(step) <= done; ++step) afterStep(step);
  }
}

size_t WriterSink::Put2(const CryptoPP::byte* data, size_t length, int, bool) {
  if (length > 0 && !writer_.Write(data, length)) throw CryptoPP::FileSink::WriteErr();
  return 0;
}

std::string NarrowPath(const wxString& path) { return path.utf8_string(); }

wxString ErrorDescription(const CryptoPP::Exception& error) {
  const wxString text = wxString::FromUTF8(error.what());
  return text.empty() ? wxString(error.what()) : text;
}

#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <cryptopp/filters.h>
#include <wx/string.h>

class AtomicFileWriter;
class SourceFile;

// The number of steps every file is streamed in; the report's progress bar
// moves once per step.
constexpr int kFileSteps = 100;

// Takes each chunk read from the file; it may change the bytes in place.
using ChunkConsumer = std::function<void(CryptoPP::byte* data, std::size_t size)>;

// Streams `length` bytes from the start of `source` to `consume`
// in kFileSteps steps: every step but the last moves length / kFileSteps
// bytes, the last one the rest. `afterStep` gets the step number, 0 to 99.
// Raises the crypto library's read error when the file ends early.
void StreamInSteps(SourceFile& source, std::uint64_t length, const ChunkConsumer& consume,
                   const std::function<void(int)>& afterStep);

// The end of a cipher chain: writes whatever reaches it to `writer`, raising
// the crypto library's write error on failure, like the library's own file
// sink but into a file that appears only when complete.
class WriterSink : public CryptoPP::Bufferless<CryptoPP::Sink> {
public:
  explicit WriterSink(AtomicFileWriter& writer) : writer_(writer) {}
  size_t Put2(const CryptoPP::byte* data, size_t length, int messageEnd, bool blocking) override;

private:
  AtomicFileWriter& writer_;
};

// A path in the narrow form the crypto library's error texts carry: UTF-8,
// which holds a name in any script, where the code page may not.
std::string NarrowPath(const wxString& path);
// The text of a crypto library error, a path in it given back whole.
wxString ErrorDescription(const CryptoPP::Exception& error);

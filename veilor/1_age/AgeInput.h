#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace age {

// Reads up to `size` bytes; the number read, 0 at the end, -1 on an error.
using ReadFunction = std::function<long long(void* data, std::size_t size)>;
// Writes all `size` bytes; false on an error.
using WriteFunction = std::function<bool(const void* data, std::size_t size)>;

// A read function with a buffer: lines for the header, exact reads and a
// look at the next byte for the payload.
class BufferedInput {
public:
  explicit BufferedInput(ReadFunction read);

  // Reads until `size` bytes or the end; the number read. Raises AgeError
  // (Read) on a read error.
  std::size_t Read(void* data, std::size_t size);
  // True when nothing follows.
  bool AtEnd();
  // The next byte without taking it; -1 at the end.
  int Peek();

  enum class Line { Complete, AtEnd, TooLong };
  // Reads up to and including the next LF (not kept). AtEnd: the input ended
  // first (what came is in `line`); TooLong: more than `limit` bytes came
  // without one.
  Line ReadLine(std::string& line, std::size_t limit);

private:
  bool Fill();

  ReadFunction read_;
  std::vector<std::uint8_t> buffer_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
};

// True when the input starts as an ASCII-armored age file: optional
// whitespace, then "-----BEGIN".
bool StartsWithArmor(BufferedInput& input);

// The bytes inside the strict PEM armor of an age file, as a read function;
// raises AgeError (Armor) on anything strict PEM does not allow, when it
// reaches it (the data after the end line is checked when the end is read).
ReadFunction ArmorReader(std::shared_ptr<BufferedInput> armored);

}  // namespace age

#include "1_age/AgeInput.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "1_age/AgeEncoding.h"
#include "1_age/AgeError.h"

namespace age {
namespace {

constexpr std::size_t kBufferSize = 256 * 1024;
constexpr std::string_view kBegin = "-----BEGIN AGE ENCRYPTED FILE-----";
constexpr std::string_view kEnd = "-----END AGE ENCRYPTED FILE-----";
constexpr std::size_t kArmorColumns = 64;

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

[[noreturn]] void ArmorFailure(const std::string& detail) {
  throw AgeError(Failure::Armor, "armor: " + detail);
}

// Strict PEM, LF or CRLF line ends: a begin line, base64 lines of exactly
// 64 columns but the last (1 to 64, padded to a multiple of 4), the end
// line, and only whitespace around the block.
class Armor {
public:
  explicit Armor(std::shared_ptr<BufferedInput> input) : input_(std::move(input)) {}

  long long Read(void* data, std::size_t size) {
    while (position_ == decoded_.size() && !ended_) NextLine();
    std::size_t count = std::min(size, decoded_.size() - position_);
    std::memcpy(data, decoded_.data() + position_, count);
    position_ += count;
    return static_cast<long long>(count);
  }

private:
  // One armor line without its line end; false when the input ended first.
  bool Line(std::string& line) {
    BufferedInput::Line got = input_->ReadLine(line, kArmorColumns + 2);
    if (got == BufferedInput::Line::TooLong) ArmorFailure("line too long");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return got == BufferedInput::Line::Complete;
  }

  void NextLine() {
    std::string line;
    if (!begun_) {
      while (IsSpace(input_->Peek())) {
        char skipped;
        input_->Read(&skipped, 1);
      }
      if (!Line(line) || line != kBegin) ArmorFailure("no begin line");
      begun_ = true;
      return;
    }
    bool complete = Line(line);
    if (line == kEnd) {
      ended_ = true;
      while (!input_->AtEnd()) {
        char after;
        input_->Read(&after, 1);
        if (!IsSpace(static_cast<unsigned char>(after))) ArmorFailure("data after the end line");
      }
      return;
    }
    if (!complete) ArmorFailure("no end line");
    if (lastSeen_) ArmorFailure("a short line before the end");
    if (line.empty() || line.size() % 4 != 0) ArmorFailure("bad line length");
    if (line.size() < kArmorColumns) lastSeen_ = true;
    std::size_t padding = 0;
    while (padding < 2 && padding < line.size() && line[line.size() - 1 - padding] == '=') {
      ++padding;
    }
    if (padding > 0) lastSeen_ = true;
    std::optional<std::string> bytes =
        DecodeBase64(std::string_view(line).substr(0, line.size() - padding));
    if (!bytes) ArmorFailure("not canonical base64");
    decoded_ = std::move(*bytes);
    position_ = 0;
  }

  std::shared_ptr<BufferedInput> input_;
  std::string decoded_;
  std::size_t position_ = 0;
  bool begun_ = false;
  bool lastSeen_ = false;  // a short or padded line came: only the end may follow
  bool ended_ = false;
};

}  // namespace

BufferedInput::BufferedInput(ReadFunction read) : read_(std::move(read)), buffer_(kBufferSize) {}

bool BufferedInput::Fill() {
  if (position_ < end_) return true;
  if (ended_) return false;
  position_ = 0;
  end_ = 0;
  long long got = read_(buffer_.data(), buffer_.size());
  if (got < 0) throw AgeError(Failure::Read, "the input could not be read");
  if (got == 0) {
    ended_ = true;
    return false;
  }
  end_ = static_cast<std::size_t>(got);
  return true;
}

std::size_t BufferedInput::Read(void* data, std::size_t size) {
  auto* out = static_cast<std::uint8_t*>(data);
  std::size_t done = 0;
  while (done < size) {
    if (position_ == end_ && size - done >= buffer_.size() && !ended_) {
      // Large reads go straight to the caller's memory.
      long long got = read_(out + done, size - done);
      if (got < 0) throw AgeError(Failure::Read, "the input could not be read");
      if (got == 0) {
        ended_ = true;
        break;
      }
      done += static_cast<std::size_t>(got);
      continue;
    }
    if (!Fill()) break;
    std::size_t count = std::min(size - done, end_ - position_);
    std::memcpy(out + done, buffer_.data() + position_, count);
    position_ += count;
    done += count;
  }
  return done;
}

bool BufferedInput::AtEnd() { return !Fill(); }

int BufferedInput::Peek() { return Fill() ? buffer_[position_] : -1; }

BufferedInput::Line BufferedInput::ReadLine(std::string& line, std::size_t limit) {
  line.clear();
  while (Fill()) {
    const std::uint8_t* start = buffer_.data() + position_;
    const auto* found =
        static_cast<const std::uint8_t*>(std::memchr(start, '\n', end_ - position_));
    std::size_t count = found ? static_cast<std::size_t>(found - start) : end_ - position_;
    if (line.size() + count > limit) return Line::TooLong;
    line.append(reinterpret_cast<const char*>(start), count);
    position_ += count;
    if (found) {
      ++position_;
      return Line::Complete;
    }
  }
  return Line::AtEnd;
}

bool StartsWithArmor(BufferedInput& input) {
  // A binary age file starts with its version line, so whitespace or a dash
  // first can only be armor (or no age file, which the armor reader says).
  int first = input.Peek();
  return IsSpace(first) || first == '-';
}

ReadFunction ArmorReader(std::shared_ptr<BufferedInput> armored) {
  auto armor = std::make_shared<Armor>(std::move(armored));
  return [armor](void* data, std::size_t size) { return armor->Read(data, size); };
}

}  // namespace age

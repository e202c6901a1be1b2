#include "1_base/AsciiText.h"

#include <cstdint>
#include <cstring>
#include <string>

bool IsPlainAscii(std::string_view bytes) {
  // Eight bytes at a time: a high bit or a zero byte in the word.
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighs = 0x8080808080808080;
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + i, sizeof word);
    if ((word & kHighs) != 0 || ((word - kOnes) & ~word & kHighs) != 0) return false;
  }
  for (; i < bytes.size(); ++i) {
    if (bytes[i] == 0 || static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
  }
  return true;
}

wxString WidenAscii(std::string_view bytes) {
  // One buffer per thread: the widened text is copied once into the string,
  // the toolkit having no way to fill a string's own storage directly.
  thread_local std::wstring wide;
  wide.resize(bytes.size());
  wchar_t* out = wide.data();
  for (const char c : bytes) *out++ = static_cast<wchar_t>(c);
  return wxString(wide.data(), wide.size());
}

#include "2_crypto/AnsiText.h"

#ifdef __WINDOWS__
#include <windows.h>
#else
#include <wx/strconv.h>

#include "1_base/AsciiText.h"
#endif

#ifdef __WINDOWS__

std::optional<ByteString> ToAnsiBytes(const wxString& text) {
  if (text.empty()) return ByteString();
  const std::wstring wide = text.ToStdWstring();
  BOOL usedDefault = FALSE;
  const int size =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          nullptr, 0, nullptr, &usedDefault);
  if (size <= 0 || usedDefault) return std::nullopt;
  ByteString bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                      bytes.data(), size, nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  return bytes;
}

wxString FromAnsiBytes(const ByteString& bytes) {
  if (bytes.empty()) return wxString();
  const int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(),
                                       static_cast<int>(bytes.size()), nullptr, 0);
  if (size <= 0) return wxString();
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                      wide.data(), size);
  return wxString(wide);
}

#else

std::optional<ByteString> ToAnsiBytes(const wxString& text) {
  if (text.empty()) return ByteString();
  std::size_t length = 0;
  const wxCharBuffer buffer = wxConvLibc.cWC2MB(text.wc_str(), text.length(), &length);
  if (!buffer.data()) return std::nullopt;
  return ByteString(buffer.data(), length);
}

wxString FromAnsiBytes(const ByteString& bytes) {
  if (bytes.empty()) return wxString();
  // Plain ASCII reads the same in every code page the C library knows and
  // is widened directly: thousands of stored passwords are read at a start.
  if (IsPlainAscii(bytes)) return WidenAscii(bytes);
  std::size_t length = 0;
  const wxWCharBuffer buffer = wxConvLibc.cMB2WC(bytes.data(), bytes.size(), &length);
  if (!buffer.data()) return wxString();
  return wxString(buffer.data(), length);
}

#endif

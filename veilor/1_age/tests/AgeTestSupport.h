#pragma once

#include <cryptopp/filters.h>
#include <cryptopp/hex.h>
#include <cryptopp/sha.h>

#include <cstring>
#include <string>

#include "1_age/AgeFile.h"

// Files in memory for the age tests.
struct MemoryFile {
  std::string bytes;
  std::size_t position = 0;

  age::ReadFunction Reader() {
    position = 0;
    return [this](void* data, std::size_t size) {
      std::size_t count = std::min(size, bytes.size() - position);
      std::memcpy(data, bytes.data() + position, count);
      position += count;
      return static_cast<long long>(count);
    };
  }
  age::WriteFunction Writer() {
    return [this](const void* data, std::size_t size) {
      bytes.append(static_cast<const char*>(data), size);
      return true;
    };
  }
};

// Bytes that differ from chunk to chunk, so that a misplaced chunk shows.
inline std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7919) & 0xFF);
  return bytes;
}

// Lower-case hexadecimal SHA-256, as the test vectors give payloads.
inline std::string Sha256Hex(const std::string& bytes) {
  std::string hex;
  CryptoPP::SHA256 hash;
  CryptoPP::StringSource(bytes, true,
                         new CryptoPP::HashFilter(
                             hash, new CryptoPP::HexEncoder(new CryptoPP::StringSink(hex), false)));
  return hex;
}

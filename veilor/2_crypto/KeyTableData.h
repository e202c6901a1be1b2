#pragma once

#include <cstddef>

// One entry of the key table as the program stores it: enciphered, so that
// the working values do not stand in the binary as they are used.
struct StoredKeyEntry {
  int id;
  const unsigned char* bytes;
  std::size_t size;
};

// The stored entries in ascending ID order.
const StoredKeyEntry* StoredKeyTable(std::size_t& count);

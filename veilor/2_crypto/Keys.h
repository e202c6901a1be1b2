#pragma once

#include <map>

#include "2_crypto/ByteString.h"

// The table of internal byte strings: the keys and IVs the program's ciphers
// are built from. The values are fixed per build; files and settings written
// with one table are readable only with the same table.
class CKeys {
public:
  enum Id : int {
    ProtectKey = 0,      // key of the protected-string encoding
    ProtectIv = 1,       // IV of the protected-string encoding
    TablePassKey = 2,    // key of the table's own start-up pass
    TablePassIv = 3,     // IV of the table's own start-up pass
    AesFileIv = 6,       // initial counter block of the AES file cipher
    Des3FileIv = 7,      // IV of the Triple-DES file cipher
    FileMarker = 8,      // marker in every encrypted file's trailer
    TrailerCounter = 9,  // counter block that enciphers a file's trailer
  };

  // The process-wide table, built on first use after the crypto library's
  // self-test has passed. Throws CKeysException when the self-test fails.
  static const CKeys& Instance();

  // Copy of an entry's bytes. Throws CKeysException for an ID not in the table.
  ByteString Get(int id) const;

private:
  CKeys();

  std::map<int, ByteString> entries_;
};

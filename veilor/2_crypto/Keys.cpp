#include "2_crypto/Keys.h"

#include <cryptopp/aes.h>
#include <cryptopp/fips140.h>
#include <cryptopp/modes.h>

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "2_crypto/KeyTableData.h"

namespace {

void RequireLibrarySelfTest() {
  // The static and non-Windows builds of the library have no DLL self-test;
  // this runs the same known-answer tests and skips only the module MAC.
  CryptoPP::DoPowerUpSelfTest(nullptr, nullptr);
  if (CryptoPP::GetPowerUpSelfTestStatus() != CryptoPP::POWER_UP_SELF_TEST_PASSED) {
    throw CKeysException(Msg(msg::SelfTestFailed));
  }
}

}  // namespace

const CKeys& CKeys::Instance() {
  static const CKeys keys;
  return keys;
}

CKeys::CKeys() {
  RequireLibrarySelfTest();

  std::size_t count = 0;
  const StoredKeyEntry* stored = StoredKeyTable(count);
  for (std::size_t i = 0; i < count; ++i) {
    entries_.emplace(stored[i].id,
                     ByteString(reinterpret_cast<const char*>(stored[i].bytes), stored[i].size));
  }

  // One cipher for the whole pass: its key stream runs on from entry to entry.
  const ByteString passKey = entries_.at(TablePassKey);
  const ByteString passIv = entries_.at(TablePassIv);
  CryptoPP::CTR_Mode<CryptoPP::AES>::Encryption pass(
      reinterpret_cast<const CryptoPP::byte*>(passKey.data()), passKey.size(),
      reinterpret_cast<const CryptoPP::byte*>(passIv.data()));
  for (auto& [id, bytes] : entries_) {
    auto* data = reinterpret_cast<CryptoPP::byte*>(bytes.data());
    pass.ProcessData(data, data, bytes.size());
  }
}

ByteString CKeys::Get(int id) const {
  const auto it = entries_.find(id);
  if (it == entries_.end()) {
    throw CKeysException(wxString::Format("Unknown key table entry %d", id));
  }
  return it->second;
}

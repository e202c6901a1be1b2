#include "2_crypto/Ciphers.h"

#include <cryptopp/aes.h>
#include <cryptopp/des.h>
#include <cryptopp/modes.h>

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "2_crypto/HexText.h"
#include "2_crypto/Keys.h"

namespace {

constexpr std::size_t kKeyBytes = 16;

ByteString DecodeKey(const wxString& keyText, int lengthMessage) {
  ByteString key = FromHex(keyText);
  if (key.size() != kKeyBytes) throw CKeysException(Msg(lengthMessage));
  return key;
}

const CryptoPP::byte* Bytes(const ByteString& bytes) {
  return reinterpret_cast<const CryptoPP::byte*>(bytes.data());
}

template <typename Mode>
std::unique_ptr<CryptoPP::SymmetricCipher> MakeDes3(const wxString& keyText) {
  const ByteString key = DecodeKey(keyText, msg::WrongDes3KeyLength);
  const ByteString iv = CKeys::Instance().Get(CKeys::Des3FileIv);
  return std::make_unique<Mode>(Bytes(key), key.size(), Bytes(iv));
}

}  // namespace

std::unique_ptr<CryptoPP::SymmetricCipher> MakeAesCipher(const wxString& keyText) {
  return MakeAesCipher(keyText, CKeys::Instance().Get(CKeys::AesFileIv));
}

std::unique_ptr<CryptoPP::SymmetricCipher> MakeAesCipher(const wxString& keyText,
                                                         const ByteString& counterBlock) {
  const ByteString key = DecodeKey(keyText, msg::WrongAesKeyLength);
  return std::make_unique<CryptoPP::CTR_Mode<CryptoPP::AES>::Encryption>(
      Bytes(key), key.size(), Bytes(counterBlock), counterBlock.size());
}

std::unique_ptr<CryptoPP::SymmetricCipher> MakeDes3Encryptor(const wxString& keyText) {
  return MakeDes3<CryptoPP::CBC_Mode<CryptoPP::DES_EDE2>::Encryption>(keyText);
}

std::unique_ptr<CryptoPP::SymmetricCipher> MakeDes3Decryptor(const wxString& keyText) {
  return MakeDes3<CryptoPP::CBC_Mode<CryptoPP::DES_EDE2>::Decryption>(keyText);
}

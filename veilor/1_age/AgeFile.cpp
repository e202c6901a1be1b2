#include "1_age/AgeFile.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "1_age/AgeEncoding.h"
#include "1_age/AgePayload.h"

namespace age {
namespace {

constexpr std::size_t kNonceSize = 16;
constexpr char kIdentityHrp[] = "age-secret-key-";
constexpr char kRecipientHrp[] = "age";

Key PayloadKey(const FileKey& fileKey, std::string_view nonce) {
  return Hkdf(fileKey.data(), fileKey.size(), nonce, "payload");
}

PayloadControl Control(const Progress& progress) {
  InitPrimitives();
  unsigned threads = progress.threads ? progress.threads : std::thread::hardware_concurrency();
  return {threads ? threads : 1, progress.advanced, progress.cancelled};
}

Key KeyFromBech32(const std::string& text, const char* hrp, const char* what) {
  std::optional<Bech32> decoded = DecodeBech32(text);
  if (!decoded || decoded->hrp != hrp || decoded->data.size() != 32) {
    throw AgeError(Failure::BadKey, std::string("not an age ") + what);
  }
  Key key;
  std::memcpy(key.data(), decoded->data.data(), key.size());
  return key;
}

std::string ToText(const Key& key) {
  return std::string(reinterpret_cast<const char*>(key.data()), key.size());
}

}  // namespace

const char* TestkitName(Failure failure) {
  switch (failure) {
    case Failure::NotAgeFile:
    case Failure::Header:
    case Failure::WorkFactorTooHigh: return "header failure";
    case Failure::WrongPassphrase:
    case Failure::NoMatchingIdentity:
    case Failure::RecipientsOnly:
    case Failure::PassphraseOnly: return "no match";
    case Failure::HeaderMac: return "HMAC failure";
    case Failure::Payload:
    case Failure::Truncated: return "payload failure";
    case Failure::Armor: return "armor failure";
    case Failure::BadKey: return "bad key";
    case Failure::Read: return "read error";
    case Failure::Write: return "write error";
    case Failure::Cancelled: return "cancelled";
    case Failure::Resources: return "out of memory";
  }
  return "unknown";
}

bool LooksLikeAgeFile(std::string_view start) {
  if (start.substr(0, sizeof kVersionLine) == std::string(kVersionLine) + "\n") return true;
  std::size_t first = start.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return false;
  std::string_view line = start.substr(first, start.find('\n', first) - first);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line == "-----BEGIN AGE ENCRYPTED FILE-----";
}

std::string GenerateIdentity() {
  Key secret;
  RandomBytes(secret.data(), secret.size());
  std::string text = EncodeBech32(kIdentityHrp, ToText(secret));
  Wipe(secret.data(), secret.size());
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string RecipientOf(const std::string& identity) {
  return EncodeBech32(kRecipientHrp, ToText(X25519Base(ParseIdentity(identity))));
}

Key ParseIdentity(const std::string& text) { return KeyFromBech32(text, kIdentityHrp, "identity"); }

Key ParseRecipient(const std::string& text) {
  return KeyFromBech32(text, kRecipientHrp, "recipient");
}

Encryptor Encryptor::ForPassphrase(const std::string& passphrase, int workFactor) {
  if (workFactor < 1 || workFactor > kMaxWorkFactor) {
    throw AgeError(Failure::WorkFactorTooHigh, "scrypt work factor out of range");
  }
  if (passphrase.empty()) throw AgeError(Failure::BadKey, "empty passphrase");
  Encryptor encryptor;
  RandomBytes(encryptor.fileKey_.data(), encryptor.fileKey_.size());
  encryptor.header_ =
      EncodeHeader({ScryptStanza(passphrase, workFactor, encryptor.fileKey_)}, encryptor.fileKey_);
  return encryptor;
}

Encryptor Encryptor::ForRecipients(const std::vector<std::string>& recipients) {
  if (recipients.empty()) throw AgeError(Failure::BadKey, "no recipient");
  std::vector<Key> keys;
  for (const std::string& recipient : recipients) keys.push_back(ParseRecipient(recipient));
  Encryptor encryptor;
  RandomBytes(encryptor.fileKey_.data(), encryptor.fileKey_.size());
  std::vector<Stanza> stanzas;
  for (const Key& key : keys) stanzas.push_back(X25519Stanza(key, encryptor.fileKey_));
  encryptor.header_ = EncodeHeader(stanzas, encryptor.fileKey_);
  return encryptor;
}

Encryptor::~Encryptor() { Wipe(fileKey_.data(), fileKey_.size()); }
Encryptor::Encryptor(Encryptor&&) noexcept = default;
Encryptor& Encryptor::operator=(Encryptor&&) noexcept = default;

void Encryptor::Run(const ReadFunction& read, const WriteFunction& write,
                    const Progress& progress) {
  if (used_) throw std::logic_error("an age encryptor seals one file only");
  used_ = true;
  Bytes nonce(kNonceSize, '\0');
  RandomBytes(nonce.data(), nonce.size());
  std::string start = header_ + nonce;
  if (!write(start.data(), start.size())) {
    throw AgeError(Failure::Write, "the output could not be written");
  }
  Key payloadKey = PayloadKey(fileKey_, nonce);
  BufferedInput input(read);
  try {
    EncryptPayload(payloadKey, input, write, Control(progress));
  } catch (...) {
    Wipe(payloadKey.data(), payloadKey.size());
    throw;
  }
  Wipe(payloadKey.data(), payloadKey.size());
}

Decryptor::Decryptor(ReadFunction read) {
  input_ = std::make_shared<BufferedInput>(std::move(read));
  if (StartsWithArmor(*input_)) input_ = std::make_shared<BufferedInput>(ArmorReader(input_));
  header_ = ParseHeader(*input_);
  nonce_.resize(kNonceSize);
  if (input_->Read(nonce_.data(), nonce_.size()) != kNonceSize) {
    throw AgeError(Failure::Header, "the file ends before its payload nonce");
  }
}

Decryptor::~Decryptor() {
  if (fileKey_) Wipe(fileKey_->data(), fileKey_->size());
}

bool Decryptor::ForPassphrase() const {
  for (const Stanza& stanza : header_.stanzas) {
    if (stanza.arguments[0] == "scrypt") return true;
  }
  return false;
}

int Decryptor::WorkFactor() const {
  for (const Stanza& stanza : header_.stanzas) {
    if (stanza.arguments[0] == "scrypt" && stanza.arguments.size() == 3 &&
        stanza.arguments[2].size() <= 4) {
      return std::atoi(stanza.arguments[2].c_str());
    }
  }
  return 0;
}

void Decryptor::UnlockWithPassphrase(const std::string& passphrase, int maxWorkFactor) {
  Unlock({passphrase}, {}, maxWorkFactor);
}

void Decryptor::Unlock(const std::vector<std::string>& passphrases,
                       const std::vector<std::string>& identities, int maxWorkFactor) {
  std::vector<Key> keys;
  for (const std::string& identity : identities) keys.push_back(ParseIdentity(identity));
  FileKey fileKey = UnwrapFileKey(header_, passphrases, keys, maxWorkFactor);
  for (Key& key : keys) Wipe(key.data(), key.size());
  VerifyHeaderMac(header_, fileKey);
  fileKey_ = fileKey;
  Wipe(fileKey.data(), fileKey.size());
}

void Decryptor::Run(const WriteFunction& write, const Progress& progress) {
  if (!fileKey_) throw std::logic_error("an age file is decrypted only once unlocked");
  Key payloadKey = PayloadKey(*fileKey_, nonce_);
  try {
    DecryptPayload(payloadKey, *input_, write, Control(progress));
  } catch (...) {
    Wipe(payloadKey.data(), payloadKey.size());
    throw;
  }
  Wipe(payloadKey.data(), payloadKey.size());
}

}  // namespace age

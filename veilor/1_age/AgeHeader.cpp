#include "1_age/AgeHeader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "1_age/AgeEncoding.h"
#include "1_age/AgeError.h"

namespace age {
namespace {

constexpr std::size_t kColumns = 64;
// Long enough for any stanza of the known types (the post-quantum ones
// carry over a thousand bytes of arguments); a header past it is refused.
constexpr std::size_t kLineLimit = 16 * 1024;
constexpr std::size_t kHeaderLimit = 1024 * 1024;
constexpr char kScryptLabel[] = "age-encryption.org/v1/scrypt";
constexpr char kX25519Info[] = "age-encryption.org/v1/X25519";
const std::uint8_t kZeroNonce[kAeadNonceSize] = {};

[[noreturn]] void HeaderFailure(const std::string& detail) {
  throw AgeError(Failure::Header, "header: " + detail);
}

bool IsBase64Char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '/';
}

std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> arguments;
  std::size_t start = 0;
  while (true) {
    std::size_t space = text.find(' ', start);
    std::string_view argument = text.substr(start, space - start);
    if (argument.empty()) HeaderFailure("empty stanza argument");
    for (char c : argument) {
      if (c < 0x21 || c > 0x7E) HeaderFailure("bad character in a stanza argument");
    }
    arguments.emplace_back(argument);
    if (space == std::string_view::npos) return arguments;
    start = space + 1;
  }
}

Key KeyFrom(const std::string& bytes) {
  Key key;
  std::memcpy(key.data(), bytes.data(), key.size());
  return key;
}

Stanza Wrap(std::vector<std::string> arguments, const Key& wrapKey, const FileKey& fileKey) {
  Stanza stanza{std::move(arguments), Bytes(fileKey.size() + kTagSize, '\0')};
  Seal(wrapKey, kZeroNonce, fileKey.data(), fileKey.size(),
       reinterpret_cast<std::uint8_t*>(stanza.body.data()));
  return stanza;
}

bool Unwrap(const Stanza& stanza, const Key& wrapKey, FileKey& fileKey) {
  return Open(wrapKey, kZeroNonce, reinterpret_cast<const std::uint8_t*>(stanza.body.data()),
              stanza.body.size(), fileKey.data());
}

struct ScryptArguments {
  Bytes salt;
  int workFactor;
};

// Checks everything but the work factor's size against the limit.
ScryptArguments CheckScrypt(const Stanza& stanza) {
  if (stanza.arguments.size() != 3) HeaderFailure("scrypt stanza needs two arguments");
  std::optional<std::string> salt = DecodeBase64(stanza.arguments[1]);
  if (!salt || salt->size() != 16) HeaderFailure("scrypt salt is not 16 bytes of base64");
  const std::string& factor = stanza.arguments[2];
  if (factor.empty() || factor[0] < '1' || factor[0] > '9' ||
      !std::all_of(factor.begin(), factor.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    HeaderFailure("scrypt work factor is not a decimal number without leading zeros");
  }
  if (stanza.body.size() != 32) HeaderFailure("scrypt body is not 32 bytes");
  // Any number is well formed; those too long to hold are above every limit.
  return {*salt, factor.size() > 4 ? 9999 : std::stoi(factor)};
}

Key CheckX25519(const Stanza& stanza) {
  if (stanza.arguments.size() != 2) HeaderFailure("X25519 stanza needs one argument");
  std::optional<std::string> share = DecodeBase64(stanza.arguments[1]);
  if (!share || share->size() != 32) HeaderFailure("X25519 share is not 32 bytes of base64");
  if (stanza.body.size() != 32) HeaderFailure("X25519 body is not 32 bytes");
  return KeyFrom(*share);
}

Key X25519WrapKey(const Key& secret, const Key& share, const Key& recipient, const Key& point) {
  Key shared;
  if (!X25519(shared, secret, point)) HeaderFailure("X25519 share gives a zero secret");
  std::string salt(reinterpret_cast<const char*>(share.data()), share.size());
  salt.append(reinterpret_cast<const char*>(recipient.data()), recipient.size());
  Key wrap = Hkdf(shared.data(), shared.size(), salt, kX25519Info);
  Wipe(shared.data(), shared.size());
  return wrap;
}

std::string HeaderMacInput(const std::vector<Stanza>& stanzas) {
  std::string text = std::string(kVersionLine) + "\n";
  for (const Stanza& stanza : stanzas) {
    text += "->";
    for (const std::string& argument : stanza.arguments) text += " " + argument;
    text += "\n";
    std::string body = EncodeBase64(stanza.body);
    // Full lines of 64 columns, then a shorter one, empty if need be.
    std::size_t at = 0;
    for (; body.size() - at >= kColumns; at += kColumns) text += body.substr(at, kColumns) + "\n";
    text += body.substr(at) + "\n";
  }
  return text + "---";
}

Key MacKey(const FileKey& fileKey) { return Hkdf(fileKey.data(), fileKey.size(), "", "header"); }

}  // namespace

Header ParseHeader(BufferedInput& input) {
  Header header;
  std::string line;
  BufferedInput::Line got = input.ReadLine(line, kLineLimit);
  if (got != BufferedInput::Line::Complete || line != kVersionLine) {
    if (line.rfind("age-encryption.org/", 0) == 0) HeaderFailure("not version v1");
    throw AgeError(Failure::NotAgeFile, "not an age file");
  }
  header.macInput = line + "\n";
  auto next = [&] {
    if (input.ReadLine(line, kLineLimit) != BufferedInput::Line::Complete) {
      HeaderFailure("the header is cut short");
    }
    if (header.macInput.size() + line.size() > kHeaderLimit) HeaderFailure("header too long");
  };
  while (true) {
    next();
    if (line.rfind("---", 0) == 0) {
      if (header.stanzas.empty()) HeaderFailure("no stanza");
      header.macInput += "---";
      std::optional<std::string> mac;
      if (line.size() == 4 + 43 && line[3] == ' ') mac = DecodeBase64(line.substr(4));
      if (!mac || mac->size() != 32) HeaderFailure("bad MAC line");
      header.mac = KeyFrom(*mac);
      return header;
    }
    if (line.rfind("-> ", 0) != 0) HeaderFailure("expected a stanza or the MAC");
    header.macInput += line + "\n";
    Stanza stanza{SplitArguments(std::string_view(line).substr(3)), {}};
    std::string body;
    do {
      next();
      if (line.size() > kColumns || !std::all_of(line.begin(), line.end(), IsBase64Char)) {
        HeaderFailure("bad stanza body line");
      }
      header.macInput += line + "\n";
      body += line;
    } while (line.size() == kColumns);
    std::optional<std::string> bytes = DecodeBase64(body);
    if (!bytes) HeaderFailure("stanza body is not canonical base64");
    stanza.body = std::move(*bytes);
    header.stanzas.push_back(std::move(stanza));
  }
}

std::string EncodeHeader(const std::vector<Stanza>& stanzas, const FileKey& fileKey) {
  std::string text = HeaderMacInput(stanzas);
  Key mac = HmacSha256(MacKey(fileKey), text);
  return text + " " +
         EncodeBase64(std::string_view(reinterpret_cast<const char*>(mac.data()), 32)) + "\n";
}

void VerifyHeaderMac(const Header& header, const FileKey& fileKey) {
  Key mac = HmacSha256(MacKey(fileKey), header.macInput);
  if (!EqualConstantTime(mac.data(), header.mac.data(), mac.size())) {
    throw AgeError(Failure::HeaderMac, "the header MAC does not match");
  }
}

Stanza ScryptStanza(const std::string& passphrase, int workFactor, const FileKey& fileKey) {
  Bytes salt(16, '\0');
  RandomBytes(salt.data(), salt.size());
  Key wrap = Scrypt(passphrase, kScryptLabel + salt, workFactor);
  Stanza stanza = Wrap({"scrypt", EncodeBase64(salt), std::to_string(workFactor)}, wrap, fileKey);
  Wipe(wrap.data(), wrap.size());
  return stanza;
}

Stanza X25519Stanza(const Key& recipient, const FileKey& fileKey) {
  Key secret;
  RandomBytes(secret.data(), secret.size());
  Key share = X25519Base(secret);
  Key wrap;
  try {
    wrap = X25519WrapKey(secret, share, recipient, recipient);
  } catch (const AgeError&) {
    Wipe(secret.data(), secret.size());
    throw AgeError(Failure::BadKey, "the recipient is a low-order point");
  }
  Wipe(secret.data(), secret.size());
  Stanza stanza = Wrap(
      {"X25519", EncodeBase64(std::string_view(reinterpret_cast<const char*>(share.data()), 32))},
      wrap, fileKey);
  Wipe(wrap.data(), wrap.size());
  return stanza;
}

FileKey UnwrapFileKey(const Header& header, const std::vector<std::string>& passphrases,
                      const std::vector<Key>& identities, int maxWorkFactor) {
  // Check the whole header before any costly work.
  const Stanza* scrypt = nullptr;
  std::vector<std::pair<const Stanza*, Key>> x25519;
  for (const Stanza& stanza : header.stanzas) {
    if (stanza.arguments[0] == "scrypt") {
      CheckScrypt(stanza);
      scrypt = &stanza;
    } else if (stanza.arguments[0] == "X25519") {
      x25519.emplace_back(&stanza, CheckX25519(stanza));
    }
  }
  // A passphrase file authenticates its sender only if nobody else could
  // have added a stanza: it must be alone.
  if (scrypt && header.stanzas.size() > 1) HeaderFailure("scrypt stanza beside others");

  FileKey fileKey;
  if (scrypt) {
    if (passphrases.empty()) {
      throw AgeError(Failure::PassphraseOnly, "the file is made for a passphrase");
    }
    ScryptArguments arguments = CheckScrypt(*scrypt);
    if (arguments.workFactor > maxWorkFactor) {
      throw AgeError(Failure::WorkFactorTooHigh,
                     "scrypt work factor " + std::to_string(arguments.workFactor) +
                         " is above the limit " + std::to_string(maxWorkFactor));
    }
    for (const std::string& passphrase : passphrases) {
      Key wrap = Scrypt(passphrase, kScryptLabel + arguments.salt, arguments.workFactor);
      bool opened = Unwrap(*scrypt, wrap, fileKey);
      Wipe(wrap.data(), wrap.size());
      if (opened) return fileKey;
    }
    throw AgeError(Failure::WrongPassphrase, "the passphrase does not open the file");
  }
  if (identities.empty()) {
    throw AgeError(Failure::RecipientsOnly, "the file is made for recipients, not a passphrase");
  }
  for (const auto& [stanza, share] : x25519) {
    for (const Key& identity : identities) {
      Key recipient = X25519Base(identity);
      Key wrap = X25519WrapKey(identity, share, recipient, share);
      bool opened = Unwrap(*stanza, wrap, fileKey);
      Wipe(wrap.data(), wrap.size());
      if (opened) return fileKey;
    }
  }
  throw AgeError(Failure::NoMatchingIdentity, "no identity opens the file");
}

}  // namespace age

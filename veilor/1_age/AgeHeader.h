#pragma once

#include <optional>
#include <string>
#include <vector>

#include "1_age/AgeInput.h"
#include "1_age/AgePrimitives.h"

// The age header: its stanzas, the file key they wrap, and its MAC.
namespace age {

constexpr char kVersionLine[] = "age-encryption.org/v1";

struct Stanza {
  std::vector<std::string> arguments;  // the first names the stanza's type
  Bytes body;
};

struct Header {
  std::vector<Stanza> stanzas;
  Key mac{};
  // The header's bytes up to and including "---": what the MAC covers.
  std::string macInput;
};

// Reads the header from `input`, leaving it at the payload. Raises AgeError:
// NotAgeFile when the first line is no age version line, Header for a
// header that breaks the format.
Header ParseHeader(BufferedInput& input);

// The header's text, MAC line included, for `stanzas` and `fileKey`.
std::string EncodeHeader(const std::vector<Stanza>& stanzas, const FileKey& fileKey);

// Raises AgeError (HeaderMac) when the MAC does not match `fileKey`.
void VerifyHeaderMac(const Header& header, const FileKey& fileKey);

// Stanzas wrapping `fileKey`, with fresh randomness for each.
Stanza ScryptStanza(const std::string& passphrase, int workFactor, const FileKey& fileKey);
Stanza X25519Stanza(const Key& recipient, const FileKey& fileKey);

// The file key from the header's stanzas. Every stanza of the types known
// here is checked to be well formed first. Raises AgeError: Header for a
// malformed stanza (or an scrypt stanza beside others), WorkFactorTooHigh,
// WrongPassphrase, NoMatchingIdentity, RecipientsOnly, PassphraseOnly.
FileKey UnwrapFileKey(const Header& header, const std::vector<std::string>& passphrases,
                      const std::vector<Key>& identities, int maxWorkFactor);

}  // namespace age

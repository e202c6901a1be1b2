#pragma once

#include <stdexcept>
#include <string>

namespace age {

// What went wrong with an age file, so that a caller can say it in its own
// words. The library's detail text (what()) is English for logs and tests.
enum class Failure {
  NotAgeFile,          // the first line is neither an age header nor an armor start
  Header,              // the header breaks the format (or the nonce after it is cut short)
  WorkFactorTooHigh,   // a scrypt stanza asks for more work than the limit allows
  WrongPassphrase,     // the passphrase stanza does not open with the passphrase
  NoMatchingIdentity,  // no stanza opens with the identities given
  RecipientsOnly,      // a passphrase was given but the file is made for recipients
  PassphraseOnly,      // identities were given but the file is made for a passphrase
  HeaderMac,           // the header was changed after it was written
  Payload,             // a chunk was changed, reordered, or data follows the final chunk
  Truncated,           // the file ends at a chunk boundary before its final chunk
                       // (a cut inside a chunk reads as Payload: it cannot be told apart)
  Armor,               // the ASCII armor is not strict PEM
  BadKey,              // a recipient or identity text is not valid
  Read,                // the input could not be read
  Write,               // the output could not be written
  Cancelled,           // the caller's cancel check said stop
  Resources,           // memory for the key derivation could not be had
};

// The error every age operation raises; thrown by value, caught by reference.
class AgeError : public std::runtime_error {
public:
  AgeError(Failure failure, const std::string& detail)
      : std::runtime_error(detail), failure_(failure) {}
  Failure Kind() const { return failure_; }

private:
  Failure failure_;
};

// The name the public test-vector collection uses for the outcome: "header
// failure", "no match", "HMAC failure", "payload failure", "armor failure",
// or the failure's own name for the ones it has no word for.
const char* TestkitName(Failure failure);

}  // namespace age

// Preloaded into the program by the tests: the crypto library's power-up
// self-test reports a failure, as it would for a damaged library.
#include <cryptopp/fips140.h>

namespace CryptoPP {
PowerUpSelfTestStatus CRYPTOPP_API GetPowerUpSelfTestStatus() { return POWER_UP_SELF_TEST_FAILED; }
}  // namespace CryptoPP

#pragma once

#include <string>

// Raw bytes (keys, IVs, cipher text). std::string is used as the container
// because the crypto library's string sources and sinks take it directly.
using ByteString = std::string;

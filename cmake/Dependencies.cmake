# Third-party libraries, all from the distribution's packages.
# The layers below the windows link only the toolkit's base library.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS base)
set(wxWidgets_BASE_LIBRARIES ${wxWidgets_LIBRARIES})
find_package(wxWidgets 3.2 REQUIRED COMPONENTS core base)
include(${wxWidgets_USE_FILE})

find_package(PkgConfig REQUIRED)
pkg_check_modules(CRYPTOPP REQUIRED IMPORTED_TARGET libcrypto++)
# age files: libsodium's scrypt and ChaCha20-Poly1305 are faster than Crypto++'s;
# OpenSSL's ChaCha20-Poly1305 (the payload) is about twice libsodium's here.
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
pkg_check_modules(LIBCRYPTO REQUIRED IMPORTED_TARGET libcrypto>=3)

if(VEILOR_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()

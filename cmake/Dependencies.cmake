# Third-party libraries, all from the distribution's packages.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS core base)
include(${wxWidgets_USE_FILE})

find_package(PkgConfig REQUIRED)
pkg_check_modules(CRYPTOPP REQUIRED IMPORTED_TARGET libcrypto++)

if(VEILOR_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()

# The Windows builds of wxWidgets, Crypto++, libpng and libsodium that
# scripts/build-windows-deps.sh puts into cache folders. Sets
# VEILOR_WINDEPS_FOUND and, when found, defines the targets veilor links
# (wxWidgets_LIBRARIES and wxWidgets_BASE_LIBRARIES name interface targets,
# PkgConfig::CRYPTOPP and PkgConfig::SODIUM as natively).
set(VEILOR_WINDEPS_DIR
    "$ENV{HOME}/.cache/veilor-windeps/png1.6.39-cryptopp8.7.0-wx3.2.2"
    CACHE PATH "Windows builds of wxWidgets, Crypto++ and libpng (scripts/build-windows-deps.sh)")
if(DEFINED ENV{VEILOR_WINDEPS_DIR})
  set(VEILOR_WINDEPS_DIR "$ENV{VEILOR_WINDEPS_DIR}" CACHE PATH "" FORCE)
endif()

# libsodium has a cache folder of its own.
set(VEILOR_SODIUM_DIR "$ENV{HOME}/.cache/veilor-windeps/sodium1.0.18"
    CACHE PATH "Windows build of libsodium (scripts/build-windows-deps.sh)")
if(DEFINED ENV{VEILOR_SODIUM_DIR})
  set(VEILOR_SODIUM_DIR "$ENV{VEILOR_SODIUM_DIR}" CACHE PATH "" FORCE)
endif()

set(VEILOR_WINDEPS_FOUND OFF)
set(wx_config "${VEILOR_WINDEPS_DIR}/bin/wx-config")
if(NOT EXISTS "${VEILOR_WINDEPS_DIR}/.complete" OR NOT EXISTS "${wx_config}"
   OR NOT EXISTS "${VEILOR_SODIUM_DIR}/.complete")
  message(STATUS "No Windows libraries in ${VEILOR_WINDEPS_DIR} and ${VEILOR_SODIUM_DIR}: "
                 "veilor.exe is not built (scripts/build-windows-deps.sh builds them)")
  return()
endif()
set(VEILOR_WINDEPS_FOUND ON)

execute_process(COMMAND sh "${wx_config}" --static --cxxflags core,base
                OUTPUT_VARIABLE wx_cxxflags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND sh "${wx_config}" --static --libs core,base
                OUTPUT_VARIABLE wx_libs OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(wx_cxxflags UNIX_COMMAND "${wx_cxxflags}")
separate_arguments(wx_libs UNIX_COMMAND "${wx_libs}")
# The subsystem is chosen per program (WIN32 executables), so that test
# programs stay console programs whose output CTest reads.
list(FILTER wx_libs EXCLUDE REGEX "^-mwindows$|subsystem")

add_library(veilor_wx INTERFACE)
target_compile_options(veilor_wx INTERFACE ${wx_cxxflags})
target_link_libraries(veilor_wx INTERFACE ${wx_libs})
set(wxWidgets_LIBRARIES veilor_wx)

# The base library alone, for the layers below the windows.
execute_process(COMMAND sh "${wx_config}" --static --libs base
                OUTPUT_VARIABLE wx_base_libs OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(wx_base_libs UNIX_COMMAND "${wx_base_libs}")
list(FILTER wx_base_libs EXCLUDE REGEX "^-mwindows$|subsystem")
add_library(veilor_wx_base INTERFACE)
target_compile_options(veilor_wx_base INTERFACE ${wx_cxxflags})
target_link_libraries(veilor_wx_base INTERFACE ${wx_base_libs})
set(wxWidgets_BASE_LIBRARIES veilor_wx_base)

add_library(PkgConfig::CRYPTOPP INTERFACE IMPORTED)
target_include_directories(PkgConfig::CRYPTOPP INTERFACE "${VEILOR_WINDEPS_DIR}/include")
target_link_libraries(PkgConfig::CRYPTOPP INTERFACE "${VEILOR_WINDEPS_DIR}/lib/libcryptopp.a")

add_library(PkgConfig::SODIUM INTERFACE IMPORTED)
target_include_directories(PkgConfig::SODIUM INTERFACE "${VEILOR_SODIUM_DIR}/include")
# The static library's headers must not expect a DLL; its random generator
# calls advapi32's RtlGenRandom.
target_compile_definitions(PkgConfig::SODIUM INTERFACE SODIUM_STATIC)
target_link_libraries(PkgConfig::SODIUM INTERFACE "${VEILOR_SODIUM_DIR}/lib/libsodium.a" advapi32)

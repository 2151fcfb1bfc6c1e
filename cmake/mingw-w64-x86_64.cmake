# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix flavour of the compiler is the one with std::thread and <mutex>, which GoogleTest
# uses. Programs that the build itself runs (ondrel-media, the tests) run under Wine; see the
# top-level CMakeLists.txt.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ONDREL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ONDREL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ONDREL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ONDREL_MINGW_PREFIX}-windres)

# Headers and libraries come from the MinGW tree only, never from the host's /usr.
set(CMAKE_FIND_ROOT_PATH /usr/${ONDREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

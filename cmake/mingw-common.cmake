# Shared part of the MinGW-w64 toolchain files. Expects QUARN_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The posix thread variant: the win32 one has no std::thread, std::mutex or
# std::shared_mutex in GCC 12.
find_program(CMAKE_C_COMPILER NAMES ${QUARN_MINGW_TRIPLE}-gcc-posix ${QUARN_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${QUARN_MINGW_TRIPLE}-g++-posix ${QUARN_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${QUARN_MINGW_TRIPLE}-windres)

# Only the target's own libraries and headers: nothing from the host's /usr.
# Appended, so that a consumer can add its own prefixes (-DCMAKE_FIND_ROOT_PATH=...).
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${QUARN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Link zlib statically: real Windows has no zlib1.dll (Wine would quietly
# supply its own and hide the missing file).
set(ZLIB_USE_STATIC_LIBS ON)

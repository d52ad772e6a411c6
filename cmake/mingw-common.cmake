# Shared part of the MinGW-w64 toolchain files. Expects QUARN_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The win32 thread variant: its runtime DLLs (libstdc++-6.dll,
# libgcc_s_dw2-1.dll) rest on the system's own threads and import nothing that
# Windows XP lacks. The posix variant needs libwinpthread-1.dll, which imports
# GetTickCount64 (Vista and later) and so cannot load on XP or Server 2003.
# The price: GCC 12 offers no std::thread there; our code uses the system's
# locks (util/LockUtil.h) and the tests a small thread helper of their own.
find_program(CMAKE_C_COMPILER NAMES ${QUARN_MINGW_TRIPLE}-gcc-win32 REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${QUARN_MINGW_TRIPLE}-g++-win32 REQUIRED)
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

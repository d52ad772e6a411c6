# Toolchain file: 32-bit Windows (PE32) with MinGW-w64. Usable by consuming
# projects as their CMAKE_TOOLCHAIN_FILE (pass it as an absolute path).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUARN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

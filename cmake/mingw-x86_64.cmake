# Toolchain file: 64-bit Windows (PE32+) with MinGW-w64. The product ships as
# 32-bit; this build exists so the Windows code paths can be tested under a
# 64-bit Wine on hosts that refuse to run 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUARN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

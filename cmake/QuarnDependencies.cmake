# Third-party libraries, all from the distribution's packages.

# On Windows the locks are the system's own (util/LockUtil.h): linking the
# threads package there would bring in libwinpthread.
if(NOT WIN32)
  find_package(Threads REQUIRED)
endif()
find_package(ZLIB REQUIRED)

# The header-only libraries (SimpleIni, and the inspector's CLI11 and
# nlohmann/json) are searched the standard way: CMAKE_PREFIX_PATH, a
# package's <Name>_ROOT, CMAKE_INCLUDE_PATH, a toolchain's root path (vcpkg,
# a prefix) and the system's include directories. A cross build whose root
# path lacks them takes the build host's: they are the same source. They are
# copied into the build tree and used from there, so the cross build never
# sees the host's /usr/include (it would pull in glibc's headers).
# quarn_find_header(VAR HEADER): VAR is the directory that holds HEADER.
function(quarn_find_header var header)
  find_path(${var} ${header} PATH_SUFFIXES simpleini)
  if(NOT ${var})
    find_path(${var} ${header} PATH_SUFFIXES simpleini NO_CMAKE_FIND_ROOT_PATH)
  endif()
endfunction()

quarn_find_header(QUARN_SIMPLEINI_DIR SimpleIni.h)
if(NOT QUARN_SIMPLEINI_DIR)
  message(FATAL_ERROR "SimpleIni.h not found: install the libsimpleini-dev package, "
    "or name its folder with -DQUARN_SIMPLEINI_DIR=DIR or CMAKE_PREFIX_PATH")
endif()
set(QUARN_THIRD_PARTY_INCLUDE ${PROJECT_BINARY_DIR}/third_party/include)
configure_file(${QUARN_SIMPLEINI_DIR}/SimpleIni.h ${QUARN_THIRD_PARTY_INCLUDE}/SimpleIni.h COPYONLY)

add_library(quarn_simpleini INTERFACE)
target_include_directories(quarn_simpleini SYSTEM INTERFACE $<BUILD_INTERFACE:${QUARN_THIRD_PARTY_INCLUDE}>)
# The header holds its own function bodies behind this switch.
target_compile_definitions(quarn_simpleini INTERFACE SI_IMPLEMENTATION)
if(NOT WIN32)
  # The default converter needs ConvertUTF.h, which the package does not ship;
  # the settings are read as plain bytes anyway.
  target_compile_definitions(quarn_simpleini INTERFACE SI_NO_CONVERSION)
endif()

# The inspector's argument parser and JSON writer: header trees, copied into
# the build tree like SimpleIni.
function(quarn_header_tree target probe)
  string(MAKE_C_IDENTIFIER "QUARN_${target}_DIR" var)
  quarn_find_header(${var} ${probe})
  if(NOT ${var})
    message(FATAL_ERROR "${probe} not found: install the package that provides it")
  endif()
  get_filename_component(tree ${probe} DIRECTORY)
  file(COPY ${${var}}/${tree} DESTINATION ${QUARN_THIRD_PARTY_INCLUDE})
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE $<BUILD_INTERFACE:${QUARN_THIRD_PARTY_INCLUDE}>)
endfunction()
if(QUARN_BUILD_TOOLS)
  quarn_header_tree(quarn_cli11 CLI/CLI.hpp)            # libcli11-dev
  quarn_header_tree(quarn_json nlohmann/json.hpp)       # nlohmann-json3-dev
  # The inspector's digests and keyed pseudonyms come from the platform's
  # cryptography: CryptoAPI on Windows, OpenSSL's libcrypto elsewhere
  # (libssl-dev).
  add_library(quarn_crypto INTERFACE)
  if(WIN32)
    target_link_libraries(quarn_crypto INTERFACE advapi32)
  else()
    find_package(OpenSSL REQUIRED COMPONENTS Crypto)
    target_link_libraries(quarn_crypto INTERFACE OpenSSL::Crypto)
  endif()
endif()

# The MinGW runtime DLLs that our DLLs and programs need beside them. The
# runtime is linked dynamically so an exception thrown in one of our DLLs can
# be caught by the program that called it.
set(QUARN_RUNTIME_DLLS "")
if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  foreach(dll libgcc_s_dw2-1.dll libgcc_s_seh-1.dll libstdc++-6.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
      OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll_path}")
      find_file(dll_path_${dll} ${dll} PATHS /usr/${QUARN_MINGW_TRIPLE}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
      set(dll_path "${dll_path_${dll}}")
    endif()
    if(EXISTS "${dll_path}")
      list(APPEND QUARN_RUNTIME_DLLS ${dll_path})
      file(COPY ${dll_path} DESTINATION ${QUARN_OUTPUT_DIR})
    endif()
  endforeach()
endif()

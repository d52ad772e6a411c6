# Compiler settings shared by every target of this project (applied per
# target, so a parent project's settings are left alone).

include(GNUInstallDirs)
# Installed headers keep their folders (config/QuarnConfig.h) under a folder
# of their own, which consumers get as the include directory: the library's
# "config/" and "util/" cannot clash with another package's in a shared
# prefix.
set(QUARN_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/QuarnConfig)

# Every binary of the project lands in one folder: a Windows program finds its
# DLLs beside itself.
set(QUARN_OUTPUT_DIR ${PROJECT_BINARY_DIR}/bin)

function(quarn_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_17)
  set_target_properties(${target} PROPERTIES
    CXX_EXTENSIONS OFF
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    RUNTIME_OUTPUT_DIRECTORY ${QUARN_OUTPUT_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${QUARN_OUTPUT_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib)
  if(NOT WIN32)
    # In the build tree every binary lies in one folder and finds the
    # others beside itself ($ORIGIN, never the build folder's path), so a
    # copy of the folder runs anywhere. Installed, the libraries find each
    # other beside themselves and the programs find them in ../lib.
    set_target_properties(${target} PROPERTIES BUILD_RPATH_USE_ORIGIN ON INSTALL_RPATH "$ORIGIN:$ORIGIN/../lib")
  endif()
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(QUARN_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
  if(WIN32)
    # Windows 7 API level; no min/max macros; lean windows.h: as
    # util/platform/Win32.h, the door to windows.h, sets them.
    target_compile_definitions(${target} PRIVATE _WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)
  endif()
endfunction()

# Shared libraries get the bare name on Windows (QuarnConfig.dll, not
# libQuarnConfig.dll), as the agent's other modules expect.
# quarn_shared_library(TARGET "description" sources...)
function(quarn_shared_library target description)
  add_library(${target} SHARED ${ARGN})
  quarn_target_defaults(${target})
  if(WIN32)
    set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "lib")
    quarn_version_resource(${target} "${description}" VFT_DLL ${target}.dll)
  endif()
endfunction()

# A VERSIONINFO resource from the project version (Windows only).
function(quarn_version_resource target description type file)
  set(QUARN_RC_DESCRIPTION "${description}")
  set(QUARN_RC_NAME ${target})
  set(QUARN_RC_TYPE ${type})
  set(QUARN_RC_FILE ${file})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${PROJECT_BINARY_DIR}/resources/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/resources/${target}.rc)
endfunction()

# Each of the three libraries is built once as shipped and, where tests,
# benchmarks or fuzzers are built, once more as NAME_testing: the same
# sources with QUARN_TEST_HOOKS, which exports the functions that put a
# substitute platform in force. The shipped DLLs have no such function.
if(QUARN_BUILD_TESTS OR QUARN_BUILD_BENCHMARKS OR QUARN_BUILD_FUZZERS)
  set(QUARN_LIBRARY_VARIANTS shipped testing)
else()
  set(QUARN_LIBRARY_VARIANTS shipped)
endif()
# The target-name suffix of a variant: none, or "_testing".
macro(quarn_variant_suffix variant out)
  if("${variant}" STREQUAL "testing")
    set(${out} _testing)
  else()
    set(${out} "")
  endif()
endmacro()

# The name of this system's platform sources: FilesWin32.cpp, FilesPosix.cpp.
if(WIN32)
  set(QUARN_OS Win32)
else()
  set(QUARN_OS Posix)
endif()

# quarn_library_objects(TARGET VARIANT sources...): sources compiled once
# for one variant of QuarnConfig ("shipped" or "testing") as an object
# library, to be linked into that variant (and, shipped, into the
# inspector): its export macro exports, and the testing variant has the
# hooks.
function(quarn_library_objects target variant)
  add_library(${target} OBJECT ${ARGN})
  quarn_target_defaults(${target})
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_compile_definitions(${target} PRIVATE QuarnConfig_EXPORTS)
  if(variant STREQUAL "testing")
    target_compile_definitions(${target} PUBLIC QUARN_TEST_HOOKS)
    if(QUARN_SUITE_EXCLUDE)
      set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL ON)
    endif()
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/include)
endfunction()

# Settings of one variant of the library BASE (target BASE or BASE_testing).
function(quarn_library_variant target base variant)
  # One export header serves both variants.
  set_target_properties(${target} PROPERTIES DEFINE_SYMBOL ${base}_EXPORTS)
  if(NOT WIN32)
    set_target_properties(${target} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  endif()
  if(variant STREQUAL "testing")
    target_compile_definitions(${target} PUBLIC QUARN_TEST_HOOKS)
    if(QUARN_SUITE_EXCLUDE)
      set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL ON)
    endif()
    # The tests reach the internal headers (the platform seams).
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
  else()
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}
      INTERFACE $<BUILD_INTERFACE:${QUARN_PUBLIC_INCLUDE}> $<INSTALL_INTERFACE:${QUARN_INSTALL_INCLUDEDIR}>)
  endif()
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include>)
endfunction()

# The public headers, and only they, in one folder for the consumers of the
# build tree (add_subdirectory); the same ones are installed.
set(QUARN_PUBLIC_INCLUDE ${PROJECT_BINARY_DIR}/public-include)
set(QUARN_PUBLIC_HEADERS
  config/QuarnConfig.h config/Singleton.h hwinfo/HwInfo.h
  util/AlgorithmUtil.h util/DirCom.h util/FileCom.h util/FileUtil.h util/HostInfoUtil.h util/LockUtil.h
  util/LogMessage.h util/ProcessUtil.h util/StringUtil.h util/ThreadUtil.h util/ToolUtil.h)
foreach(header IN LISTS QUARN_PUBLIC_HEADERS)
  configure_file(${PROJECT_SOURCE_DIR}/${header} ${QUARN_PUBLIC_INCLUDE}/${header} COPYONLY)
endforeach()

# Compiler settings shared by every target of this project (applied per
# target, so a parent project's settings are left alone).

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
    # Installed, the libraries find each other beside themselves and the
    # programs find them in ../lib.
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN:$ORIGIN/../lib")
  endif()
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(QUARN_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
  if(WIN32)
    # Windows 7 API level; no min/max macros; lean windows.h.
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

# Running the Windows build's programs under Wine: a private prefix inside the
# build tree, Wine's chatter silenced, every run bounded in time.
#
# Sets QUARN_CAN_RUN_TARGET: whether this host can run the built programs,
# and for the 32-bit build QUARN_WINE_WOW64: whether they can also run in a
# 64-bit prefix (a 32-bit program on 64-bit Windows, under WoW64: the
# commonest real deployment). The runner picks that prefix when the
# environment has QUARN_WINE_PREFIX_KIND=wow64.
# The 32-bit loader cannot run on hosts that refuse 32-bit user code; the
# probe below finds that out instead of letting every test fail.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  find_program(QUARN_WINE NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  find_program(QUARN_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  set(QUARN_WINE_ARCH win64)
else()
  find_program(QUARN_WINE NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_program(QUARN_WINESERVER NAMES wineserver32 wineserver PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  find_program(QUARN_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  find_program(QUARN_WINESERVER64 NAMES wineserver64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  set(QUARN_WINE_ARCH win32)
endif()

# Where the kernel refuses 32-bit code, 32-bit Wine can still run under
# user-mode emulation: QUARN_WINE32_RUNNER (or the same variable in the
# environment at configure time) names the run32.sh that the emulation's
# set-up made. Every 32-bit Wine process then runs through it, in the WoW64
# prefix beside it alone (a pure 32-bit prefix does not start there), and
# tests that start threads are not run (they crash under emulation).
if(DEFINED ENV{QUARN_WINE32_RUNNER})
  set(QUARN_WINE32_RUNNER "$ENV{QUARN_WINE32_RUNNER}" CACHE FILEPATH
    "Runs 32-bit Wine under emulation (run32.sh); empty: natively" FORCE)
endif()
set(QUARN_WINE32_RUNNER "" CACHE FILEPATH "Runs 32-bit Wine under emulation (run32.sh); empty: natively")
set(quarn_runner "")
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND QUARN_WINE32_RUNNER)
  set(quarn_runner ${QUARN_WINE32_RUNNER})
endif()
set(QUARN_WINE_EMULATED OFF CACHE INTERNAL "32-bit Wine runs under emulation")

set(QUARN_CAN_RUN_TARGET OFF)
if(QUARN_WINE AND QUARN_WINESERVER)
  execute_process(COMMAND timeout 60 ${quarn_runner} ${QUARN_WINE} --version
    RESULT_VARIABLE wine_probe OUTPUT_QUIET ERROR_QUIET)
  if(wine_probe EQUAL 0)
    set(QUARN_CAN_RUN_TARGET ON)
  elseif(quarn_runner)
    message(WARNING "32-bit Wine does not start under '${quarn_runner}'")
  endif()
endif()

if(NOT QUARN_CAN_RUN_TARGET)
  message(WARNING "Wine for ${QUARN_WINE_ARCH} programs cannot run on this host "
    "(loader '${QUARN_WINE}'); the DLLs and the inspector are built and audited, the suite's "
    "programs are left out of the default build.")
  set(QUARN_WINE_WOW64 OFF CACHE INTERNAL "The 32-bit programs also run in a 64-bit prefix")
  return()
endif()

# In the cache, where the scripts that run the programs look too.
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND QUARN_WINE64 AND QUARN_WINESERVER64)
  set(QUARN_WINE_WOW64 ON CACHE INTERNAL "The 32-bit programs also run in a 64-bit prefix")
else()
  set(QUARN_WINE_WOW64 OFF CACHE INTERNAL "The 32-bit programs also run in a 64-bit prefix")
  set(QUARN_WINE64 "")
  set(QUARN_WINESERVER64 "")
endif()

set(QUARN_WINE_PREFIX ${PROJECT_BINARY_DIR}/wineprefix)
set(QUARN_WINE_WOW64_PREFIX ${QUARN_WINE_PREFIX}-wow64)
if(quarn_runner)
  if(NOT QUARN_WINE_WOW64)
    message(FATAL_ERROR "32-bit Wine under emulation needs 64-bit Wine (wine64) for its WoW64 prefix")
  endif()
  set(QUARN_WINE_EMULATED ON CACHE INTERNAL "32-bit Wine runs under emulation")
  # The prefix the emulation's set-up made, where it is; else one of ours.
  get_filename_component(quarn_runner_dir ${quarn_runner} DIRECTORY)
  if(EXISTS ${quarn_runner_dir}/pfx-wow64/system.reg)
    set(QUARN_WINE_WOW64_PREFIX ${quarn_runner_dir}/pfx-wow64)
  endif()
  message(STATUS "32-bit Wine runs under emulation (${quarn_runner}), in the WoW64 prefix "
    "${QUARN_WINE_WOW64_PREFIX} alone; tests that start threads are not run")
endif()
set(QUARN_WINE_RUNNER "${quarn_runner}")
# Windows programs find the project's DLLs through WINEPATH even when a test
# copies a program elsewhere.
string(REPLACE "/" "\\\\" QUARN_WINE_RUNTIME_PATH "Z:${QUARN_OUTPUT_DIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${PROJECT_BINARY_DIR}/wine-run.sh
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE
  @ONLY)
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine-run.sh)
endif()

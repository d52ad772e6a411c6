// The operating-system seam of the kqt utility library.
//
// The queries the library's own operations need (the executable's path, the
// system's word size, sleeping, the process list, random numbers) go
// through kqt::sys::Platform: its methods are the real implementation
// (platform/PlatformWin32.cpp or platform/PlatformPosix.cpp, chosen by the
// build). The file-system questions are in platform/Files.h.
//
// Only the library's testing build (QUARN_TEST_HOOKS) exports the class and
// a way to substitute it: a release DLL offers no module of the process a
// way to replace the platform.
#ifndef KQT_UTIL_PLATFORM_PLATFORM_H
#define KQT_UTIL_PLATFORM_PLATFORM_H

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "util/kqtUtilExport.h"

#if defined(QUARN_TEST_HOOKS)
#define KQT_UTIL_SEAM_API KQTUTIL_API
#else
#define KQT_UTIL_SEAM_API
#endif

namespace kqt {
namespace sys {

// One running process, as the process list reports it.
struct ProcessInfo {
  std::uint32_t pid = 0;
  std::string exeName;  // file name of the executable image ("a.exe")
  std::string arg0;     // file name of the first command-line argument, where known
};

class KQT_UTIL_SEAM_API Platform {
 public:
  Platform() = default;
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;
  virtual ~Platform();

  // Full path of the running executable, components separated by "/";
  // empty when the system does not say.
  virtual std::string ExecutablePath();

  // True when the operating system is 64-bit (on Windows also for a 32-bit
  // process under WOW64).
  virtual bool IsOperatingSystem64Bit();

  virtual void SleepMilliseconds(std::uint64_t milliseconds);

  // Every process the caller may see, in the system's order; empty when the
  // list cannot be read.
  virtual std::vector<ProcessInfo> ListProcesses();

  // A pseudo-random number; safe to call from any thread.
  virtual int Random();
};

// The implementation in force: a substitute where a test set one, else the
// real one.
Platform& CurrentPlatform();

// `seconds` as local time (not substituted: the log's time stamps); false
// where the system cannot say.
bool LocalTime(std::time_t seconds, std::tm& local);

#if defined(QUARN_TEST_HOOKS)
// The real implementation, whatever substitute is in force.
KQTUTIL_API Platform& NativePlatform();
// Puts `substitute` in force (null: the real one again) and returns the one
// it replaces. Set before the threads that use it start.
KQTUTIL_API Platform* SetPlatformForTesting(Platform* substitute);
#endif

}  // namespace sys
}  // namespace kqt

#endif

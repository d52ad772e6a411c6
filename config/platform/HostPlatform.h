// The operating-system seam of the configuration library's own queries:
// Windows Sockets start and end, the host name, the local addresses and the
// Windows version. The real implementation is HostPlatformPosix.cpp or
// HostPlatformWin32.cpp; only the testing build (QUARN_TEST_HOOKS) exports
// a way to substitute it.
#ifndef QUARN_CONFIG_PLATFORM_HOSTPLATFORM_H
#define QUARN_CONFIG_PLATFORM_HOSTPLATFORM_H

#include <string>
#include <vector>

#include "config/QuarnConfigExport.h"
#include "config/WindowsVersionInfo.h"

#if defined(QUARN_TEST_HOOKS)
#define QUARN_HOST_SEAM_API QUARNCONFIG_API
#else
#define QUARN_HOST_SEAM_API
#endif

namespace quarn {
namespace sys {

class QUARN_HOST_SEAM_API HostPlatform {
 public:
  HostPlatform() = default;
  HostPlatform(const HostPlatform&) = delete;
  HostPlatform& operator=(const HostPlatform&) = delete;
  virtual ~HostPlatform();

  // Windows Sockets 2.2 start and end (WSAStartup/WSACleanup); the result is
  // the call's. POSIX has nothing to start: both answer 0.
  virtual int StartSockets();
  virtual int CleanupSockets();

  // The local host name (gethostname with a 256-byte buffer); false when the
  // system gives none.
  virtual bool HostName(std::string& name);

  // The machine's own IPv4 addresses in dotted-decimal form, in the order the
  // system gives them. Windows: the addresses of the local host name
  // (gethostname, gethostbyname, inet_ntoa). POSIX: the same answer from the
  // interfaces that are up (getifaddrs), loopback left out; "127.0.0.1"
  // alone when no other interface has an IPv4 address. Empty when the query
  // fails.
  virtual std::vector<std::string> LocalIPv4Addresses();

  // The version values of the running Windows; all zero elsewhere.
  virtual WindowsVersionInfo WindowsVersion();

  // The version Windows runs, whatever it tells this program (RtlGetVersion,
  // looked up at run time); not known elsewhere. The library's answers do
  // not use it: the inspector shows it beside them.
  virtual RealWindowsVersion TrueWindowsVersion();
};

QUARN_HOST_SEAM_API HostPlatform& CurrentHostPlatform();

#if defined(QUARN_TEST_HOOKS)
QUARNCONFIG_API HostPlatform& NativeHostPlatform();
QUARNCONFIG_API HostPlatform* SetHostPlatformForTesting(HostPlatform* substitute);
#endif

}  // namespace sys
}  // namespace quarn

#endif

// What Windows reports about its version, as plain values: what the host
// seam fills in (config/platform/HostPlatform.h) and the description rule
// reads (config/WindowsDescription.h), kept apart from both.
#ifndef QUARN_CONFIG_WINDOWSVERSIONINFO_H
#define QUARN_CONFIG_WINDOWSVERSIONINFO_H

namespace quarn {
namespace sys {

// The fields of OSVERSIONINFOEXA and SYSTEM_INFO, and two more queries. All
// zero where the query fails or the system is not Windows.
struct WindowsVersionInfo {
  unsigned long platformId = 0;  // 2: the NT family
  unsigned long major = 0;
  unsigned long minor = 0;
  unsigned long build = 0;
  char servicePack[128] = {};  // szCSDVersion: not always terminated
  unsigned char productType = 0;
  unsigned short suiteMask = 0;
  unsigned short processorArchitecture = 0;  // of the native system
  int serverR2 = 0;                          // GetSystemMetrics(SM_SERVERR2), asked for 5.2 only
  unsigned long productCode = 0;             // GetProductInfo, asked for major version 6 only
};

// The version the system itself runs (RtlGetVersion): Windows 8.1 and
// later tell a program without a compatibility manifest that they are 6.2,
// but not this way.
struct RealWindowsVersion {
  bool known = false;
  unsigned long major = 0, minor = 0, build = 0;
};

}  // namespace sys
}  // namespace quarn

#endif

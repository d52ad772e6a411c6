// The one door to the operating system.
//
// Every operating-system query of the kqt libraries and of the configuration
// library goes through kqt::sys::Platform. Its methods are the real
// implementation (Windows or POSIX, chosen by the build); a test derives from
// it, overrides the queries it wants to fix, and installs the object with
// ScopedPlatformOverride. Everything not overridden still reaches the real
// system.
#ifndef KQT_UTIL_PLATFORM_H
#define KQT_UTIL_PLATFORM_H

#include <cstdint>
#include <string>
#include <vector>

#include "util/kqtUtilExport.h"

namespace kqt {
namespace sys {

// One running process, as the process list reports it.
struct ProcessInfo {
  std::uint32_t pid = 0;
  std::string exeName;  // file name of the executable image ("a.exe")
  std::string arg0;     // file name of the first command-line argument, where known
};

// What Windows reports about its version, as plain values (the fields of
// OSVERSIONINFOEXA and SYSTEM_INFO, and two more queries). All zero where
// the query fails or the system is not Windows.
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

// The raw SMBIOS block as Windows' GetSystemFirmwareTable('RSMB') returns
// it: calling method, major and minor version, DMI revision, 32-bit table
// length (little-endian), then the structure table.
struct FirmwareBlock {
  enum Status {
    kOk,
    kNoService,  // the module that offers the service is not loaded
    kNoRoutine,  // the service's routine is missing
    kFailed,     // the service is there but gave nothing
  };
  Status status = kFailed;
  std::vector<unsigned char> bytes;
  std::string diagnostic;  // what went wrong, for kFailed
};

// The four registers of one CPUID leaf.
struct CpuidRegisters {
  std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

class KQTUTIL_API Platform {
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

  // Windows Sockets 2.2 start and end (WSAStartup/WSACleanup); the result is
  // the call's. POSIX has nothing to start: both answer 0.
  virtual int StartSockets();
  virtual int CleanupSockets();

  // Every process the caller may see; empty when the list cannot be read.
  virtual std::vector<ProcessInfo> ListProcesses();

  // The local host name (gethostname with a 256-byte buffer); false when the
  // system gives none.
  virtual bool HostName(std::string& name);

  // The machine's own IPv4 addresses in dotted-decimal form, in the order the
  // system gives them. Windows: the addresses of the local host name
  // (gethostname, gethostbyname). POSIX: the same answer from the interfaces
  // that are up (getifaddrs), loopback left out; "127.0.0.1" alone when no
  // other interface has an IPv4 address. Empty when the query fails.
  virtual std::vector<std::string> LocalIPv4Addresses();

  // The version values of the running Windows; all zero elsewhere.
  virtual WindowsVersionInfo WindowsVersion();

  // Whether the SMBIOS table is to be had from the system's firmware-table
  // service: on Windows, NT 5.2 or later (GetVersionExW); elsewhere, when the
  // kernel publishes the table (/sys/firmware/dmi/tables exists).
  virtual bool HasFirmwareTableService();

  // The SMBIOS block from the firmware-table service (Windows:
  // GetSystemFirmwareTable, looked up at run time; Linux: the entry point and
  // table the kernel publishes, in the same layout).
  virtual FirmwareBlock FirmwareSmbiosBlock();

  // Reads `length` bytes of physical memory at `address` into `buffer`
  // (Windows: the section \device\physicalmemory; POSIX: /dev/mem), read-only.
  // Returns whether the bytes were copied; `diagnostics` receives one line
  // per failure, in the form "<what>: <the system's text>\n". A range that
  // was not read leaves `buffer` as it was.
  virtual bool ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                                  std::string& diagnostics);

  // The processor's CPUID leaf (all zero where there is no such instruction).
  virtual CpuidRegisters Cpuid(std::uint32_t leaf);

  // The IPv4 addresses of a host name in dotted-decimal form, in the order
  // the resolver gives them; empty when the name does not resolve.
  virtual std::vector<std::string> LookupIPv4(const std::string& name);

  // A pseudo-random number; safe to call from any thread.
  virtual int Random();
};

// The implementation in force: an installed override, else the real one.
KQTUTIL_API Platform& CurrentPlatform();

// The real implementation, whatever override is installed.
KQTUTIL_API Platform& NativePlatform();

// Installs `substitute` for the lifetime of this object and restores the
// previous implementation afterwards. Meant for tests: install before the
// threads that use the platform start, remove after they end.
class KQTUTIL_API ScopedPlatformOverride {
 public:
  explicit ScopedPlatformOverride(Platform& substitute);
  ~ScopedPlatformOverride();
  ScopedPlatformOverride(const ScopedPlatformOverride&) = delete;
  ScopedPlatformOverride& operator=(const ScopedPlatformOverride&) = delete;

 private:
  Platform* m_previous;
};

}  // namespace sys
}  // namespace kqt

#endif

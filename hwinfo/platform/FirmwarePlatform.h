// The operating-system seam of the SMBIOS code: the firmware-table service,
// physical memory and the processor's CPUID instruction. The real
// implementation is FirmwarePosix.cpp or FirmwareWin32.cpp; only the
// testing build (QUARN_TEST_HOOKS) exports a way to substitute it.
#ifndef QUARN_HWINFO_PLATFORM_FIRMWAREPLATFORM_H
#define QUARN_HWINFO_PLATFORM_FIRMWAREPLATFORM_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hwinfo/HwInfoExport.h"

#if defined(QUARN_TEST_HOOKS)
#define QUARN_FIRMWARE_SEAM_API QUARN_HWINFO_API
#else
#define QUARN_FIRMWARE_SEAM_API
#endif

namespace quarn {
namespace sys {

// The most bytes a firmware table or block may have: far above any real
// one (a few KiB; 29 KiB for the largest of the corpus), so that no size the
// system reports makes the library allocate without bound.
constexpr std::size_t kMostFirmwareBytes = std::size_t{16} << 20;

// The raw SMBIOS block as Windows' GetSystemFirmwareTable('RSMB') returns
// it: calling method, major and minor version, DMI revision, 32-bit table
// length (little-endian), then the structure table.
struct FirmwareBlock {
  enum Status { kOk, kFailed };
  Status status = kFailed;
  std::vector<unsigned char> bytes;
  // kFailed: what went wrong, as the acquisition prints it ("failed to get
  // address of GetSystemFirmwareTable", "/sys/...: not a regular file\n").
  std::string diagnostic;
};

// The four registers of one CPUID leaf.
struct CpuidRegisters {
  std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

class QUARN_FIRMWARE_SEAM_API FirmwarePlatform {
 public:
  FirmwarePlatform() = default;
  FirmwarePlatform(const FirmwarePlatform&) = delete;
  FirmwarePlatform& operator=(const FirmwarePlatform&) = delete;
  virtual ~FirmwarePlatform();

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
};

QUARN_FIRMWARE_SEAM_API FirmwarePlatform& CurrentFirmwarePlatform();

#if !defined(_WIN32)
// ReadPhysicalMemory from the memory device at `device` ("/dev/mem"): only a
// character device or a regular file is read, and nothing waits for a
// writer.
QUARN_FIRMWARE_SEAM_API bool ReadMemoryDevice(const std::string& device, std::uint32_t address, std::uint32_t length,
                                              unsigned char* buffer, std::string& diagnostics);
#endif

#if defined(QUARN_TEST_HOOKS)
QUARN_HWINFO_API FirmwarePlatform& NativeFirmwarePlatform();
QUARN_HWINFO_API FirmwarePlatform* SetFirmwarePlatformForTesting(FirmwarePlatform* substitute);
#endif

}  // namespace sys
}  // namespace quarn

#endif

// The SMBIOS code's firmware queries on Linux and other POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "hwinfo/SmbiosAcquisition.h"
#include "hwinfo/platform/FirmwarePlatform.h"
#include "util/platform/Posix.h"

namespace quarn {
namespace sys {
namespace {

const char kDmiTables[] = "/sys/firmware/dmi/tables";

}  // namespace

bool FirmwarePlatform::HasFirmwareTableService() {
  struct stat info;
  return ::stat(kDmiTables, &info) == 0 && S_ISDIR(info.st_mode);
}

FirmwareBlock FirmwarePlatform::FirmwareSmbiosBlock() { return ReadPublishedTables(kDmiTables); }

bool FirmwarePlatform::ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                                          std::string& diagnostics) {
  return ReadMemoryDevice("/dev/mem", address, length, buffer, diagnostics);
}

bool ReadMemoryDevice(const std::string& device, std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                      std::string& diagnostics) {
  // The same messages as on Windows, with the system's text. Opened without
  // waiting and then examined, as the kernel's table files are: a FIFO put
  // in its place would otherwise block the open for ever, under the lock
  // every caller of the BIOS UUID waits on. Read, not mapped: a device
  // shorter than the range ends the read instead of raising SIGBUS.
  const kqt::sys::ScopedDescriptor memory(::open(device.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!memory.valid()) {
    diagnostics += std::string("Could not open \\device\\physicalmemory: ") + std::strerror(errno) + "\n";
    return false;
  }
  struct stat info;
  if (::fstat(memory.get(), &info) != 0 || !(S_ISCHR(info.st_mode) || S_ISREG(info.st_mode))) {
    diagnostics += "Could not open \\device\\physicalmemory: " + device + " is not a memory device\n";
    return false;
  }
  std::vector<unsigned char> bytes(length);
  std::size_t have = 0;
  while (have < length) {
    const ssize_t n = ::pread(memory.get(), bytes.data() + have, length - have,
                              static_cast<off_t>(address) + static_cast<off_t>(have));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      char what[256];
      std::snprintf(what, sizeof what, "Could not map view of %X length %X", address, static_cast<unsigned>(length));
      diagnostics += std::string(what) + ": " + (n < 0 ? std::strerror(errno) : "the range ends early") + "\n";
      return false;
    }
    have += static_cast<std::size_t>(n);
  }
  std::memcpy(buffer, bytes.data(), length);
  return true;
}

}  // namespace sys
}  // namespace quarn

// The SMBIOS code's firmware queries on Linux and other POSIX systems.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "hwinfo/platform/FirmwarePlatform.h"

namespace quarn {
namespace sys {
namespace {

const char kDmiTables[] = "/sys/firmware/dmi/tables";

// The whole of a small file; false with the system's reason on failure.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& reason) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    reason = path + ": " + std::strerror(errno) + "\n";
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

bool FirmwarePlatform::HasFirmwareTableService() {
  struct stat info;
  return ::stat(kDmiTables, &info) == 0 && S_ISDIR(info.st_mode);
}

FirmwareBlock FirmwarePlatform::FirmwareSmbiosBlock() {
  FirmwareBlock block;
  std::vector<unsigned char> entry, table;
  const std::string dir = kDmiTables;
  if (!ReadWholeFile(dir + "/smbios_entry_point", entry, block.diagnostic) ||
      !ReadWholeFile(dir + "/DMI", table, block.diagnostic))
    return block;
  // The version from the entry point: "_SM_" (2.x) or "_SM3_" (3.x).
  unsigned char major = 0, minor = 0, revision = 0;
  if (entry.size() >= 8 && std::memcmp(entry.data(), "_SM_", 4) == 0) {
    major = entry[6];
    minor = entry[7];
  } else if (entry.size() >= 10 && std::memcmp(entry.data(), "_SM3_", 5) == 0) {
    major = entry[7];
    minor = entry[8];
    revision = entry[9];
  } else {
    block.diagnostic = dir + "/smbios_entry_point: no SMBIOS entry point\n";
    return block;
  }
  const std::uint32_t length = static_cast<std::uint32_t>(table.size());
  block.bytes = {0,
                 major,
                 minor,
                 revision,
                 static_cast<unsigned char>(length),
                 static_cast<unsigned char>(length >> 8),
                 static_cast<unsigned char>(length >> 16),
                 static_cast<unsigned char>(length >> 24)};
  block.bytes.insert(block.bytes.end(), table.begin(), table.end());
  block.status = FirmwareBlock::kOk;
  return block;
}

bool FirmwarePlatform::ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
                                          std::string& diagnostics) {
  // The same messages as on Windows, with the system's text.
  const int memory = ::open("/dev/mem", O_RDONLY | O_CLOEXEC);
  if (memory < 0) {
    diagnostics += std::string("Could not open \\device\\physicalmemory: ") + std::strerror(errno) + "\n";
    return false;
  }
  const long page = ::sysconf(_SC_PAGESIZE) > 0 ? ::sysconf(_SC_PAGESIZE) : 4096;
  const std::uint32_t inPage = address % static_cast<std::uint32_t>(page);
  const size_t viewLength = static_cast<size_t>(length) + inPage;
  void* view = ::mmap(nullptr, viewLength, PROT_READ, MAP_SHARED, memory, static_cast<off_t>(address - inPage));
  if (view == MAP_FAILED) {
    char what[256];
    std::snprintf(what, sizeof what, "Could not map view of %X length %X", address, static_cast<unsigned>(viewLength));
    diagnostics += std::string(what) + ": " + std::strerror(errno) + "\n";
    ::close(memory);
    return false;
  }
  std::memcpy(buffer, static_cast<const unsigned char*>(view) + inPage, length);
  if (::munmap(view, viewLength) != 0)
    diagnostics += std::string("Unable to unmap view: ") + std::strerror(errno) + "\n";
  ::close(memory);
  return true;
}

}  // namespace sys
}  // namespace quarn

// The platform queries on Linux and other POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "util/Platform.h"
#include "util/platform/Ipv4Text.h"

namespace kqt {
namespace sys {
namespace {

std::string ReadLink(const std::string& path) {
  std::string target(256, '\0');
  for (;;) {
    ssize_t n = ::readlink(path.c_str(), &target[0], target.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < target.size()) {
      target.resize(static_cast<size_t>(n));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

std::string BaseName(const std::string& path) {
  std::string::size_type slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The first NUL-terminated argument of /proc/<pid>/cmdline.
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

std::string FirstArgument(const std::string& procDir) {
  std::ifstream in(procDir + "/cmdline", std::ios::binary);
  std::string arg;
  std::getline(in, arg, '\0');
  return arg;
}

}  // namespace

std::string Platform::ExecutablePath() { return ReadLink("/proc/self/exe"); }

bool Platform::IsOperatingSystem64Bit() {
  struct utsname names;
  if (::uname(&names) != 0) return sizeof(void*) == 8;
  const std::string machine = names.machine;
  return machine.find("64") != std::string::npos || machine == "s390x";
}

int Platform::StartSockets() { return 0; }

int Platform::CleanupSockets() { return 0; }

std::vector<ProcessInfo> Platform::ListProcesses() {
  std::vector<ProcessInfo> processes;
  DIR* proc = ::opendir("/proc");
  if (!proc) return processes;
  while (struct dirent* entry = ::readdir(proc)) {
    char* end = nullptr;
    unsigned long pid = std::strtoul(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || pid == 0 || pid > 0xFFFFFFFFul) continue;
    const std::string dir = std::string("/proc/") + entry->d_name;
    ProcessInfo info;
    info.pid = static_cast<std::uint32_t>(pid);
    std::string image = ReadLink(dir + "/exe");
    const char kDeleted[] = " (deleted)";
    if (image.size() > sizeof kDeleted - 1 &&
        image.compare(image.size() - (sizeof kDeleted - 1), std::string::npos, kDeleted) == 0)
      image.resize(image.size() - (sizeof kDeleted - 1));
    info.exeName = BaseName(image);
    info.arg0 = BaseName(FirstArgument(dir));
    if (info.exeName.empty() && info.arg0.empty()) continue;  // gone, or a kernel thread
    processes.push_back(std::move(info));
  }
  ::closedir(proc);
  return processes;
}

bool Platform::HostName(std::string& name) {
  char buffer[256] = {};
  if (::gethostname(buffer, 255) != 0) return false;
  name = buffer;
  return true;
}

std::vector<std::string> Platform::LocalIPv4Addresses() {
  std::vector<std::string> addresses;
  struct ifaddrs* interfaces = nullptr;
  if (::getifaddrs(&interfaces) != 0) return addresses;
  for (struct ifaddrs* it = interfaces; it; it = it->ifa_next) {
    if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET) continue;
    if (!(it->ifa_flags & IFF_UP) || (it->ifa_flags & IFF_LOOPBACK)) continue;
    const sockaddr_in* address = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
    addresses.push_back(Ipv4Text(reinterpret_cast<const unsigned char*>(&address->sin_addr)));
  }
  ::freeifaddrs(interfaces);
  // Windows answers its own host name with the loopback address when the
  // machine has no other.
  if (addresses.empty()) addresses.push_back("127.0.0.1");
  return addresses;
}

// Not Windows: no version to report.
WindowsVersionInfo Platform::WindowsVersion() { return WindowsVersionInfo(); }

bool Platform::HasFirmwareTableService() {
  struct stat info;
  return ::stat(kDmiTables, &info) == 0 && S_ISDIR(info.st_mode);
}

FirmwareBlock Platform::FirmwareSmbiosBlock() {
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

bool Platform::ReadPhysicalMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer,
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

std::vector<std::string> Platform::LookupIPv4(const std::string& name) {
  std::vector<std::string> addresses;
  struct addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
  struct addrinfo* results = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &results) != 0) return addresses;
  addresses = Ipv4Addresses(results);
  ::freeaddrinfo(results);
  return addresses;
}

}  // namespace sys
}  // namespace kqt

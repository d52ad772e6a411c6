// The configuration library's host queries on Linux and other POSIX
// systems.
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "config/platform/HostPlatform.h"
#include "util/platform/Ipv4Text.h"

namespace quarn {
namespace sys {

int HostPlatform::StartSockets() { return 0; }

int HostPlatform::CleanupSockets() { return 0; }

bool HostPlatform::HostName(std::string& name) {
  char buffer[256] = {};
  if (::gethostname(buffer, 255) != 0) return false;
  name = buffer;
  return true;
}

std::vector<std::string> HostPlatform::LocalIPv4Addresses() {
  std::vector<std::string> addresses;
  struct ifaddrs* interfaces = nullptr;
  if (::getifaddrs(&interfaces) != 0) return addresses;
  for (struct ifaddrs* it = interfaces; it; it = it->ifa_next) {
    if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET) continue;
    if (!(it->ifa_flags & IFF_UP) || (it->ifa_flags & IFF_LOOPBACK)) continue;
    const sockaddr_in* address = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
    addresses.push_back(kqt::sys::Ipv4Text(reinterpret_cast<const unsigned char*>(&address->sin_addr)));
  }
  ::freeifaddrs(interfaces);
  // Windows answers its own host name with the loopback address when the
  // machine has no other.
  if (addresses.empty()) addresses.push_back("127.0.0.1");
  return addresses;
}

// Not Windows: no version to report.
WindowsVersionInfo HostPlatform::WindowsVersion() { return WindowsVersionInfo(); }

RealWindowsVersion HostPlatform::TrueWindowsVersion() { return RealWindowsVersion(); }

}  // namespace sys
}  // namespace quarn

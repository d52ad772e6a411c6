// Name lookup on POSIX systems.
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

#include "util/platform/Ipv4Text.h"
#include "util/platform/NetPlatform.h"

namespace kqt {
namespace sys {

std::vector<std::string> NetPlatform::LookupIPv4(const std::string& name) {
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

// IPv4 address texts from what the resolver returns. Included after the
// system's socket headers (netdb.h or ws2tcpip.h), which define addrinfo.
#ifndef KQT_UTIL_PLATFORM_IPV4TEXT_H
#define KQT_UTIL_PLATFORM_IPV4TEXT_H

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace kqt {
namespace sys {

inline std::string Ipv4Text(const unsigned char* bytes) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
  return text;
}

// The IPv4 addresses of a getaddrinfo result list, in its order.
template <class AddrInfo>
std::vector<std::string> Ipv4Addresses(const AddrInfo* results) {
  std::vector<std::string> addresses;
  for (const AddrInfo* it = results; it; it = it->ai_next) {
    if (it->ai_family != AF_INET || !it->ai_addr) continue;
    const sockaddr_in* address = reinterpret_cast<const sockaddr_in*>(it->ai_addr);
    addresses.push_back(Ipv4Text(reinterpret_cast<const unsigned char*>(&address->sin_addr)));
  }
  return addresses;
}

// The IPv4 addresses of a host name, from getaddrinfo, in its order; empty
// when the name does not resolve.
inline std::vector<std::string> ResolveIPv4(const std::string& name) {
  struct addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
  struct addrinfo* results = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &results) != 0) return std::vector<std::string>();
  std::vector<std::string> addresses = Ipv4Addresses(results);
  ::freeaddrinfo(results);
  return addresses;
}

}  // namespace sys
}  // namespace kqt

#endif

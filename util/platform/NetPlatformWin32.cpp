// Name lookup on Windows.
#include <winsock2.h>

#include <ws2tcpip.h>

#include <cstring>

#include "util/platform/Ipv4Text.h"
#include "util/platform/NetPlatform.h"

namespace kqt {
namespace sys {
namespace {

// Starts Windows Sockets for one call and ends it again; counted by the
// system, so it nests with the caller's own start.
class SocketsForCall {
 public:
  SocketsForCall() {
    WSADATA data;
    m_started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~SocketsForCall() {
    if (m_started) ::WSACleanup();
  }
  SocketsForCall(const SocketsForCall&) = delete;
  SocketsForCall& operator=(const SocketsForCall&) = delete;

 private:
  bool m_started;
};

}  // namespace

std::vector<std::string> NetPlatform::LookupIPv4(const std::string& name) {
  std::vector<std::string> addresses;
  SocketsForCall sockets;
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

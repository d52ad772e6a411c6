// Windows Sockets started for one call and ended again. Windows only.
#ifndef KQT_UTIL_PLATFORM_SOCKETSFORCALL_H
#define KQT_UTIL_PLATFORM_SOCKETSFORCALL_H

#include "util/platform/Win32.h"

namespace kqt {
namespace sys {

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

}  // namespace sys
}  // namespace kqt

#endif

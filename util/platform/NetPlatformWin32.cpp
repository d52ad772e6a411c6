// Name lookup on Windows.
#include "util/platform/Win32.h"

#include <cstring>

#include "util/platform/Ipv4Text.h"
#include "util/platform/NetPlatform.h"
#include "util/platform/SocketsForCall.h"

namespace kqt {
namespace sys {

std::vector<std::string> NetPlatform::LookupIPv4(const std::string& name) {
  SocketsForCall sockets;
  return ResolveIPv4(name);
}

}  // namespace sys
}  // namespace kqt

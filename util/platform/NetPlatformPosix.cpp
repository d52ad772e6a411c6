// Name lookup on POSIX systems.
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

#include "util/platform/Ipv4Text.h"
#include "util/platform/NetPlatform.h"

namespace kqt {
namespace sys {

std::vector<std::string> NetPlatform::LookupIPv4(const std::string& name) { return ResolveIPv4(name); }

}  // namespace sys
}  // namespace kqt

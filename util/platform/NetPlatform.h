// The operating-system seam of the kqt network library: name lookup. The
// real implementation is NetPlatformPosix.cpp or NetPlatformWin32.cpp; only
// the testing build (QUARN_TEST_HOOKS) exports a way to substitute it.
#ifndef KQT_UTIL_PLATFORM_NETPLATFORM_H
#define KQT_UTIL_PLATFORM_NETPLATFORM_H

#include <string>
#include <vector>

#include "util/kqtNetWorkExport.h"

#if defined(QUARN_TEST_HOOKS)
#define KQT_NET_SEAM_API KQTNETWORK_API
#else
#define KQT_NET_SEAM_API
#endif

namespace kqt {
namespace sys {

class KQT_NET_SEAM_API NetPlatform {
 public:
  NetPlatform() = default;
  NetPlatform(const NetPlatform&) = delete;
  NetPlatform& operator=(const NetPlatform&) = delete;
  virtual ~NetPlatform();

  // The IPv4 addresses of a host name in dotted-decimal form, in the order
  // the resolver gives them; empty when the name does not resolve.
  virtual std::vector<std::string> LookupIPv4(const std::string& name);
};

NetPlatform& CurrentNetPlatform();

#if defined(QUARN_TEST_HOOKS)
KQTNETWORK_API NetPlatform& NativeNetPlatform();
KQTNETWORK_API NetPlatform* SetNetPlatformForTesting(NetPlatform* substitute);
#endif

}  // namespace sys
}  // namespace kqt

#endif

#include "util/HostInfoUtil.h"

#include "util/platform/NetPlatform.h"

namespace kqt {

std::vector<std::string> CHostInfoUtil::GetIpListByDomain(const std::string& domain, int maxCount) {
  // A name with an embedded NUL would be looked up cut short: refuse it.
  if (maxCount <= 0 || domain.empty() || domain.find('\0') != std::string::npos) return {};
  std::vector<std::string> addresses = sys::CurrentNetPlatform().LookupIPv4(domain);
  if (addresses.size() > static_cast<size_t>(maxCount)) addresses.resize(static_cast<size_t>(maxCount));
  return addresses;
}

}  // namespace kqt

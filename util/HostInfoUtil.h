// Name lookup (the network library).
#ifndef KQT_UTIL_HOSTINFOUTIL_H
#define KQT_UTIL_HOSTINFOUTIL_H

#include <string>
#include <vector>

#include "util/kqtNetWorkExport.h"

namespace kqt {

class KQTNETWORK_API CHostInfoUtil {
 public:
  // The IPv4 addresses of `domain` as dotted-decimal texts, in the
  // resolver's order, at most `maxCount` of them (callers pass 20); empty
  // when the name does not resolve or `maxCount` is not positive. A dotted
  // address resolves to itself. Thread-safe: each call does its own lookup
  // and blocks the calling thread only.
  static std::vector<std::string> GetIpListByDomain(const std::string& domain, int maxCount);
};

}  // namespace kqt

#endif

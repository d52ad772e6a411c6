#include "config/AddressRules.h"

#include "util/StringUtil.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
  return kqt::CStringUtil::stringStartWith(text, prefix, false);
}

// Whole prefixes, dot included: "10." does not match 100.64.0.1, and
// "172.16." does not match 172.160.0.1. The "172." run goes up to 32.
const char* const kPrivatePrefixes[] = {
    "10.",     "169.254.", "172.16.", "172.17.", "172.18.", "172.19.",  "172.20.",
    "172.21.", "172.22.",  "172.23.", "172.24.", "172.25.", "172.26.",  "172.27.",
    "172.28.", "172.29.",  "172.30.", "172.31.", "172.32.", "192.168.", "127.0.0.1",
};

const size_t kMostHostAddresses = 6;
const int kMostExaminedAddresses = 200;  // the walk stops when more were examined

}  // namespace

bool IsPrivateIp(const std::string& ip) {
  for (const char* prefix : kPrivatePrefixes)
    if (StartsWith(ip, prefix)) return true;
  return false;
}

namespace quarn {

bool IsUnusableIp(const std::string& ip) {
  return StartsWith(ip, "169.254.") || ip == "127.0.0.1" || ip == "255.255.255.255";
}

std::list<std::string> UsableAddresses(const std::vector<std::string>& addresses) {
  std::list<std::string> usable;
  for (const std::string& address : addresses) {
    if (IsUnusableIp(address)) continue;
    usable.push_back(address);
    if (usable.size() >= kMostHostAddresses) break;
  }
  return usable;
}

std::string ChooseIdentityIp(const std::vector<std::string>& addresses) {
  std::string fallback;
  int examined = 0;
  for (const std::string& address : addresses) {
    if (IsUnusableIp(address)) continue;
    if (IsPrivateIp(address)) return address;
    if (StartsWith(address, "172.")) fallback = address;
    if (++examined > kMostExaminedAddresses) break;
  }
  return fallback;
}

}  // namespace quarn

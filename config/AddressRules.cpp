#include "config/AddressRules.h"

#include <cstring>

namespace {

// A prefix with its length, known when the program is built.
struct Prefix {
  const char* text;
  size_t length;
};
template <size_t N>
constexpr Prefix P(const char (&text)[N]) {
  return {text, N - 1};
}

// A byte-wise prefix test that builds no temporary text and measures
// nothing: the identity walk runs it for every prefix of every address.
bool StartsWith(const std::string& text, const Prefix& prefix) {
  return text.size() >= prefix.length && std::memcmp(text.data(), prefix.text, prefix.length) == 0;
}

// Whole prefixes, dot included: "10." does not match 100.64.0.1, and
// "172.16." does not match 172.160.0.1. The "172." run goes up to 32.
const Prefix kPrivatePrefixes[] = {
    P("10."),     P("169.254."), P("172.16."), P("172.17."), P("172.18."), P("172.19."),  P("172.20."),
    P("172.21."), P("172.22."),  P("172.23."), P("172.24."), P("172.25."), P("172.26."),  P("172.27."),
    P("172.28."), P("172.29."),  P("172.30."), P("172.31."), P("172.32."), P("192.168."), P("127.0.0.1"),
};
constexpr Prefix kFallbackPrefix = P("172."), kLinkLocal = P("169.254.");

const size_t kMostHostAddresses = 6;
const int kMostExaminedAddresses = 200;  // the walk stops when more were examined

// The private prefix `ip` begins with, or null.
const char* PrivatePrefixOf(const std::string& ip) {
  // Every private prefix begins with "1": most public addresses are
  // answered by their first byte.
  if (ip.empty() || ip[0] != '1') return nullptr;
  for (const Prefix& prefix : kPrivatePrefixes)
    if (StartsWith(ip, prefix)) return prefix.text;
  return nullptr;
}

}  // namespace

bool IsPrivateIp(const std::string& ip) { return PrivatePrefixOf(ip) != nullptr; }

namespace {

// The identity walk, telling `visit(index, kind, prefix)` what it makes of
// each address it looks at; returns the chosen address. One walk serves
// the answer and its explanation, so the two cannot disagree.
template <typename Visit>
std::string WalkForIdentity(const std::vector<std::string>& addresses, Visit&& visit, bool& boundReached) {
  using quarn::IdentityVerdict;
  std::string fallback;
  int examined = 0;
  boundReached = false;
  for (size_t i = 0; i < addresses.size(); ++i) {
    const std::string& address = addresses[i];
    if (quarn::IsUnusableIp(address)) {
      visit(i, IdentityVerdict::kUnusable, nullptr);
      continue;
    }
    if (const char* prefix = PrivatePrefixOf(address)) {
      visit(i, IdentityVerdict::kPrivate, prefix);
      return address;
    }
    if (StartsWith(address, kFallbackPrefix)) {
      fallback = address;
      visit(i, IdentityVerdict::kFallback172, nullptr);
    } else {
      visit(i, IdentityVerdict::kPublic, nullptr);
    }
    if (++examined > kMostExaminedAddresses) {
      boundReached = i + 1 < addresses.size();
      break;
    }
  }
  return fallback;
}

}  // namespace

namespace quarn {

bool IsUnusableIp(const std::string& ip) {
  return StartsWith(ip, kLinkLocal) || ip == "127.0.0.1" || ip == "255.255.255.255";
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
  bool boundReached;
  return WalkForIdentity(
      addresses, [](size_t, IdentityVerdict::Kind, const char*) {}, boundReached);
}

const int IdentityExplanation::kMostExamined = kMostExaminedAddresses;

const char* VerdictName(IdentityVerdict::Kind kind) {
  switch (kind) {
    case IdentityVerdict::kUnusable:
      return "unusable";
    case IdentityVerdict::kPrivate:
      return "private";
    case IdentityVerdict::kFallback172:
      return "172. fallback";
    case IdentityVerdict::kPublic:
      return "not private";
    case IdentityVerdict::kNotConsidered:
      return "not considered";
  }
  return "unknown";
}

IdentityExplanation ExplainIdentityIp(const std::vector<std::string>& addresses) {
  IdentityExplanation explanation;
  for (const std::string& address : addresses)
    explanation.verdicts.push_back(IdentityVerdict{address, IdentityVerdict::kNotConsidered, nullptr});
  explanation.chosen = WalkForIdentity(
      addresses,
      [&](size_t index, IdentityVerdict::Kind kind, const char* prefix) {
        explanation.verdicts[index].kind = kind;
        explanation.verdicts[index].prefix = prefix;
      },
      explanation.boundReached);
  return explanation;
}

}  // namespace quarn

// Which of the machine's IPv4 addresses identify it. Pure functions of
// address texts; they compare texts (prefixes), not numbers.
#ifndef QUARN_CONFIG_ADDRESSRULES_H
#define QUARN_CONFIG_ADDRESSRULES_H

#include <list>
#include <string>
#include <vector>

// True when `ip` begins with one of the private-address prefixes: "10.",
// "169.254.", "172.16." to "172.32.", "192.168." and "127.0.0.1".
bool IsPrivateIp(const std::string& ip);

namespace quarn {

// Link-local (169.254.x), the loopback address 127.0.0.1 exactly, and the
// broadcast address 255.255.255.255 exactly identify no machine.
bool IsUnusableIp(const std::string& ip);

// The usable addresses, in order, at most six.
std::list<std::string> UsableAddresses(const std::vector<std::string>& addresses);

// The identity address: the first usable address that is private; else the
// last examined one that begins with "172."; else the empty text. At most
// 201 usable non-private addresses are examined.
std::string ChooseIdentityIp(const std::vector<std::string>& addresses);

// Why ChooseIdentityIp chose as it did, address by address, for people who
// ask (the inspector): the same walk, telling what it saw.
struct IdentityVerdict {
  enum Kind : int {
    kUnusable,       // link-local, loopback or broadcast: passed over
    kPrivate,        // private by `prefix`: chosen, the walk ends
    kFallback172,    // begins with "172." but is not private: the fallback so far
    kPublic,         // examined: neither private nor "172."
    kNotConsidered,  // after the chosen address, or past the bound
  };
  std::string address;
  Kind kind;
  const char* prefix;  // the private prefix that matched, else null
};
struct IdentityExplanation {
  std::string chosen;                     // what ChooseIdentityIp answers
  std::vector<IdentityVerdict> verdicts;  // one per address, in order
  bool boundReached = false;              // the walk stopped at the bound
  static const int kMostExamined;         // the bound: usable non-private addresses examined, less one
};
IdentityExplanation ExplainIdentityIp(const std::vector<std::string>& addresses);
// A stable name of a verdict ("unusable", "private", "172. fallback", "not
// private", "not considered"); "unknown" for a value outside the kinds.
const char* VerdictName(IdentityVerdict::Kind kind);

}  // namespace quarn

#endif

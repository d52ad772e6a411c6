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

}  // namespace quarn

#endif

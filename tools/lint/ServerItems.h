// What is wrong with a server of a list as a person wrote it: the library
// takes every item as it stands and asks the resolver for it, so a URL, a
// port, white space or a name that is no host name reaches the network as
// it is and finds nothing.
#ifndef QUARN_TOOLS_LINT_SERVERITEMS_H
#define QUARN_TOOLS_LINT_SERVERITEMS_H

#include <cstdint>
#include <string>

#include "lint/Findings.h"

namespace quarn_tools {

struct ServerItemProblem {
  bool found = false;  // false: nothing wrong
  Check check = Check::kListItemNotAHost;
  std::string why;  // what is wrong, in words
};

// The first problem of a non-empty item, in this order: white space around
// it, a URL, an IPv6 literal (the lists hold host names and IPv4 addresses),
// a port, white space inside it, a text the resolver reads as an IPv4
// address but written otherwise than four decimal parts, 0.0.0.0, digits
// and dots that are no address, a name that is no host name (RFC 1123:
// labels of letters, digits and hyphens, 1 to 63 characters, not beginning
// or ending with a hyphen; 253 characters in all). An underscore in a name
// is a note: resolvers take it, though it is no host name.
ServerItemProblem DiagnoseServerItem(const std::string& item);

// The address the platform's resolver takes a numeric text for, by the
// rules of inet_aton (and of Windows' inet_addr, which gethostbyname asks
// first): one to four parts, each decimal, octal after a leading 0 or
// hexadecimal after 0x, the last filling the bytes left. False for a text
// it does not read as an address (it is then looked up as a name).
bool ResolverIpv4(const std::string& text, std::uint32_t& address);

// "a.b.c.d": whether each of four parts is 0 to 255. `text` holds digits
// and dots only.
bool IsIpv4Address(const std::string& text);

}  // namespace quarn_tools

#endif

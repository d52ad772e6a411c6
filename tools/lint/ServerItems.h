// What is wrong with a server of a list as a person wrote it: the library
// takes every item as it stands and asks the resolver for it, so a URL, a
// port, white space or a name that is no host name reaches the network as
// it is and finds nothing.
#ifndef QUARN_TOOLS_LINT_SERVERITEMS_H
#define QUARN_TOOLS_LINT_SERVERITEMS_H

#include <string>

namespace quarn_tools {

struct ServerItemProblem {
  const char* code = nullptr;  // null: nothing wrong
  std::string why;             // what is wrong, in words
  bool isError = true;         // false: worth a note, the resolver takes it
};

// The first problem of a non-empty item, in this order: white space around
// it, a URL, an IPv6 literal (the lists hold host names and IPv4 addresses),
// a port, white space inside it, an IPv4 literal that is no address, a name
// that is no host name (RFC 1123: labels of letters, digits and hyphens, 1
// to 63 characters, not beginning or ending with a hyphen; 253 characters in
// all). An underscore in a name is a note: resolvers take it, though it is
// no host name.
ServerItemProblem DiagnoseServerItem(const std::string& item);

// "a.b.c.d": whether each of four parts is 0 to 255. `text` holds digits
// and dots only.
bool IsIpv4Address(const std::string& text);

}  // namespace quarn_tools

#endif

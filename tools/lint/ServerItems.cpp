#include "lint/ServerItems.h"

#include <algorithm>

namespace quarn_tools {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetterOrDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// An IPv6 literal: hexadecimal groups and at least two colons (an IPv4 tail
// allowed), bare or in brackets with a port after.
bool IsIpv6Literal(const std::string& item) {
  std::string text = item;
  if (!text.empty() && text.front() == '[') {
    const std::string::size_type close = text.find(']');
    if (close == std::string::npos) return false;
    text = text.substr(1, close - 1);
  }
  if (std::count(text.begin(), text.end(), ':') < 2) return false;
  for (char c : text)
    if (!IsHexDigit(c) && c != ':' && c != '.') return false;
  return true;
}

// Letters, digits and hyphens in labels; `underscores` allows "_" too.
bool IsHostName(const std::string& text, bool underscores) {
  std::string name = text;
  if (!name.empty() && name.back() == '.') name.pop_back();  // the root, written out
  if (name.empty() || name.size() > 253) return false;
  std::size_t start = 0;
  for (std::size_t at = 0; at <= name.size(); ++at) {
    if (at < name.size() && name[at] != '.') {
      if (!IsLetterOrDigit(name[at]) && name[at] != '-' && !(underscores && name[at] == '_')) return false;
      continue;
    }
    const std::size_t length = at - start;
    if (length == 0 || length > 63 || name[start] == '-' || name[at - 1] == '-') return false;
    start = at + 1;
  }
  return true;
}

}  // namespace

bool IsIpv4Address(const std::string& text) {
  int parts = 0;
  std::size_t start = 0;
  for (std::size_t at = 0; at <= text.size(); ++at) {
    if (at < text.size() && text[at] != '.') continue;
    const std::size_t length = at - start;
    if (length == 0 || length > 3 || std::stoi(text.substr(start, length)) > 255) return false;
    ++parts;
    start = at + 1;
  }
  return parts == 4;
}

ServerItemProblem DiagnoseServerItem(const std::string& item) {
  if (item.empty()) return {};
  if (IsBlank(item.front()) || IsBlank(item.back()))
    return {"list_item_spaces", "has white space around it, which the library keeps"};
  if (item.find("://") != std::string::npos || item.find('/') != std::string::npos)
    return {"list_item_url", "is a URL; the list holds host names and addresses"};
  if (IsIpv6Literal(item))
    return {"list_item_ipv6",
            "is an IPv6 address; the lists take host names and IPv4 addresses only (an IPv6 server is named by a "
            "host name)"};
  const std::string::size_type colon = item.rfind(':');
  if (colon != std::string::npos && colon + 1 < item.size() &&
      item.find_first_not_of("0123456789", colon + 1) == std::string::npos)
    return {"list_item_port", "names a port; the library adds none of its own and resolves the text as it is"};
  for (char c : item)
    if (IsBlank(c)) return {"list_item_not_a_host", "has white space inside: no host name has"};
  if (item.find_first_not_of("0123456789.") == std::string::npos)
    return IsIpv4Address(item) ? ServerItemProblem{}
                               : ServerItemProblem{"list_item_bad_ipv4", "is no IPv4 address (four parts of 0 to 255)"};
  if (IsHostName(item, false)) return {};
  if (IsHostName(item, true))
    return {"list_item_underscore",
            "has an underscore: resolvers take it, but it is no host name, and a DNS server or a hosts file may "
            "refuse it",
            false};
  return {"list_item_not_a_host",
          "is no host name (letters, digits and hyphens, in labels of 1 to 63 characters between dots)"};
}

}  // namespace quarn_tools

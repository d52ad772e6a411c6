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

bool ResolverIpv4(const std::string& text, std::uint32_t& address) {
  std::uint32_t parts[4] = {};
  std::size_t count = 0, at = 0;
  for (;;) {
    if (count == 4 || at >= text.size() || !IsDigit(text[at])) return false;
    unsigned base = 10;
    if (text[at] == '0') {
      base = 8;
      ++at;
      if (at < text.size() && (text[at] == 'x' || text[at] == 'X')) {
        base = 16;
        ++at;
      }
    }
    std::uint64_t value = 0;
    for (; at < text.size() && text[at] != '.'; ++at) {
      const char c = text[at];
      const unsigned digit = IsDigit(c) ? c - '0' : IsHexDigit(c) ? (c | 0x20) - 'a' + 10 : 99;
      if (digit >= base) return false;
      value = value * base + digit;
      if (value > 0xFFFFFFFFu) return false;
    }
    parts[count++] = static_cast<std::uint32_t>(value);
    if (at == text.size()) break;
    ++at;  // the dot
  }
  // The last part fills what the others leave: a.b.c gives c 16 bits.
  std::uint32_t result = 0;
  for (std::size_t i = 0; i + 1 < count; ++i) {
    if (parts[i] > 0xFF) return false;
    result |= parts[i] << (24 - 8 * i);
  }
  const unsigned lastBits = 32 - 8 * static_cast<unsigned>(count - 1);
  if (lastBits < 32 && parts[count - 1] >> lastBits) return false;
  address = result | parts[count - 1];
  return true;
}

namespace {

std::string DottedDecimal(std::uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
         std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

// Why a text the resolver reads as an address is not the address it shows.
const char* OtherFormWhy(const std::string& item) {
  if (item.find_first_of("xX") != std::string::npos) return "a part after 0x is hexadecimal";
  for (std::size_t at = 0; at + 1 < item.size(); ++at)
    if (item[at] == '0' && (at == 0 || item[at - 1] == '.') && IsDigit(item[at + 1]))
      return "a part with a leading 0 is octal";
  return "with fewer than four parts, the last fills the bytes left";
}

// A numeric item, true: an address written otherwise than it is read,
// 0.0.0.0, or digits and dots that are no address, in `problem`; nothing
// for a plain address. False for a name.
bool DiagnoseNumeric(const std::string& item, ServerItemProblem& problem) {
  std::uint32_t address = 0;
  if (!ResolverIpv4(item, address)) {
    if (item.find_first_not_of("0123456789.") != std::string::npos) return false;
    problem = {true, Check::kListItemBadIpv4, "is no IPv4 address (four parts of 0 to 255)"};
    return true;
  }
  const std::string dotted = DottedDecimal(address);
  if (dotted != item)
    problem = {true, Check::kListItemIpv4Form,
               "is read by the resolver as the IPv4 address " + dotted + " (" + OtherFormWhy(item) +
                   "): the agent reaches " + dotted};
  else if (address == 0)
    problem = {true, Check::kListItemNoAddress, "is the address of no machine: no server answers there"};
  return true;
}

}  // namespace

ServerItemProblem DiagnoseServerItem(const std::string& item) {
  if (item.empty()) return {};
  if (IsBlank(item.front()) || IsBlank(item.back()))
    return {true, Check::kListItemSpaces, "has white space around it, which the library keeps"};
  if (item.find("://") != std::string::npos || item.find('/') != std::string::npos)
    return {true, Check::kListItemUrl, "is a URL; the list holds host names and addresses"};
  if (IsIpv6Literal(item))
    return {true, Check::kListItemIpv6,
            "is an IPv6 address; the lists take host names and IPv4 addresses only (an IPv6 server is named by a "
            "host name)"};
  const std::string::size_type colon = item.rfind(':');
  if (colon != std::string::npos && colon + 1 < item.size() &&
      item.find_first_not_of("0123456789", colon + 1) == std::string::npos)
    return {true, Check::kListItemPort,
            "names a port; the library adds none of its own and resolves the text as it is"};
  for (char c : item)
    if (IsBlank(c)) return {true, Check::kListItemNotAHost, "has white space inside: no host name has"};
  ServerItemProblem numeric;
  if (DiagnoseNumeric(item, numeric)) return numeric;
  if (IsHostName(item, false)) return {};
  if (IsHostName(item, true))
    return {true, Check::kListItemUnderscore,
            "has an underscore: resolvers take it, but it is no host name, and a DNS server or a hosts file may "
            "refuse it"};
  return {true, Check::kListItemNotAHost,
          "is no host name (letters, digits and hyphens, in labels of 1 to 63 characters between dots)"};
}

}  // namespace quarn_tools

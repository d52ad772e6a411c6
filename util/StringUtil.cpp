#include "util/StringUtil.h"

#include <algorithm>

namespace kqt {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

std::vector<std::string> CStringUtil::stringSplit(const std::string& text, const std::string& separator,
                                                  bool skipEmpty) {
  std::vector<std::string> pieces;
  if (separator.empty()) {
    if (!(skipEmpty && text.empty())) pieces.push_back(text);
    return pieces;
  }
  // Counted first, so that the pieces take one allocation: a long list
  // would otherwise be moved again at every doubling, and hold half as much
  // again at the last one.
  auto eachPiece = [&](auto take) {
    std::string::size_type start = 0;
    for (;;) {
      const std::string::size_type at = text.find(separator, start);
      const std::string::size_type end = at == std::string::npos ? text.size() : at;
      if (!(skipEmpty && end == start)) take(start, end);
      if (at == std::string::npos) break;
      start = at + separator.size();
    }
  };
  std::size_t count = 0;
  eachPiece([&](std::string::size_type, std::string::size_type) { ++count; });
  pieces.reserve(count);
  eachPiece([&](std::string::size_type start, std::string::size_type end) {
    pieces.push_back(text.substr(start, end - start));
  });
  return pieces;
}

bool CStringUtil::stringStartWith(const std::string& text, const std::string& prefix, bool ignoreCase) {
  if (prefix.size() > text.size()) return false;
  if (!ignoreCase) return text.compare(0, prefix.size(), prefix) == 0;
  return std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
}

bool CStringUtil::stringToLower(std::string& text) {
  bool changed = false;
  for (char& c : text) {
    const char lower = AsciiLower(c);
    changed = changed || lower != c;
    c = lower;
  }
  return changed;
}

std::string CStringUtil::stringTrimmed(const std::string& text) {
  std::string::size_type begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string CStringUtil::IntToString(long long value, bool* ok, int base) {
  if (base < 2 || base > 36) {
    if (ok) *ok = false;
    return std::string();
  }
  // Work on the magnitude as unsigned so the most negative value is exact.
  unsigned long long magnitude =
      value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  std::string digits;
  do {
    digits += "0123456789abcdefghijklmnopqrstuvwxyz"[magnitude % static_cast<unsigned>(base)];
    magnitude /= static_cast<unsigned>(base);
  } while (magnitude != 0);
  if (value < 0) digits += '-';
  std::reverse(digits.begin(), digits.end());
  if (ok) *ok = true;
  return digits;
}

}  // namespace kqt

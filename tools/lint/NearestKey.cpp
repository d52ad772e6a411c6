#include "lint/NearestKey.h"

#include <algorithm>

#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

// Levenshtein distance, one row at a time.
std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::string NearestKnownKey(const std::string& name, const std::vector<std::string>& known) {
  const std::string a = AsciiLower(name);
  std::string best;
  std::size_t bestDistance = 3;  // more edits than two: not a slip of the fingers
  for (const std::string& candidate : known) {
    // The distance is at least the difference of the lengths: a long name
    // costs nothing to rule out.
    const std::size_t apart = a.size() > candidate.size() ? a.size() - candidate.size() : candidate.size() - a.size();
    if (apart >= bestDistance) continue;
    const std::string b = AsciiLower(candidate);
    const std::size_t distance = EditDistance(a, b);
    if (distance < bestDistance && distance * 2 < b.size()) {
      bestDistance = distance;
      best = candidate;
    }
  }
  return best;
}

}  // namespace quarn_tools

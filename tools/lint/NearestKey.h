// The known key a mistyped one most likely means.
#ifndef QUARN_TOOLS_LINT_NEARESTKEY_H
#define QUARN_TOOLS_LINT_NEARESTKEY_H

#include <string>
#include <vector>

namespace quarn_tools {

// The known key nearest to `name` by edit distance (letter case aside), or
// "" when none is near: two edits at most, and fewer than half its length.
std::string NearestKnownKey(const std::string& name, const std::vector<std::string>& known);

}  // namespace quarn_tools

#endif

// The names of a directory's subdirectories, for finding an installation
// below a root the user names.
#ifndef QUARN_TOOLS_PLATFORM_SUBDIRECTORIES_H
#define QUARN_TOOLS_PLATFORM_SUBDIRECTORIES_H

#include <cstddef>
#include <string>
#include <vector>

namespace quarn_tools {

// The subdirectories of `dir` by name (not "." or ".."), sorted; none when
// it cannot be listed. At most kMostListed names: a root is a handful.
std::vector<std::string> Subdirectories(const std::string& dir);
constexpr std::size_t kMostListed = 10000;

}  // namespace quarn_tools

#endif

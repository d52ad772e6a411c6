// --installation DIR: which executable directory E the named directory
// stands for.
#ifndef QUARN_TOOLS_CLI_INSTALLATIONCHOICE_H
#define QUARN_TOOLS_CLI_INSTALLATIONCHOICE_H

#include <cstddef>
#include <string>
#include <vector>

namespace quarn_tools {

struct ChosenInstallation {
  std::string executableDir;  // E, absolute; "" when none
  std::string error;          // why none was chosen
};

// DIR is E when it holds a "conf" directory. Otherwise DIR is taken as the
// root R, and E is the one directory R/C/E two levels below it that holds
// "conf" (the library's own rule: R is E/../..). Several such directories,
// or none, is an error that names what was found.
ChosenInstallation ChooseInstallation(const std::string& dir);

// The subdirectories of `dir` by name (not "." or ".."), sorted; none when
// it cannot be listed. At most kMostListed names: a root is a handful.
std::vector<std::string> Subdirectories(const std::string& dir);
constexpr std::size_t kMostListed = 10000;

}  // namespace quarn_tools

#endif

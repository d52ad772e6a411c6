// --installation DIR: which executable directory E the named directory
// stands for.
#ifndef QUARN_TOOLS_INSTALLATIONCHOICE_H
#define QUARN_TOOLS_INSTALLATIONCHOICE_H

#include <string>

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

}  // namespace quarn_tools

#endif

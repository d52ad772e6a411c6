#include "cli/InstallationChoice.h"

#include <algorithm>

#include "cli/FileSystem.h"
#include "config/LayoutRules.h"
#include "report/Terminal.h"
#include "util/DirCom.h"

namespace quarn_tools {

namespace {
bool HoldsConf(const kqt::CDirCom& dir) {
  return kqt::CDirCom(dir.absoluteFilePath(quarn::layout::kConfDirName)).exists();
}
}  // namespace

std::vector<std::string> Subdirectories(const std::string& dir) {
  std::vector<std::string> names;
  for (DirectoryEntry& entry : ListDirectory(dir, kMostListed))
    if (entry.isDirectory) names.push_back(std::move(entry.name));
  std::sort(names.begin(), names.end());
  return names;
}

ChosenInstallation ChooseInstallation(const std::string& dir) {
  ChosenInstallation chosen;
  const kqt::CDirCom named(dir);
  if (dir.empty() || !named.exists()) {
    chosen.error = "\"" + Printable(dir) + "\" is not a directory";
    return chosen;
  }
  if (HoldsConf(named)) {
    chosen.executableDir = named.absolutePath();
    return chosen;
  }
  std::vector<std::string> found;
  for (const std::string& client : Subdirectories(named.absolutePath())) {
    const kqt::CDirCom clientDir(named.absoluteFilePath(client));
    for (const std::string& exe : Subdirectories(clientDir.absolutePath())) {
      const kqt::CDirCom exeDir(clientDir.absoluteFilePath(exe));
      if (HoldsConf(exeDir)) found.push_back(exeDir.absolutePath());
    }
  }
  if (found.size() == 1) {
    chosen.executableDir = found.front();
  } else if (found.empty()) {
    chosen.error = "\"" + Printable(dir) +
                   "\" is neither an executable directory (it holds no \"conf\") nor an installation root (no "
                   "directory two levels below it holds \"conf\")";
  } else {
    chosen.error = "\"" + Printable(dir) + "\" is an installation root with several executable directories; name one:";
    for (const std::string& exe : found) chosen.error += "\n  " + Printable(exe);
  }
  return chosen;
}

}  // namespace quarn_tools

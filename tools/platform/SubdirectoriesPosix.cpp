#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "cli/InstallationChoice.h"

namespace quarn_tools {

std::vector<std::string> Subdirectories(const std::string& dir) {
  std::vector<std::string> names;
  DIR* listing = opendir(dir.c_str());
  if (!listing) return names;
  while (const dirent* entry = readdir(listing)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string path = dir;
    path += '/';
    path += name;
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) names.push_back(name);
    if (names.size() >= kMostListed) break;
  }
  closedir(listing);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quarn_tools

#include <dirent.h>
#include <sys/stat.h>

#include "cli/FileSystem.h"

namespace quarn_tools {

const char kPathSeparator = '/';

std::vector<DirectoryEntry> ListDirectory(const std::string& dir, std::size_t most) {
  std::vector<DirectoryEntry> entries;
  DIR* listing = opendir(dir.c_str());
  if (!listing) return entries;
  while (entries.size() < most) {
    const dirent* found = readdir(listing);
    if (!found) break;
    DirectoryEntry entry;
    entry.name = found->d_name;
    if (entry.name == "." || entry.name == "..") continue;
    struct stat info;
    if (stat((dir + "/" + entry.name).c_str(), &info) == 0) {
      entry.isDirectory = S_ISDIR(info.st_mode);
      entry.isRegular = S_ISREG(info.st_mode);
    }
    entries.push_back(std::move(entry));
  }
  closedir(listing);
  return entries;
}

bool MakeDirectory(const std::string& path) {
  ::mkdir(path.c_str(), 0777);
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void UseBinaryStandardInput() {}

}  // namespace quarn_tools

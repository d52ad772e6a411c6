#include <sys/stat.h>

#include "bundle/InstallationFiles.h"

namespace quarn_tools {

std::string FileKind(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return "missing";
  if (S_ISREG(info.st_mode)) return "a regular file";
  if (S_ISDIR(info.st_mode)) return "a directory";
  if (S_ISFIFO(info.st_mode)) return "a FIFO";
  if (S_ISCHR(info.st_mode)) return "a character device";
  if (S_ISBLK(info.st_mode)) return "a block device";
  if (S_ISSOCK(info.st_mode)) return "a socket";
  return "not a regular file";
}

}  // namespace quarn_tools

// File-system questions on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "util/platform/Files.h"

namespace kqt {
namespace sys {
const path::Style& PathStyle() {
  static const path::Style style;  // "/" only; every byte is a character
  return style;
}

FileKind KindOf(const std::string& path) {
  struct stat info;
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return FileKind::kMissing;
  if (S_ISREG(info.st_mode)) return FileKind::kRegular;
  if (S_ISDIR(info.st_mode)) return FileKind::kDirectory;
  return FileKind::kOther;
}

bool RegularFileSize(const std::string& path, std::uint64_t& size) {
  struct stat info;
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) return false;
  size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool MakeDirectory(const std::string& path) { return !path.empty() && ::mkdir(path.c_str(), 0777) == 0; }

std::string WorkingDirectory() {
  std::vector<char> buffer(256);
  while (buffer.size() <= 1u << 20) {
    if (::getcwd(buffer.data(), buffer.size())) return path::Normal(buffer.data(), std::string(), PathStyle());
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
  return std::string();
}

bool SameFileName(const std::string& a, const std::string& b) { return a == b; }

}  // namespace sys
}  // namespace kqt

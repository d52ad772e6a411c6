#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "bundle/InstallationFiles.h"
#include "cli/FileSystem.h"

namespace quarn_tools {

const char kPathSeparator = '/';

std::vector<DirectoryEntry> ListDirectory(const std::string& dir, std::size_t most, bool* listed) {
  std::vector<DirectoryEntry> entries;
  DIR* listing = opendir(dir.c_str());
  if (listed) *listed = listing != nullptr;
  if (!listing) return entries;
  while (entries.size() < most) {
    const dirent* found = readdir(listing);
    if (!found) break;
    DirectoryEntry entry;
    entry.name = found->d_name;
    if (entry.name == "." || entry.name == "..") continue;
    const std::string path = dir + "/" + entry.name;
    struct stat info;
    entry.isLink = lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
    entry.kind = FileKind(path);
    if (entry.isLink && entry.kind == "missing") entry.kind = "a dangling link";
    entry.isDirectory = entry.kind == "a directory";
    entry.isRegular = entry.kind == "a regular file";
    entries.push_back(std::move(entry));
  }
  closedir(listing);
  return entries;
}

bool IdentityOf(const std::string& path, FileIdentity& identity) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
  return true;
}

namespace {

std::string WhyNot(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return "no space left on the device";
    case EROFS:
      return "a read-only file system";
    case EACCES:
    case EPERM:
      return "permission denied";
    case EEXIST:
    case ELOOP:
      return "something (a file or a link) is there already";
    default:
      return std::strerror(error);
  }
}

}  // namespace

// Opened exclusively, following no link; written and flushed to the disk,
// or removed.
namespace {

// Writes `bytes` to `file`, flushes and closes it: 0, or the first error.
int WriteAndClose(int file, const std::string& bytes) {
  std::size_t done = 0;
  int error = 0;
  while (done < bytes.size() && error == 0) {
    const ssize_t wrote = ::write(file, bytes.data() + done, bytes.size() - done);
    if (wrote > 0)
      done += static_cast<std::size_t>(wrote);
    else if (wrote < 0 && errno != EINTR)
      error = errno;
  }
  if (error == 0 && ::fsync(file) != 0) error = errno;
  if (::close(file) != 0 && error == 0) error = errno;
  return error;
}

const int kNewFileFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;

}  // namespace

bool WriteNewFile(const std::string& path, const std::string& bytes, std::string& why) {
  const int file = ::open(path.c_str(), kNewFileFlags, 0666);
  const int error = file < 0 ? errno : WriteAndClose(file, bytes);
  if (error == 0) return true;
  if (file >= 0) ::unlink(path.c_str());
  why = WhyNot(error);
  return false;
}

NewFolder::~NewFolder() {
  if (m_handle >= 0) ::close(static_cast<int>(m_handle));
}

bool NewFolder::Make(const std::string& path, std::string& why) {
  const bool made = ::mkdir(path.c_str(), 0777) == 0;
  const int error = made ? 0 : errno;
  if (!made && error != EEXIST) {
    why = WhyNot(error);
    return false;
  }
  // Opened as no link; what is listed is what was opened.
  const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0) {
    why = errno == ELOOP || errno == ENOTDIR ? "it is there already, and no folder (or a link)" : WhyNot(errno);
    return false;
  }
  m_handle = folder;
  m_path = path;
  const int listing = ::dup(folder);
  DIR* entries = listing < 0 ? nullptr : fdopendir(listing);
  if (!entries) {
    if (listing >= 0) ::close(listing);
    why = "the folder cannot be read";
    return false;
  }
  bool empty = true;
  for (const dirent* found; empty && (found = readdir(entries)) != nullptr;)
    empty = std::strcmp(found->d_name, ".") == 0 || std::strcmp(found->d_name, "..") == 0;
  closedir(entries);
  if (!empty) why = "the folder is not empty (name a new one: nothing of an earlier extract may stay)";
  return empty;
}

bool NewFolder::WriteNewFile(const std::string& name, const std::string& bytes, std::string& why) const {
  const int file = ::openat(static_cast<int>(m_handle), name.c_str(), kNewFileFlags, 0666);
  const int error = file < 0 ? errno : WriteAndClose(file, bytes);
  if (error == 0) return true;
  if (file >= 0) ::unlinkat(static_cast<int>(m_handle), name.c_str(), 0);
  why = WhyNot(error);
  return false;
}

bool ReplaceWholeFile(const std::string& path, const std::string& bytes, std::string& why) {
  static std::atomic<unsigned> made{0};
  const std::string temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(made.fetch_add(1));
  if (!WriteNewFile(temporary, bytes, why)) return false;
  if (::rename(temporary.c_str(), path.c_str()) == 0) return true;
  why = WhyNot(errno);
  ::unlink(temporary.c_str());
  return false;
}

void UseBinaryStandardInput() {}

}  // namespace quarn_tools

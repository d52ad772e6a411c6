// Reading a whole small file on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "util/platform/Posix.h"
#include "util/platform/ReadFile.h"

namespace kqt {
namespace sys {

ReadStatus ReadRegularFile(const std::string& path, std::size_t limit, std::string& content) {
  if (path.empty()) return ReadStatus::kMissing;
  // O_NONBLOCK: opening a FIFO without a writer must not wait for one.
  ScopedDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!file.valid()) return errno == ENOENT || errno == ENOTDIR ? ReadStatus::kMissing : ReadStatus::kFailed;
  struct stat info;
  if (::fstat(file.get(), &info) != 0) return ReadStatus::kFailed;
  if (!S_ISREG(info.st_mode)) return ReadStatus::kNotRegular;
  if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > limit) return ReadStatus::kTooLarge;

  // The size may change while we read: read up to one byte past the limit
  // to notice a file that grew beyond it.
  std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) {
      if (bytes.size() > limit) return ReadStatus::kTooLarge;
      bytes.resize(bytes.size() < limit / 2 ? bytes.size() * 2 : limit + 1);
    }
    const ssize_t n = ::read(file.get(), &bytes[have], bytes.size() - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      return ReadStatus::kFailed;
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  if (have > limit) return ReadStatus::kTooLarge;
  bytes.resize(have);
  content.swap(bytes);
  return ReadStatus::kOk;
}

}  // namespace sys
}  // namespace kqt

// The kqt utility library's platform queries on Linux and other POSIX
// systems.
#include <dirent.h>
#include <fcntl.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "util/platform/Platform.h"

namespace kqt {
namespace sys {

bool LocalTime(std::time_t seconds, std::tm& local) { return ::localtime_r(&seconds, &local) != nullptr; }

namespace {

std::string ReadLink(const std::string& path) {
  std::string target(256, '\0');
  for (;;) {
    ssize_t n = ::readlink(path.c_str(), &target[0], target.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < target.size()) {
      target.resize(static_cast<size_t>(n));
      return target;
    }
    if (target.size() >= (1u << 20)) return std::string();
    target.resize(target.size() * 2);
  }
}

std::string BaseName(const std::string& path) {
  std::string::size_type slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The first NUL-terminated argument of /proc/<pid>/cmdline, from one read
// of at most 4 KiB.
std::string FirstArgument(const std::string& procDir) {
  const int file = ::open((procDir + "/cmdline").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (file < 0) return std::string();
  char buffer[4096];
  const ssize_t n = ::read(file, buffer, sizeof buffer);
  ::close(file);
  if (n <= 0) return std::string();
  return std::string(buffer, ::strnlen(buffer, static_cast<size_t>(n)));
}

}  // namespace

std::string Platform::ExecutablePath() { return ReadLink("/proc/self/exe"); }

bool Platform::IsOperatingSystem64Bit() {
  struct utsname names;
  if (::uname(&names) != 0) return sizeof(void*) == 8;
  const std::string machine = names.machine;
  return machine.find("64") != std::string::npos || machine == "s390x";
}

void Platform::SleepMilliseconds(std::uint64_t milliseconds) {
  struct timespec left;
  left.tv_sec = static_cast<time_t>(milliseconds / 1000);
  left.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

std::vector<ProcessInfo> Platform::ListProcesses() {
  std::vector<ProcessInfo> processes;
  DIR* proc = ::opendir("/proc");
  if (!proc) return processes;
  while (struct dirent* entry = ::readdir(proc)) {
    char* end = nullptr;
    unsigned long pid = std::strtoul(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || pid == 0 || pid > 0xFFFFFFFFul) continue;
    const std::string dir = std::string("/proc/") + entry->d_name;
    ProcessInfo info;
    info.pid = static_cast<std::uint32_t>(pid);
    std::string image = ReadLink(dir + "/exe");
    const char kDeleted[] = " (deleted)";
    if (image.size() > sizeof kDeleted - 1 &&
        image.compare(image.size() - (sizeof kDeleted - 1), std::string::npos, kDeleted) == 0)
      image.resize(image.size() - (sizeof kDeleted - 1));
    info.exeName = BaseName(image);
    info.arg0 = BaseName(FirstArgument(dir));
    if (info.exeName.empty() && info.arg0.empty()) continue;  // gone, or a kernel thread
    processes.push_back(std::move(info));
  }
  ::closedir(proc);
  return processes;
}

}  // namespace sys
}  // namespace kqt

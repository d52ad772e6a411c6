#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "bench/platform/ChildRun.h"

namespace quarn_bench {

ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments) {
  ChildRun run;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) return run;
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid) return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.started = true;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.peakBytes = static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;  // Linux counts kilobytes
  return run;
}

}  // namespace quarn_bench

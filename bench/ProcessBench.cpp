// GetProcessListByName, which GetUpdatePid asks, on this machine's real
// process list, side by side with its floor: one scan of /proc and one
// link read per process. Run with --processes=N to start N extra idle
// processes first (the figure per process is what matters).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/SideBySide.h"
#include "util/ProcessUtil.h"

// The floor's system calls: POSIX only, as this benchmark is.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <csignal>

namespace {

size_t FloorScan() {
  size_t linked = 0;
  DIR* proc = ::opendir("/proc");
  if (!proc) return 0;
  char path[300], target[4096];
  while (const dirent* entry = ::readdir(proc)) {
    if (entry->d_name[0] < '1' || entry->d_name[0] > '9') continue;
    std::snprintf(path, sizeof path, "/proc/%s/exe", entry->d_name);
    if (::readlink(path, target, sizeof target) > 0) ++linked;
  }
  ::closedir(proc);
  return linked;
}

// The floor with what the lookup also needs: each process's first argument
// (one read of /proc/PID/cmdline).
size_t FloorScanWithArguments() {
  size_t found = 0;
  DIR* proc = ::opendir("/proc");
  if (!proc) return 0;
  char path[300], target[4096];
  while (const dirent* entry = ::readdir(proc)) {
    if (entry->d_name[0] < '1' || entry->d_name[0] > '9') continue;
    std::snprintf(path, sizeof path, "/proc/%s/exe", entry->d_name);
    found += ::readlink(path, target, sizeof target) > 0;
    std::snprintf(path, sizeof path, "/proc/%s/cmdline", entry->d_name);
    const int file = ::open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) continue;
    found += ::read(file, target, sizeof target) > 0;
    ::close(file);
  }
  ::closedir(proc);
  return found;
}

size_t CountProcesses() {
  size_t count = 0;
  DIR* proc = ::opendir("/proc");
  if (!proc) return 0;
  while (const dirent* entry = ::readdir(proc)) count += entry->d_name[0] >= '1' && entry->d_name[0] <= '9';
  ::closedir(proc);
  return count;
}

template <size_t (*Floor)()>
void BM_ProcessList_SideBySide(benchmark::State& state) {
  kqt::IProcessUtil* processes = kqt::GetProcessUtil();
  const auto subject = [&] { return processes->GetProcessListByName("BrundavelUpdate.exe").size(); };
  const quarn_bench::SideBySideFigures figures = quarn_bench::TimeSideBySide(state, Floor, subject);
  const double count = static_cast<double>(CountProcesses());
  state.counters["processes"] = count;
  state.counters["list_us"] = figures.subjectNs / 1000;
  state.counters["floor_us"] = figures.floorNs / 1000;
  state.counters["us_per_process"] = figures.subjectNs / 1000 / std::max(count, 1.0);
}
BENCHMARK_TEMPLATE(BM_ProcessList_SideBySide, FloorScan)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_ProcessList_SideBySide, FloorScanWithArguments)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  // Extra idle processes, so that the list is as long as a busy server's.
  std::vector<pid_t> children;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--processes=", 12) != 0) continue;
    const int wanted = std::atoi(argv[i] + 12);
    for (int n = 0; n < wanted; ++n) {
      const pid_t child = ::fork();
      if (child == 0) {
        ::pause();
        ::_exit(0);
      }
      if (child > 0) children.push_back(child);
    }
    argv[i] = argv[0];  // consumed
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (pid_t child : children) ::kill(child, SIGTERM);
  return 0;
}

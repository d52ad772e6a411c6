#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "fleet/Parallel.h"

namespace quarn_tools {

namespace {

// Under a limit of address space each thread's own heap (64 MiB reserved by
// glibc's allocator) spends the room meant for the work, and an allocator
// that keeps failing to make one slows every allocation a hundredfold: one
// thread does all of it there.
bool AddressSpaceLimited() {
  rlimit limit{};
  return getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
}

}  // namespace

void ForEachInParallel(std::size_t count, unsigned workers, const std::function<void(std::size_t)>& work) {
  if (workers == 0) workers = AddressSpaceLimited() ? 1u : std::max(1u, std::thread::hardware_concurrency());
  std::atomic<std::size_t> next{0};
  const auto worker = [&] {
    for (std::size_t i = next++; i < count; i = next++) work(i);
  };
  std::vector<std::thread> threads;
  for (unsigned t = 1; t < workers && t < count; ++t) threads.emplace_back(worker);
  worker();
  for (std::thread& thread : threads) thread.join();
}

}  // namespace quarn_tools

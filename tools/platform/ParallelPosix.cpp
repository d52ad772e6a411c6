#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "fleet/Parallel.h"

namespace quarn_tools {

void ForEachInParallel(std::size_t count, unsigned workers, const std::function<void(std::size_t)>& work) {
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
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

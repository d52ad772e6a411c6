#include "bench/MemoryInUse.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> g_inUse{0}, g_peak{0};

}  // namespace

#if !defined(_WIN32)
// Not on Windows: there a DLL allocates with the C runtime's own operator
// new, and a block it hands out (a text returned by value) would come back
// to this delete, which does not know it.

void* operator new(std::size_t size) {
  void* block = std::malloc(size + sizeof(std::max_align_t));
  if (!block) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  const std::size_t now = g_inUse += size;
  std::size_t peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
  return static_cast<char*>(block) + sizeof(std::max_align_t);
}
void operator delete(void* pointer) noexcept {
  if (!pointer) return;
  void* block = static_cast<char*>(pointer) - sizeof(std::max_align_t);
  g_inUse -= *static_cast<std::size_t*>(block);
  std::free(block);
}
void operator delete(void* pointer, std::size_t) noexcept { operator delete(pointer); }
#endif

namespace quarn_bench {

std::size_t MemoryInUse() { return g_inUse.load(); }

std::size_t MarkMemoryPeak() {
  const std::size_t now = g_inUse.load();
  g_peak = now;
  return now;
}

std::size_t MemoryPeak() { return g_peak.load(); }

}  // namespace quarn_bench

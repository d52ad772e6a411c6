// Selection of the platform implementation, and its portable parts. The
// operating-system code itself lives in PlatformPosix.cpp and
// PlatformWin32.cpp.
#include "util/platform/Platform.h"

#include <atomic>
#include <random>

namespace kqt {
namespace sys {
namespace {
std::atomic<Platform*> g_substitute{nullptr};

Platform& RealPlatform() {
  static Platform real;
  return real;
}
}  // namespace

Platform::~Platform() = default;

int Platform::Random() {
  // One generator per thread: no lock, and no shared state to race on.
  thread_local std::mt19937 generator{std::random_device{}()};
  return static_cast<int>(generator());
}

Platform& CurrentPlatform() {
  Platform* substitute = g_substitute.load(std::memory_order_acquire);
  return substitute ? *substitute : RealPlatform();
}

#if defined(QUARN_TEST_HOOKS)
Platform& NativePlatform() { return RealPlatform(); }

Platform* SetPlatformForTesting(Platform* substitute) {
  return g_substitute.exchange(substitute, std::memory_order_acq_rel);
}
#endif

}  // namespace sys
}  // namespace kqt

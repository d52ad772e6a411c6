// Selection of the platform implementation, and its portable parts. The
// operating-system code itself lives in PlatformPosix.cpp and
// PlatformWin32.cpp.
#include "util/platform/Platform.h"
#include "util/platform/Substitutable.h"

#include <random>

namespace kqt {
namespace sys {
namespace {
kqt::sys::Substitutable<Platform> g_seam;
}  // namespace

Platform::~Platform() = default;

int Platform::Random() {
  // One generator per thread: no lock, and no shared state to race on.
  thread_local std::mt19937 generator{std::random_device{}()};
  return static_cast<int>(generator());
}

Platform& CurrentPlatform() { return g_seam.Current(); }

#if defined(QUARN_TEST_HOOKS)
Platform& NativePlatform() { return g_seam.Real(); }

Platform* SetPlatformForTesting(Platform* substitute) { return g_seam.Substitute(substitute); }
#endif

}  // namespace sys
}  // namespace kqt

#include "config/platform/HostPlatform.h"

#include <atomic>

namespace quarn {
namespace sys {
namespace {
std::atomic<HostPlatform*> g_substitute{nullptr};

HostPlatform& RealHostPlatform() {
  static HostPlatform real;
  return real;
}
}  // namespace

HostPlatform::~HostPlatform() = default;

HostPlatform& CurrentHostPlatform() {
  HostPlatform* substitute = g_substitute.load(std::memory_order_acquire);
  return substitute ? *substitute : RealHostPlatform();
}

#if defined(QUARN_TEST_HOOKS)
HostPlatform& NativeHostPlatform() { return RealHostPlatform(); }

HostPlatform* SetHostPlatformForTesting(HostPlatform* substitute) {
  return g_substitute.exchange(substitute, std::memory_order_acq_rel);
}
#endif

}  // namespace sys
}  // namespace quarn

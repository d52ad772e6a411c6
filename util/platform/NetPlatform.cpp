#include "util/platform/NetPlatform.h"

#include <atomic>

namespace kqt {
namespace sys {
namespace {
std::atomic<NetPlatform*> g_substitute{nullptr};

NetPlatform& RealNetPlatform() {
  static NetPlatform real;
  return real;
}
}  // namespace

NetPlatform::~NetPlatform() = default;

NetPlatform& CurrentNetPlatform() {
  NetPlatform* substitute = g_substitute.load(std::memory_order_acquire);
  return substitute ? *substitute : RealNetPlatform();
}

#if defined(QUARN_TEST_HOOKS)
NetPlatform& NativeNetPlatform() { return RealNetPlatform(); }

NetPlatform* SetNetPlatformForTesting(NetPlatform* substitute) {
  return g_substitute.exchange(substitute, std::memory_order_acq_rel);
}
#endif

}  // namespace sys
}  // namespace kqt

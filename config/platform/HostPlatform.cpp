#include "config/platform/HostPlatform.h"
#include "util/platform/Substitutable.h"

namespace quarn {
namespace sys {
namespace {
kqt::sys::Substitutable<HostPlatform> g_seam;
}  // namespace

HostPlatform::~HostPlatform() = default;

HostPlatform& CurrentHostPlatform() { return g_seam.Current(); }

#if defined(QUARN_TEST_HOOKS)
HostPlatform& NativeHostPlatform() { return g_seam.Real(); }

HostPlatform* SetHostPlatformForTesting(HostPlatform* substitute) { return g_seam.Substitute(substitute); }
#endif

}  // namespace sys
}  // namespace quarn

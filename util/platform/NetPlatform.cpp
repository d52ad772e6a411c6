#include "util/platform/NetPlatform.h"
#include "util/platform/Substitutable.h"

namespace kqt {
namespace sys {
namespace {
kqt::sys::Substitutable<NetPlatform> g_seam;
}  // namespace

NetPlatform::~NetPlatform() = default;

NetPlatform& CurrentNetPlatform() { return g_seam.Current(); }

#if defined(QUARN_TEST_HOOKS)
NetPlatform& NativeNetPlatform() { return g_seam.Real(); }

NetPlatform* SetNetPlatformForTesting(NetPlatform* substitute) { return g_seam.Substitute(substitute); }
#endif

}  // namespace sys
}  // namespace kqt

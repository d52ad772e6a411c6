#include "hwinfo/platform/FirmwarePlatform.h"
#include "util/platform/Substitutable.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace quarn {
namespace sys {
namespace {
kqt::sys::Substitutable<FirmwarePlatform> g_seam;
}  // namespace

FirmwarePlatform::~FirmwarePlatform() = default;

CpuidRegisters FirmwarePlatform::Cpuid(std::uint32_t leaf) {
  CpuidRegisters registers;
#if defined(__i386__) || defined(__x86_64__)
  // __cpuid, not __get_cpuid: the latter refuses leaves above the basic
  // maximum, and the hypervisor leaves lie above it.
  __cpuid(leaf, registers.eax, registers.ebx, registers.ecx, registers.edx);
#else
  (void)leaf;
#endif
  return registers;
}

FirmwarePlatform& CurrentFirmwarePlatform() { return g_seam.Current(); }

#if defined(QUARN_TEST_HOOKS)
FirmwarePlatform& NativeFirmwarePlatform() { return g_seam.Real(); }

FirmwarePlatform* SetFirmwarePlatformForTesting(FirmwarePlatform* substitute) { return g_seam.Substitute(substitute); }
#endif

}  // namespace sys
}  // namespace quarn

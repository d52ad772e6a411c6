#include "hwinfo/platform/FirmwarePlatform.h"

#include <atomic>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace quarn {
namespace sys {
namespace {
std::atomic<FirmwarePlatform*> g_substitute{nullptr};

FirmwarePlatform& RealFirmwarePlatform() {
  static FirmwarePlatform real;
  return real;
}
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

FirmwarePlatform& CurrentFirmwarePlatform() {
  FirmwarePlatform* substitute = g_substitute.load(std::memory_order_acquire);
  return substitute ? *substitute : RealFirmwarePlatform();
}

#if defined(QUARN_TEST_HOOKS)
FirmwarePlatform& NativeFirmwarePlatform() { return RealFirmwarePlatform(); }

FirmwarePlatform* SetFirmwarePlatformForTesting(FirmwarePlatform* substitute) {
  return g_substitute.exchange(substitute, std::memory_order_acq_rel);
}
#endif

}  // namespace sys
}  // namespace quarn

// Selection of the platform implementation. The operating-system code itself
// lives in platform/PlatformPosix.cpp and platform/PlatformWin32.cpp.
#include "util/Platform.h"

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace kqt {
namespace sys {
namespace {
std::atomic<Platform*> g_override{nullptr};
}  // namespace

Platform::~Platform() = default;

// Portable parts of the real implementation.

void Platform::SleepMilliseconds(std::uint64_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int Platform::Random() {
  // One generator per thread: no lock, and no shared state to race on.
  thread_local std::mt19937 generator{std::random_device{}()};
  return static_cast<int>(generator());
}

CpuidRegisters Platform::Cpuid(std::uint32_t leaf) {
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

Platform& NativePlatform() {
  static Platform native;
  return native;
}

Platform& CurrentPlatform() {
  Platform* substitute = g_override.load(std::memory_order_acquire);
  return substitute ? *substitute : NativePlatform();
}

ScopedPlatformOverride::ScopedPlatformOverride(Platform& substitute)
    : m_previous(g_override.exchange(&substitute, std::memory_order_acq_rel)) {}

ScopedPlatformOverride::~ScopedPlatformOverride() { g_override.store(m_previous, std::memory_order_release); }

}  // namespace sys
}  // namespace kqt

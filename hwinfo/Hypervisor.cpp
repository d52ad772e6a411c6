#include "hwinfo/Hypervisor.h"

#include <cstring>

#include "hwinfo/platform/FirmwarePlatform.h"

namespace {
const unsigned kHypervisorLeaves = 0x40000000u;
const unsigned kSignatureSize = 13;
}  // namespace

unsigned GetCpuidSignature(unsigned leaf, char* signature) {
  const quarn::sys::CpuidRegisters registers = quarn::sys::CurrentFirmwarePlatform().Cpuid(leaf);
  const std::uint32_t words[3] = {registers.ebx, registers.ecx, registers.edx};
  for (int word = 0; word < 3; ++word)
    for (int byte = 0; byte < 4; ++byte) signature[word * 4 + byte] = static_cast<char>(words[word] >> (8 * byte));
  signature[12] = '\0';
  return registers.eax;
}

void GetHypervisorSignature(char* signature, int size) {
  if (!signature || size <= 0) return;
  char text[kSignatureSize];
  std::memset(text, 0, sizeof text);
  const unsigned highest = GetCpuidSignature(kHypervisorLeaves, text);
  if (highest > 3 && highest < 0x10000) {
    for (unsigned leaf = kHypervisorLeaves + 0x100; leaf <= kHypervisorLeaves + highest; leaf += 0x100) {
      std::memset(text, 0, sizeof text);
      GetCpuidSignature(leaf, text);
    }
  }
  std::memset(signature, 0, static_cast<size_t>(size));
  std::memcpy(signature, text, static_cast<size_t>(size) < sizeof text ? static_cast<size_t>(size - 1) : sizeof text);
}

int IsXenOrMicrosoftHypervisor() {
  char signature[kSignatureSize];
  std::memset(signature, 0, sizeof signature);
  GetHypervisorSignature(signature, sizeof signature);
  return (std::strstr(signature, "Xen") || std::strstr(signature, "Microsoft")) ? 1 : 0;
}

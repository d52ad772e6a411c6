// The hypervisor's signature from the CPUID hypervisor leaves (0x40000000
// on): 12 letters from EBX, ECX and EDX, as stored in the registers.
#ifndef QUARN_HWINFO_HYPERVISOR_H
#define QUARN_HWINFO_HYPERVISOR_H

// Internal to the library; its testing build exports them for the tests.
#include <string>

#include "hwinfo/platform/FirmwarePlatform.h"

// Runs CPUID for `leaf`, writes its 13-byte signature text (12 letters and
// a zero) to `signature`, and returns EAX.
QUARN_FIRMWARE_SEAM_API unsigned GetCpuidSignature(unsigned leaf, char* signature);

// Fills `signature` (`size` bytes, at most 12 letters and a zero) with the
// signature of leaf 0x40000000, or, when that leaf reports a highest leaf
// offset m with 3 < m < 0x10000, of the last of leaves 0x40000100,
// 0x40000200, ... up to 0x40000000 + m.
QUARN_FIRMWARE_SEAM_API void GetHypervisorSignature(char* signature, int size);

// 1 when the signature contains "Xen", or else "Microsoft" (letter case
// counts), otherwise 0.
QUARN_FIRMWARE_SEAM_API int IsXenOrMicrosoftHypervisor();

namespace quarn {
namespace smbios {
// The same over any firmware seam (this machine's, or one recorded
// elsewhere): the signature text, and whether it names Xen or Microsoft.
QUARN_FIRMWARE_SEAM_API std::string HypervisorSignature(quarn::sys::FirmwarePlatform& platform);
QUARN_FIRMWARE_SEAM_API bool IsXenOrMicrosoftSignature(const std::string& signature);
}  // namespace smbios
}  // namespace quarn

#endif

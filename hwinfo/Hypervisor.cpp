#include "hwinfo/Hypervisor.h"

#include <cstring>

#include "hwinfo/platform/FirmwarePlatform.h"

namespace {

const unsigned kHypervisorLeaves = 0x40000000u;
const unsigned kSignatureSize = 13;

unsigned SignatureOfLeaf(quarn::sys::FirmwarePlatform& platform, unsigned leaf, char* signature) {
  const quarn::sys::CpuidRegisters registers = platform.Cpuid(leaf);
  const std::uint32_t words[3] = {registers.ebx, registers.ecx, registers.edx};
  for (int word = 0; word < 3; ++word)
    for (int byte = 0; byte < 4; ++byte) signature[word * 4 + byte] = static_cast<char>(words[word] >> (8 * byte));
  signature[12] = '\0';
  return registers.eax;
}

// The 13-byte signature text of the hypervisor leaves of `platform`.
void SignatureText(quarn::sys::FirmwarePlatform& platform, char (&text)[kSignatureSize]) {
  std::memset(text, 0, sizeof text);
  const unsigned highest = SignatureOfLeaf(platform, kHypervisorLeaves, text);
  if (highest > 3 && highest < 0x10000) {
    for (unsigned leaf = kHypervisorLeaves + 0x100; leaf <= kHypervisorLeaves + highest; leaf += 0x100) {
      std::memset(text, 0, sizeof text);
      SignatureOfLeaf(platform, leaf, text);
    }
  }
}

}  // namespace

unsigned GetCpuidSignature(unsigned leaf, char* signature) {
  return SignatureOfLeaf(quarn::sys::CurrentFirmwarePlatform(), leaf, signature);
}

void GetHypervisorSignature(char* signature, int size) {
  if (!signature || size <= 0) return;
  char text[kSignatureSize];
  SignatureText(quarn::sys::CurrentFirmwarePlatform(), text);
  std::memset(signature, 0, static_cast<size_t>(size));
  std::memcpy(signature, text, static_cast<size_t>(size) < sizeof text ? static_cast<size_t>(size - 1) : sizeof text);
}

int IsXenOrMicrosoftHypervisor() {
  return quarn::smbios::IsXenOrMicrosoftSignature(
             quarn::smbios::HypervisorSignature(quarn::sys::CurrentFirmwarePlatform()))
             ? 1
             : 0;
}

namespace quarn {
namespace smbios {

std::string HypervisorSignature(quarn::sys::FirmwarePlatform& platform) {
  char text[kSignatureSize];
  SignatureText(platform, text);
  return std::string(text, strnlen(text, sizeof text));
}

bool IsXenOrMicrosoftSignature(const std::string& signature) {
  // A signature is read as a C text: it ends at its first zero byte.
  const std::string text = signature.substr(0, signature.find('\0'));
  return text.find("Xen") != std::string::npos || text.find("Microsoft") != std::string::npos;
}

}  // namespace smbios
}  // namespace quarn

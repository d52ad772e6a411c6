#include "support/Machines.h"

#include <cstring>

namespace quarn_test {
namespace {

quarn::sys::WindowsVersionInfo Windows(unsigned long major, unsigned long minor, unsigned long build,
                                       const char* servicePack, unsigned char productType, unsigned short suite,
                                       unsigned short architecture, unsigned long product, int serverR2 = 0) {
  quarn::sys::WindowsVersionInfo info;
  info.platformId = 2;
  info.major = major;
  info.minor = minor;
  info.build = build;
  std::strncpy(info.servicePack, servicePack, sizeof info.servicePack - 1);
  info.productType = productType;
  info.suiteMask = suite;
  info.processorArchitecture = architecture;
  info.productCode = product;
  info.serverR2 = serverR2;
  return info;
}

const unsigned short kIntel = 0, kAmd64 = 9;

// A table of a BIOS structure and a System Information structure whose UUID
// bytes are 00 11 22 ... FF, then the end structure.
Bytes Table() {
  return Concat({Structure(0, {1, 2, 0, 0xE0, 3, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"BIOS"}),
                 SystemInformation(CountingUuid()), EndOfTable()});
}

const char kSwapped[] = "33221100-5544-7766-8899-aabbccddeeff";
const char kStored[] = "00112233-4455-6677-8899-aabbccddeeff";

Machine Make(const char* name, quarn::sys::WindowsVersionInfo windows, bool x64, bool service, unsigned char major,
             unsigned char minor, const char* hypervisor, const char* uuid) {
  Machine machine;
  machine.name = name;
  machine.windows = windows;
  machine.system64Bit = x64;
  machine.firmwareTableService = service;
  if (major) machine.firmwareBlock = FirmwareBlockBytes(major, minor, Table());
  machine.hypervisor = hypervisor;
  machine.biosUuid = uuid;
  return machine;
}

}  // namespace

namespace machines {

const Machine& Windows7Sp1X64Ultimate() {
  static const Machine m =
      Make("Windows 7 SP1 x64 Ultimate", Windows(6, 1, 7601, "Service Pack 1", 1, 0x100, kAmd64, 1), true, true, 2, 7,
           "", kSwapped);
  return m;
}

const Machine& WindowsXpSp3() {
  static const Machine m =
      Make("Windows XP SP3", Windows(5, 1, 2600, "Service Pack 3", 1, 0x100, kIntel, 0), false, false, 0, 0, "", "");
  return m;
}

const Machine& Server2003R2Enterprise() {
  static const Machine m = Make("Windows Server 2003 R2 Enterprise",
                                Windows(5, 2, 3790, "Service Pack 2", 3, 0x2, kIntel, 0, 1), false, true, 2, 4, "",
                                kSwapped);  // 2.4 gives the version number 8192
  return m;
}

const Machine& HyperVGuestSmbios30() {
  static const Machine m = Make("Hyper-V guest, SMBIOS 3.0", Windows(10, 0, 14393, "", 3, 0x110, kAmd64, 8), true, true,
                                3, 0, "Microsoft Hv", kStored);
  return m;
}

const Machine& XenGuest() {
  static const Machine m = Make("Xen guest", Windows(6, 1, 7601, "Service Pack 1", 1, 0x100, kAmd64, 1), true, true, 2,
                                7, "XenVMMXenVMM", kStored);
  return m;
}

const Machine& NoTable() {
  static const Machine m =
      Make("no SMBIOS table", Windows(6, 1, 7601, "Service Pack 1", 1, 0x100, kAmd64, 1), true, true, 0, 0, "", "");
  return m;
}

}  // namespace machines

void Use(const Machine& machine, FakePlatform& fake) {
  fake.windowsVersion = [windows = machine.windows] { return windows; };
  fake.operatingSystem64Bit = machine.system64Bit ? 1 : 0;
  fake.firmwareTableService = machine.firmwareTableService ? 1 : 0;
  if (!machine.firmwareBlock.empty()) {
    fake.firmwareBlock = [bytes = machine.firmwareBlock] {
      quarn::sys::FirmwareBlock block;
      block.status = quarn::sys::FirmwareBlock::kOk;
      block.bytes = bytes;
      return block;
    };
  } else {
    fake.firmwareBlock = nullptr;  // the fake's own: no table
  }
  UseHypervisor(fake, machine.hypervisor.empty() ? nullptr : machine.hypervisor.c_str());
}

void UseFirmwareTable(FakePlatform& fake, unsigned char major, unsigned char minor, const Bytes& table) {
  fake.firmwareTableService = 1;
  fake.firmwareBlock = [block = FirmwareBlockBytes(major, minor, table)] {
    quarn::sys::FirmwareBlock given;
    given.status = quarn::sys::FirmwareBlock::kOk;
    given.bytes = block;
    return given;
  };
}

void UseHypervisor(FakePlatform& fake, const char* signature) {
  if (!signature) {
    fake.cpuid = nullptr;
    return;
  }
  fake.cpuid = [text = std::string(signature)](std::uint32_t leaf) {
    return leaf == 0x40000000u ? SignatureRegisters(text.c_str(), 0x40000001u) : quarn::sys::CpuidRegisters();
  };
}

quarn::sys::CpuidRegisters SignatureRegisters(const char* signature, std::uint32_t eax) {
  std::uint32_t words[3] = {0, 0, 0};
  for (int i = 0; i < 12 && signature[i]; ++i)
    words[i / 4] |= static_cast<std::uint32_t>(static_cast<unsigned char>(signature[i])) << (8 * (i % 4));
  quarn::sys::CpuidRegisters registers;
  registers.eax = eax;
  registers.ebx = words[0];
  registers.ecx = words[1];
  registers.edx = words[2];
  return registers;
}

}  // namespace quarn_test

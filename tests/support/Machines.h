// Named machines for the fake platform: what each one's system and firmware
// answer, in one place. A test puts one in force with Use(machine, fake)
// and sets whatever else it needs on the fake.
#ifndef QUARN_TESTS_SUPPORT_MACHINES_H
#define QUARN_TESTS_SUPPORT_MACHINES_H

#include <string>
#include <vector>

#include "support/FakePlatform.h"
#include "support/SmbiosTables.h"

namespace quarn_test {

struct Machine {
  std::string name;
  quarn::sys::WindowsVersionInfo windows;  // all zero: not Windows
  bool system64Bit = false;
  bool firmwareTableService = true;
  std::vector<unsigned char> firmwareBlock;  // empty: the service gives no table
  std::string hypervisor;                    // the CPUID signature; empty: none
  // With an SMBIOS table: its System Information UUID as the library prints it.
  std::string biosUuid;
};

namespace machines {
// Windows 7 SP1 x64 Ultimate on hardware, SMBIOS 2.7 (UUID fields swapped).
const Machine& Windows7Sp1X64Ultimate();
// Windows XP SP3, 32-bit: no firmware-table service, the memory way.
const Machine& WindowsXpSp3();
// Windows Server 2003 R2 Enterprise, 32-bit, SMBIOS 2.4 (UUID fields swapped).
const Machine& Server2003R2Enterprise();
// A Hyper-V guest (Server 2016 x64) with SMBIOS 3.0: fields as stored.
const Machine& HyperVGuestSmbios30();
// A Xen guest (Windows 7 x64) with SMBIOS 2.7: fields as stored.
const Machine& XenGuest();
// A Windows 7 x64 machine whose firmware gives no table.
const Machine& NoTable();
}  // namespace machines

void Use(const Machine& machine, FakePlatform& fake);

// The firmware-table service gives a block of SMBIOS `major`.`minor` that
// holds `table`.
void UseFirmwareTable(FakePlatform& fake, unsigned char major, unsigned char minor, const Bytes& table);
// CPUID's hypervisor leaf 0x40000000 spells `signature`; null: no hypervisor
// (every leaf zero).
void UseHypervisor(FakePlatform& fake, const char* signature);
// CPUID registers whose EBX, ECX, EDX spell the 12 letters of `signature`.
quarn::sys::CpuidRegisters SignatureRegisters(const char* signature, std::uint32_t eax);

}  // namespace quarn_test

#endif

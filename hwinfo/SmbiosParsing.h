// Reading SMBIOS bytes (as DMTF DSP0134 defines them): the firmware block,
// the entry point (a file of the kernel's, or found in a BIOS memory
// window), the walk over the structure table, and the UUID of the System
// Information structure; and the rule that picks the way the table is
// obtained on Windows. Pure functions over byte buffers and values: every
// read is checked against the end of its buffer, and no length from the
// firmware is trusted.
#ifndef QUARN_HWINFO_SMBIOSPARSING_H
#define QUARN_HWINFO_SMBIOSPARSING_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarn {
namespace smbios {

// The version number kept for a table: major shifted left by 8 plus minor
// bits (shift count modulo 32), e.g. 2.0 gives 512, 2.4 8192, 3.0 768.
int VersionNumber(unsigned char major, unsigned char minor);

// Sum of `count` bytes modulo 256 (0 for no bytes).
unsigned char ByteSum(const unsigned char* bytes, int count);

// A firmware block in the RawSMBIOSData layout: 8-byte header, then table.
struct FirmwareBlockView {
  unsigned char major = 0;
  unsigned char minor = 0;
  const unsigned char* table = nullptr;
  std::size_t tableLength = 0;  // the header's length, cut to the bytes present
};
// False when the block is shorter than its header.
bool ReadFirmwareBlock(const unsigned char* block, std::size_t size, FirmwareBlockView& view);

// An entry point: the 32-bit one ("_SM_", SMBIOS 2.x), the 64-bit one
// ("_SM3_", 3.x), or the legacy DMI one ("_DMI_" alone, before SMBIOS 2.0).
struct EntryPoint {
  std::size_t offset = 0;  // of the anchor in the window searched (FindEntryPoint)
  bool is64Bit = false;
  unsigned char major = 0, minor = 0;
  unsigned char revision = 0;      // "_SM3_": the document revision (byte 9); else 0
  std::uint32_t tableLength = 0;   // "_SM_": bytes 22-23; "_SM3_": the table's maximum size, bytes 12-15
  std::uint64_t tableAddress = 0;  // "_SM_": bytes 24-27; "_SM3_": bytes 16-23; physical
};
// The entry point at the start of `bytes`, checked as a reader of the
// firmware must: its anchor, its fields within `size`, its length byte
// (byte 5, or 6 for "_SM3_") within `size` and at least the form's fixed
// length (31 for "_SM_", or the 30 that SMBIOS 2.1 specified by mistake; 24
// for "_SM3_"; "_DMI_" is 15 bytes and has none), and the sum of that many
// bytes 0 modulo 256. False when any of these fails. The intermediate
// "_DMI_" anchor of the 32-bit form and its own checksum are not consulted.
bool ReadEntryPoint(const unsigned char* bytes, std::size_t size, EntryPoint& entry);

// The block the firmware-table service gives for a table whose entry point
// is `entry`: the RawSMBIOSData header (calling method 0, the entry point's
// version and revision, the table's length) and the `length` bytes of the
// table. One form for every source: the kernel's published tables, a
// dmidecode dump, the firmware.
std::vector<unsigned char> FirmwareBlockOf(const EntryPoint& entry, const unsigned char* table, std::size_t length);
// The window of BIOS memory the memory way searches: 0xF0000 up to 1 MiB.
constexpr std::uint32_t kBiosWindowStart = 0xF0000;
constexpr std::uint32_t kBiosWindowLength = 0x10000;
// The first 32-bit entry point that ReadEntryPoint accepts at a 16-byte
// step of a window of BIOS memory (the 64-bit and legacy forms are not
// looked for there). False when none is.
bool FindEntryPoint(const unsigned char* window, std::size_t size, EntryPoint& entry);

// Whether a Windows system offers the firmware-table service: the NT family
// (platform id 2) from version 5.2 (Server 2003, XP x64) on. Earlier and
// other systems search physical memory for the table.
bool IsNt52OrLater(unsigned long platformId, unsigned long major, unsigned long minor);

// Where the structure at offset `at` of the `length` bytes at `data` ends:
// past its formatted length, then past the first two zero bytes in a row
// (its string set). 0 when it runs past `length`. Every walk of a table
// steps by this, so a reader of the table sees the structures the library
// sees.
std::size_t StructureEnd(const unsigned char* data, std::size_t length, std::size_t at);

// The first structure of `type` in the `length` bytes at `data`, or null.
// The walk steps by StructureEnd; it does not stop at type 127, and a
// structure that runs past `length` ends it.
const unsigned char* FindStructure(const unsigned char* data, std::size_t length, unsigned char type);

// The `index`-th text (from 1) of the string set of the structure at
// `structure`; null when the set ends first or the text runs past `end`.
const char* StructureString(const unsigned char* structure, const unsigned char* end, int index);

// The 16 UUID bytes (offsets 8 to 23) of the System Information structure
// at `system`, whose buffer ends at `end`. False when the formatted area or
// the buffer ends before offset 24 (SMBIOS 2.0 defines it without the UUID).
bool StructureUuidBytes(const unsigned char* system, const unsigned char* end, unsigned char uuid[16]);

// The 16 UUID bytes of the first System Information structure (type 1) of
// the `length` bytes at `data`; false when there is none, or it has none.
bool TableUuidBytes(const unsigned char* data, std::size_t length, unsigned char uuid[16]);

// The UUID as 36 upper-case characters in groups of 8-4-4-4-12, the form
// both the agent and the DMTF print. With `swapFields` the first three
// fields, stored least significant byte first, are printed most significant
// byte first.
std::string FormatUuid(const unsigned char uuid[16], bool swapFields);

// The agent's form of the BIOS UUID of the table in the `length` bytes at
// `data`, as CHwInfo::GetMachineid prints it (upper case), with the version
// number and hypervisor that decide its byte order; "" when the table has
// none.
std::string AgentUuidText(const unsigned char* data, std::size_t length, int versionNumber,
                          bool xenOrMicrosoftHypervisor);

// Whether a UUID is printed with its fields swapped: for tables of version
// number 518 (2.6 in the 8-bit form) or more, unless the machine runs under
// a Xen or Microsoft hypervisor.
bool SwapsUuidFields(int versionNumber, bool xenOrMicrosoftHypervisor);

// Whether the DMTF's form of the UUID, which dmidecode and firmware setup
// screens print, has its first three fields swapped: from SMBIOS 2.6 on,
// the version that made them little-endian. "2.31", which some
// firmware writes for 2.3.1, is taken as 2.3 (as dmidecode takes it).
bool DmtfSwapsUuidFields(unsigned char major, unsigned char minor);

// What a UUID's bytes say when they are a placeholder rather than an
// identity: all zero, all FF, or a value that firmware ships unfilled
// (03000200-0400-0500-0006-000700080009, in either byte order). Null for
// any other UUID.
const char* UuidPlaceholder(const unsigned char uuid[16]);

}  // namespace smbios
}  // namespace quarn

#endif

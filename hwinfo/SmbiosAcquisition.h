// Obtaining the SMBIOS structure table, one function per way: the
// firmware-table service (Windows NT 5.2 and later; the kernel's published
// tables on Linux), or the BIOS area of physical memory searched for the
// entry point. What the system is asked is the firmware seam's
// (platform/FirmwarePlatform.h); what each way copies, prints and keeps is
// here.
#ifndef QUARN_HWINFO_SMBIOSACQUISITION_H
#define QUARN_HWINFO_SMBIOSACQUISITION_H

#include <cstddef>
#include <string>
#include <vector>

#include "hwinfo/TableIdentity.h"
#include "hwinfo/platform/FirmwarePlatform.h"

namespace quarn {
namespace smbios {

// CHwInfo::GetSMBiosData, also telling how many bytes of the table were
// delivered (0 for none): the library's own entry, not exported. The
// firmware way sets CHwInfo::version from the block it read.
int ReadSmbiosTable(unsigned char* buffer, int* size);

// The same over any firmware seam (this machine's, or one recorded
// elsewhere): `versionNumber` receives the block's version number when the
// firmware-table service gave a table, and is left as it was otherwise.
// The diagnostics are appended to `printed`, or printed to standard output
// where it is null.
QUARN_FIRMWARE_SEAM_API int ReadSmbiosTableFrom(quarn::sys::FirmwarePlatform& platform, unsigned char* buffer,
                                                int* size, int& versionNumber, std::string* printed);

// The table as the library's BIOS UUID and checksum read it: a zeroed
// buffer of 65,536 bytes, or of the block's size when the firmware reports
// a larger one (so its table is neither cut nor skipped), holding the table
// at its start.
constexpr std::size_t kTableBufferBytes = 0x10000;
struct TableBuffer {
  std::vector<unsigned char> bytes;
  int delivered = 0;       // bytes of the table the firmware gave
  int versionNumber = -1;  // the block's, when the firmware-table service gave it
};
QUARN_FIRMWARE_SEAM_API TableBuffer FetchTableBuffer(quarn::sys::FirmwarePlatform& platform, std::string* printed);
// The library's own: this machine's seam, diagnostics to standard output,
// and the version kept for CHwInfo (hwinfo/HwInfo.cpp).
TableBuffer FetchLibraryTable();
// The identity of the table the library fetches now, by the version it then
// holds and this machine's hypervisor.
HardwareIdentity LibraryIdentity(TableChecksum checksum);

// One file of those a Linux kernel publishes under /sys/firmware/dmi/tables,
// read whole within the firmware bound; false with the reason ("PATH: ...\n").
QUARN_FIRMWARE_SEAM_API bool ReadPublishedFile(const std::string& path, std::string& content, std::string& reason);
}  // namespace smbios
namespace sys {
// The block built from the files a Linux kernel publishes in `dir`
// ("smbios_entry_point" and "DMI"), as FirmwareSmbiosBlock reads
// /sys/firmware/dmi/tables on Linux; a copy of them from any machine.
QUARN_FIRMWARE_SEAM_API FirmwareBlock ReadPublishedTables(const std::string& dir);
}  // namespace sys
namespace smbios {

// Where this machine's table comes from (TableIdentity.h), and for the
// firmware-table service the header of the block it gives now: what the
// inspector shows beside the library's answers.
QUARN_FIRMWARE_SEAM_API TableSource DescribeTableSource(quarn::sys::FirmwarePlatform& platform);
QUARN_FIRMWARE_SEAM_API TableSource DescribeTableSource();

}  // namespace smbios
}  // namespace quarn

#endif

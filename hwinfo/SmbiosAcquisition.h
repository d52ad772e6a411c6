// Obtaining the SMBIOS structure table, one function per way: the
// firmware-table service (Windows NT 5.2 and later; the kernel's published
// tables on Linux), or the BIOS area of physical memory searched for the
// entry point. What the system is asked is the firmware seam's
// (platform/FirmwarePlatform.h); what each way copies, prints and keeps is
// here.
#ifndef QUARN_HWINFO_SMBIOSACQUISITION_H
#define QUARN_HWINFO_SMBIOSACQUISITION_H

#include <cstddef>

namespace quarn {
namespace smbios {

// CHwInfo::GetSMBiosData, also telling how many bytes of the table were
// delivered (0 for none): the library's own entry, not exported. The
// firmware way sets CHwInfo::version from the block it read.
int ReadSmbiosTable(unsigned char* buffer, int* size);

// Where this machine's table comes from, and for the firmware-table
// service the header of the block it gives now: what the inspector shows
// beside the library's answers.
struct TableSource {
  bool firmwareService = false;  // else physical memory
  bool blockRead = false;        // the service gave a block
  bool entryPointFound = false;  // physical memory: its entry point was found (the library reads no version there)
  unsigned char major = 0, minor = 0;  // the block's version, or the entry point's
  int versionNumber = 0;               // as CHwInfo::version keeps it (the block's)
  std::size_t tableLength = 0;         // the block's
};
TableSource DescribeTableSource();

}  // namespace smbios
}  // namespace quarn

#endif

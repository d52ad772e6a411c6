// The two ways of obtaining the SMBIOS table. Each reader lives for one call
// of CHwInfo::GetSMBiosData; the operating-system work is the platform's.
#ifndef QUARN_HWINFO_SMBIOSREADERS_H
#define QUARN_HWINFO_SMBIOSREADERS_H

namespace quarn {
namespace smbios {

// The firmware-table service: the whole block is asked for, its table copied.
class CSMBiosFirmwareReader {
 public:
  // Copies the table to `buffer`; the count of bytes copied, or 0. A null or
  // too small buffer gets nothing and `*size` is set to the block's size.
  int ReadTable(unsigned char* buffer, int* size);
  // The version number of the block last read.
  int tableVersion = 0;
};

// The BIOS area of physical memory (0xF0000 to 1 MiB), searched for the
// SMBIOS entry point; the table is read from where the entry point says.
class CSMBiosMemoryReader {
 public:
  // Copies the table to `buffer`; the count of bytes copied, or 0. A null
  // buffer or one below 65,536 bytes gets nothing and `*size` is set to 65,536.
  int ReadTable(unsigned char* buffer, int* size);
};

}  // namespace smbios
}  // namespace quarn

#endif

// The machine's SMBIOS table: obtaining it (GetSMBiosData) and reading the
// BIOS UUID from it (a CHwInfo over a buffer that holds the table).
#ifndef QUARN_HWINFO_HWINFO_H
#define QUARN_HWINFO_HWINFO_H

#include <atomic>
#include <string>
#include <vector>

#include "hwinfo/HwInfoExport.h"

// The header at the start of every SMBIOS structure.
#pragma pack(push, 1)
struct tagSMBiosStructHeader {
  unsigned char type;
  unsigned char length;   // of the formatted area, this header included
  unsigned short handle;  // little-endian
};
#pragma pack(pop)

namespace quarn {
namespace smbios {
struct LibraryVersion;  // the acquisition's hold on `version` (hwinfo/HwInfo.cpp)
}  // namespace smbios
}  // namespace quarn

class QUARN_HWINFO_API CHwInfo {
 public:
  // A view over `length` bytes of a table at `data`; the buffer stays the
  // caller's and must outlive the view.
  CHwInfo(unsigned char* data, int length);
  CHwInfo& operator=(const CHwInfo& other);

  // The BIOS UUID (36 upper-case characters), or empty when the table has
  // none. The byte order of its first three fields follows the table's
  // SMBIOS version and the hypervisor (see GetMahineUuid).
  std::string GetMachineid();

  // Fills `buffer` with the SMBIOS structure table (its first structure at
  // byte 0); the bytes after the table are left as they were. `*size` is the
  // buffer's capacity; when the buffer is null or too small, nothing is
  // copied and `*size` receives the capacity needed. Diagnostics go to
  // standard output.
  static void GetSMBiosData(unsigned char* buffer, int* size);

 private:
  tagSMBiosStructHeader* GetFirstStructure(unsigned char type);
  char* GetString(tagSMBiosStructHeader* header, int index);
  std::string GetMahineUuid();
  // 1 when the table comes from the firmware-table service, 0 when it is
  // searched for in physical memory.
  static int IsWin2k3OrLater();

  // The version number of the last table the firmware-table service gave
  // (0 until then); written by every such call, so kept atomic.
  static std::atomic<int> version;
  friend struct quarn::smbios::LibraryVersion;

  unsigned char* data;
  int length;
};

#endif

// The firmware block reader, then the walk over the table it delimits.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hwinfo/SmbiosParsing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<unsigned char> block(data, data + size);
  quarn::smbios::FirmwareBlockView view;
  if (!quarn::smbios::ReadFirmwareBlock(block.data(), block.size(), view)) return 0;
  if (view.table + view.tableLength > block.data() + block.size()) __builtin_trap();  // a table past the block
  (void)quarn::smbios::VersionNumber(view.major, view.minor);
  unsigned char uuid[16];
  (void)quarn::smbios::TableUuidBytes(view.table, view.tableLength, uuid);
  return 0;
}

// The structure walk, the strings and the UUID text over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hwinfo/SmbiosParsing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact copy: any read past its end is caught by AddressSanitizer.
  const std::vector<unsigned char> table(data, data + size);
  unsigned char uuid[16];
  if (quarn::smbios::TableUuidBytes(table.data(), table.size(), uuid)) {
    (void)quarn::smbios::FormatUuid(uuid, true);
    (void)quarn::smbios::FormatUuid(uuid, false);
  }
  for (int type = 0; type < 4; ++type) {
    const unsigned char* structure =
        quarn::smbios::FindStructure(table.data(), table.size(), static_cast<unsigned char>(type));
    for (int index = 0; structure && index < 4; ++index)
      (void)quarn::smbios::StructureString(structure, table.data() + table.size(), index);
  }
  (void)quarn::smbios::FindStructure(table.data(), table.size(), 127);
  return 0;
}

// The firmware-table way as a caller meets it: the input is the block the
// firmware-table service gives (header and table, any size, also above
// 64 KiB), and GetBiosUuid, GetBiosHash and GetSMBiosData run over it with
// the library's own buffers and padding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "hwinfo/HwInfo.h"
#include "support/FakePlatform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static quarn_test::FakePlatform platform;
  static quarn_test::ScopedFakePlatform use(platform);
  platform.firmwareTableService = 1;
  platform.firmwareBlock = [data, size] {
    quarn::sys::FirmwareBlock block;
    block.status = quarn::sys::FirmwareBlock::kOk;
    block.bytes.assign(data, data + size);
    return block;
  };

  {
    quarn_fuzz::FreshConfig config;
    quarn_fuzz::CheckUuidAnswer(config->GetBiosUuid(), data, size);
    (void)config->GetBiosHash();
  }

  // A direct caller: first the size, then a buffer of exactly that size
  // (AddressSanitizer catches a write past it), then one too small.
  int needed = 0;
  CHwInfo::GetSMBiosData(nullptr, &needed);
  if (needed < 0 || static_cast<size_t>(needed) > size + 0x10000) __builtin_trap();
  if (needed > 0) {
    std::vector<unsigned char> buffer(static_cast<size_t>(needed));
    int capacity = needed;
    CHwInfo::GetSMBiosData(buffer.data(), &capacity);
    std::vector<unsigned char> small(static_cast<size_t>(needed / 2));
    capacity = needed / 2;
    CHwInfo::GetSMBiosData(small.data(), &capacity);
  }
  platform.firmwareBlock = nullptr;  // `data` ends with this call
  return 0;
}

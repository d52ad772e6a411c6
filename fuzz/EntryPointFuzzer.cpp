// The entry-point scan: the input as the start of a 64 KiB BIOS window
// (zeros after it), and as a window of exactly its own size.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hwinfo/SmbiosParsing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quarn::smbios::EntryPoint entry;
  const std::vector<unsigned char> exact(data, data + size);
  (void)quarn::smbios::FindEntryPoint(exact.data(), exact.size(), entry);
  std::vector<unsigned char> window(0x10000, 0);
  std::copy(data, data + (size < window.size() ? size : window.size()), window.begin());
  if (quarn::smbios::FindEntryPoint(window.data(), window.size(), entry) && entry.offset + 28 > window.size())
    __builtin_trap();  // an entry point whose fields lie outside the window
  return 0;
}

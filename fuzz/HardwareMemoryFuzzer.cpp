// The physical-memory way as a caller meets it. The input is a picture of
// memory: its first 64 KiB are the BIOS window at 0xF0000 (zeros after the
// input's end), and a read anywhere else at address A gives the input's
// bytes from offset A on (zeros past its end). A dump written by
// "dmidecode --dump-bin" (entry point at 0, table at address 32) is thus a
// machine of its own. GetBiosUuid and GetBiosHash then find the anchor,
// decide on the table's address and length, and read it again where it
// lies outside the window.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "support/FakePlatform.h"

namespace {

const uint8_t* g_data = nullptr;
size_t g_size = 0;
std::uint64_t g_extent = 0;  // the end of the furthest read, as an input offset

bool ReadMemory(std::uint32_t address, std::uint32_t length, unsigned char* buffer, std::string&) {
  const std::uint64_t offset = address == 0xF0000 ? 0 : address;
  g_extent = std::max(g_extent, offset + length);
  std::memset(buffer, 0, length);
  if (offset < g_size) std::memcpy(buffer, g_data + offset, std::min<std::uint64_t>(length, g_size - offset));
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static quarn_test::FakePlatform platform;
  static quarn_test::ScopedFakePlatform use(platform);
  platform.firmwareTableService = 0;
  platform.physicalMemory = ReadMemory;
  g_data = data;
  g_size = size;
  g_extent = 0;

  {
    quarn_fuzz::FreshConfig config;
    const std::string uuid = config->GetBiosUuid();
    // Memory past the input's end reads as zeros, bytes the machine gave:
    // eight of them after the input cover every tail that reaches there.
    std::vector<uint8_t> memory(data, data + size);
    if (g_extent > size) memory.resize(size + 8, 0);
    quarn_fuzz::CheckUuidAnswer(uuid, memory.data(), memory.size());
    (void)config->GetBiosHash();
  }
  g_data = nullptr;
  g_size = 0;
  return 0;
}

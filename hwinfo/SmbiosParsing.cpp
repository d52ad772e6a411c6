#include "hwinfo/SmbiosParsing.h"

#include <cstdio>
#include <cstring>

namespace quarn {
namespace smbios {
namespace {

std::uint32_t Little32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t Little64(const unsigned char* p) {
  return static_cast<std::uint64_t>(Little32(p)) | static_cast<std::uint64_t>(Little32(p + 4)) << 32;
}

const std::size_t kBlockHeader = 8;
const std::size_t kEntryPointStep = 16;
// Each form's fixed length: its checksum covers at least this much, or it
// would vouch for fields it does not cover (a length byte of 0 sums nothing).
const std::size_t kEntryPointLength = 31;        // "_SM_", the intermediate "_DMI_" part included
const std::size_t kEntryPoint21Length = 30;      // "_SM_" as SMBIOS 2.1 first gave it (0x1E)
const std::size_t kEntryPoint3Length = 24;       // "_SM3_"
const std::size_t kLegacyEntryPointLength = 15;  // "_DMI_" alone, before SMBIOS
const unsigned long kNtPlatform = 2;             // VER_PLATFORM_WIN32_NT
const std::size_t kUuidOffset = 8;
const std::size_t kUuidEnd = 24;

}  // namespace

int VersionNumber(unsigned char major, unsigned char minor) {
  // Unsigned, so that every minor value gives a defined number.
  const unsigned number = static_cast<unsigned>(major) << ((8u + minor) % 32u);
  return static_cast<int>(number);
}

unsigned char ByteSum(const unsigned char* bytes, int count) {
  unsigned char sum = 0;
  for (int i = 0; i < count; ++i) sum = static_cast<unsigned char>(sum + bytes[i]);
  return sum;
}

bool ReadFirmwareBlock(const unsigned char* block, std::size_t size, FirmwareBlockView& view) {
  if (!block || size < kBlockHeader) return false;
  view.major = block[1];
  view.minor = block[2];
  view.table = block + kBlockHeader;
  const std::size_t declared = Little32(block + 4);
  view.tableLength = declared < size - kBlockHeader ? declared : size - kBlockHeader;
  return true;
}

bool ReadEntryPoint(const unsigned char* bytes, std::size_t size, EntryPoint& entry) {
  if (!bytes) return false;
  if (size >= kEntryPoint21Length && std::memcmp(bytes, "_SM_", 4) == 0) {
    const unsigned char length = bytes[5];
    const bool erratum21 = length == kEntryPoint21Length && bytes[6] == 2 && bytes[7] == 1;
    if ((length < kEntryPointLength && !erratum21) || length > size || ByteSum(bytes, length) != 0) return false;
    entry = EntryPoint();
    entry.major = bytes[6];
    entry.minor = bytes[7];
    entry.tableLength = static_cast<std::uint32_t>(bytes[22] | bytes[23] << 8);
    entry.tableAddress = Little32(bytes + 24);
    return true;
  }
  if (size >= kEntryPoint3Length && std::memcmp(bytes, "_SM3_", 5) == 0) {
    const unsigned char length = bytes[6];
    if (length < kEntryPoint3Length || length > size || ByteSum(bytes, length) != 0) return false;
    entry = EntryPoint();
    entry.is64Bit = true;
    entry.major = bytes[7];
    entry.minor = bytes[8];
    entry.revision = bytes[9];
    entry.tableLength = Little32(bytes + 12);
    entry.tableAddress = Little64(bytes + 16);
    return true;
  }
  if (size >= kLegacyEntryPointLength && std::memcmp(bytes, "_DMI_", 5) == 0) {
    // No length byte: the form is 15 bytes; the version is in BCD.
    if (ByteSum(bytes, static_cast<int>(kLegacyEntryPointLength)) != 0) return false;
    entry = EntryPoint();
    entry.major = static_cast<unsigned char>(bytes[14] >> 4);
    entry.minor = static_cast<unsigned char>(bytes[14] & 0x0F);
    entry.tableLength = static_cast<std::uint32_t>(bytes[6] | bytes[7] << 8);
    entry.tableAddress = Little32(bytes + 8);
    return true;
  }
  return false;
}

bool FindEntryPoint(const unsigned char* window, std::size_t size, EntryPoint& entry) {
  if (!window) return false;
  for (std::size_t at = 0; at + kEntryPoint21Length <= size; at += kEntryPointStep) {
    if (std::memcmp(window + at, "_SM_", 4) != 0 || !ReadEntryPoint(window + at, size - at, entry)) continue;
    entry.offset = at;
    return true;
  }
  return false;
}

bool IsNt52OrLater(unsigned long platformId, unsigned long major, unsigned long minor) {
  return platformId == kNtPlatform && (major >= 6 || (major == 5 && minor >= 2));
}

std::size_t StructureEnd(const unsigned char* data, std::size_t length, std::size_t at) {
  if (at + 1 >= length) return 0;
  at += data[at + 1];  // the formatted area
  // The string set ends with two zero bytes in a row.
  while (at + 1 < length && !(data[at] == 0 && data[at + 1] == 0)) ++at;
  if (at + 1 >= length) return 0;
  return at + 2;
}

const unsigned char* FindStructure(const unsigned char* data, std::size_t length, unsigned char type) {
  if (!data) return nullptr;
  std::size_t at = 0;
  while (at < length) {
    if (data[at] == type) return data + at;
    at = StructureEnd(data, length, at);
    if (at == 0) return nullptr;
  }
  return nullptr;
}

const char* StructureString(const unsigned char* structure, const unsigned char* end, int index) {
  if (!structure || structure + 2 > end) return nullptr;
  const unsigned char* at = structure + structure[1];
  if (at >= end) return nullptr;
  for (int i = 1; i < index; ++i) {
    if (*at == 0) return nullptr;  // the set ended before the index-th text
    const void* zero = std::memchr(at, 0, static_cast<std::size_t>(end - at));
    if (!zero) return nullptr;
    at = static_cast<const unsigned char*>(zero) + 1;
    if (at >= end) return nullptr;
  }
  // A zero where a text would start ends the set: there is no such text.
  // The text itself must end inside the buffer.
  if (*at == 0 || !std::memchr(at, 0, static_cast<std::size_t>(end - at))) return nullptr;
  return reinterpret_cast<const char*>(at);
}

bool StructureUuidBytes(const unsigned char* system, const unsigned char* end, unsigned char uuid[16]) {
  if (!system || system >= end) return false;
  const std::size_t available = static_cast<std::size_t>(end - system);
  if (available < kUuidEnd || system[1] < kUuidEnd) return false;
  std::memcpy(uuid, system + kUuidOffset, 16);
  return true;
}

bool TableUuidBytes(const unsigned char* data, std::size_t length, unsigned char uuid[16]) {
  const unsigned char* system = FindStructure(data, length, 1);
  return system && StructureUuidBytes(system, data + length, uuid);
}

std::string FormatUuid(const unsigned char uuid[16], bool swapFields) {
  static const int kStored[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  static const int kSwapped[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  const int* order = swapFields ? kSwapped : kStored;
  char text[260] = {};
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                uuid[order[0]], uuid[order[1]], uuid[order[2]], uuid[order[3]], uuid[order[4]], uuid[order[5]],
                uuid[order[6]], uuid[order[7]], uuid[order[8]], uuid[order[9]], uuid[order[10]], uuid[order[11]],
                uuid[order[12]], uuid[order[13]], uuid[order[14]], uuid[order[15]]);
  return text;
}

std::vector<unsigned char> FirmwareBlockOf(const EntryPoint& entry, const unsigned char* table, std::size_t length) {
  const std::uint32_t size = static_cast<std::uint32_t>(length);
  std::vector<unsigned char> block = {0,
                                      entry.major,
                                      entry.minor,
                                      entry.revision,
                                      static_cast<unsigned char>(size),
                                      static_cast<unsigned char>(size >> 8),
                                      static_cast<unsigned char>(size >> 16),
                                      static_cast<unsigned char>(size >> 24)};
  // One copy of the table, as a block of bytes (not byte by byte).
  block.reserve(block.size() + length);
  if (length > 0) block.insert(block.end(), table, table + length);
  return block;
}

std::string AgentUuidText(const unsigned char* data, std::size_t length, int versionNumber,
                          bool xenOrMicrosoftHypervisor) {
  unsigned char uuid[16];
  if (!data || !TableUuidBytes(data, length, uuid)) return std::string();
  return FormatUuid(uuid, SwapsUuidFields(versionNumber, xenOrMicrosoftHypervisor));
}

bool SwapsUuidFields(int versionNumber, bool xenOrMicrosoftHypervisor) {
  return !xenOrMicrosoftHypervisor && versionNumber >= 518;
}

bool DmtfSwapsUuidFields(unsigned char major, unsigned char minor) {
  if (major == 2 && minor == 31) minor = 3;
  return major > 2 || (major == 2 && minor >= 6);
}

const char* UuidPlaceholder(const unsigned char uuid[16]) {
  static const unsigned char kUnfilled[16] = {0x03, 0x00, 0x02, 0x00, 0x04, 0x00, 0x05, 0x00,
                                              0x00, 0x06, 0x00, 0x07, 0x00, 0x08, 0x00, 0x09};
  static const unsigned char kUnfilledSwapped[16] = {0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0x05,
                                                     0x00, 0x06, 0x00, 0x07, 0x00, 0x08, 0x00, 0x09};
  bool zero = true, ff = true;
  for (int i = 0; i < 16; ++i) {
    zero = zero && uuid[i] == 0x00;
    ff = ff && uuid[i] == 0xFF;
  }
  if (zero) return "all zero: the firmware left the UUID unset";
  if (ff) return "all FF: the firmware says there is no UUID";
  if (std::memcmp(uuid, kUnfilled, 16) == 0 || std::memcmp(uuid, kUnfilledSwapped, 16) == 0)
    return "03000200-0400-0500-0006-000700080009, the value firmware ships before a maker fills it in";
  return nullptr;
}

}  // namespace smbios
}  // namespace quarn

// A dmidecode dump made from a recorded table.
#include <algorithm>

#include "bundle/RecordedFirmware.h"
#include "bundle/SmbiosDump.h"
#include "hwinfo/SmbiosParsing.h"

namespace quarn_tools {
namespace {

// Where dmidecode puts the table in its dumps, after the entry point.
const std::size_t kTableOffset = 0x20;

void PutLittleEndian(std::string& bytes, std::size_t at, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// Sets `bytes[at]` so that the `count` bytes from `from` sum to 0.
void PutChecksum(std::string& bytes, std::size_t from, std::size_t count, std::size_t at) {
  bytes[at] = 0;
  unsigned sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += static_cast<unsigned char>(bytes[from + i]);
  bytes[at] = static_cast<char>(-static_cast<int>(sum & 0xFF));
}

// The structures of the table, and the largest, as the library walks them.
void CountStructures(const unsigned char* table, std::size_t length, std::size_t& count, std::size_t& largest) {
  count = largest = 0;
  for (std::size_t at = 0; at + 1 < length;) {
    const std::size_t end = quarn::smbios::StructureEnd(table, length, at);
    ++count;
    largest = std::max(largest, (end ? end : length) - at);
    if (end == 0) break;
    at = end;
  }
}

std::string EntryPoint32(const RecordedTable& table, const unsigned char* bytes) {
  std::string entry(kTableOffset, '\0');
  std::size_t count = 0, largest = 0;
  CountStructures(bytes, table.length, count, largest);
  entry.replace(0, 4, "_SM_");
  entry[5] = 0x1F;
  entry[6] = static_cast<char>(table.major);
  entry[7] = static_cast<char>(table.minor);
  PutLittleEndian(entry, 8, std::min<std::size_t>(largest, 0xFFFF), 2);
  entry.replace(0x10, 5, "_DMI_");
  PutLittleEndian(entry, 0x16, table.length, 2);
  PutLittleEndian(entry, 0x18, kTableOffset, 4);
  PutLittleEndian(entry, 0x1C, std::min<std::size_t>(count, 0xFFFF), 2);
  entry[0x1E] = static_cast<char>((table.major & 0x0F) << 4 | (table.minor & 0x0F));
  PutChecksum(entry, 0x10, 15, 0x15);
  PutChecksum(entry, 0, 0x1F, 4);
  return entry;
}

std::string EntryPoint64(const RecordedTable& table) {
  std::string entry(kTableOffset, '\0');
  entry.replace(0, 5, "_SM3_");
  entry[6] = 0x18;
  entry[7] = static_cast<char>(table.major);
  entry[8] = static_cast<char>(table.minor);
  entry[9] = static_cast<char>(table.revision);
  entry[10] = 0x01;  // the entry point's own revision
  PutLittleEndian(entry, 0x0C, table.length, 4);
  PutLittleEndian(entry, 0x10, kTableOffset, 8);
  PutChecksum(entry, 0, 0x18, 5);
  return entry;
}

}  // namespace

bool DmidecodeDumpOf(const FirmwareRecord& firmware, std::string& dump, std::string& error) {
  const RecordedTable table = FindRecordedTable(firmware);
  if (!table.found) {
    error = "the bundle records no SMBIOS table";
    return false;
  }
  const std::string& holder = table.inBlock ? firmware.block : firmware.memoryReads[table.read].bytes;
  const auto* bytes = reinterpret_cast<const unsigned char*>(holder.data()) + table.offset;
  const bool wide = table.major >= 3 || table.length > 0xFFFF;
  dump = wide ? EntryPoint64(table) : EntryPoint32(table, bytes);
  dump.append(reinterpret_cast<const char*>(bytes), table.length);
  return true;
}

}  // namespace quarn_tools

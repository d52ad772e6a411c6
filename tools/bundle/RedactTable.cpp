#include "bundle/RedactTable.h"

#include <algorithm>
#include <cstring>

#include "bundle/RecordedFirmware.h"
#include "hwinfo/SmbiosParsing.h"

namespace quarn_tools {
namespace {

const std::uint32_t kWindowStart = 0xF0000;
const std::uint32_t kWindowLength = 0x10000;

// The strings of the structure at `at`, each as its start and length, by
// number from 1, as the library reads them: from the end of the formatted
// area to the first empty one; a text that runs past the table is none.
std::vector<std::pair<std::size_t, std::size_t>> StringsOf(const unsigned char* table, std::size_t length,
                                                           std::size_t at) {
  std::vector<std::pair<std::size_t, std::size_t>> strings;
  for (std::size_t text = at + table[at + 1]; text < length && table[text] != 0;) {
    const void* zero = std::memchr(table + text, 0, length - text);
    if (!zero) break;
    const std::size_t end = static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - table);
    strings.emplace_back(text, end - text);
    text = end + 1;
  }
  return strings;
}

// Replaces a string of the structure whose header ends at `headerEnd`. A
// structure shorter than its header has a first string that starts in it:
// its type and length bytes stay (the walk steps by them), the rest is
// replaced whatever it reads.
void ReplaceString(unsigned char* table, std::pair<std::size_t, std::size_t> string, std::size_t headerEnd,
                   const Pseudonyms& pseudonyms) {
  std::size_t at = string.first, length = string.second;
  const bool inHeader = at < headerEnd;
  if (inHeader) {
    const std::size_t skipped = std::min(length, headerEnd - at);
    at += skipped;
    length -= skipped;
  }
  const std::string text(reinterpret_cast<const char*>(table + at), length);
  if (text.empty() || (!inHeader && IsFillerString(text))) return;
  const std::string made = pseudonyms.TableString(text);
  std::copy(made.begin(), made.end(), table + at);
}

// One structure's identifying parts: the structure at `at` of the table of
// `tableLength` bytes. A string two fields name is replaced once.
void RedactStructure(unsigned char* table, std::size_t tableLength, std::size_t at, const Pseudonyms& pseudonyms) {
  const unsigned char type = table[at], length = table[at + 1];
  const std::size_t available = tableLength - at;
  if (type == 1 && length >= 24 && available >= 24) {
    unsigned char* uuid = table + at + 8;
    if (!quarn::smbios::UuidPlaceholder(uuid)) pseudonyms.Uuid(uuid);
  }
  if (type == 22 && length >= 0x12 && available >= 0x12 &&
      (table[at + 0x10] || table[at + 0x11])) {  // the battery's SBDS serial number
    const std::string made =
        pseudonyms.Stream("sbds serial", std::string(reinterpret_cast<char*>(table + at + 0x10), 2), 2);
    std::memcpy(table + at + 0x10, made.data(), 2);
  }
  const auto strings = StringsOf(table, tableLength, at);
  if (EveryStringIdentifies(type)) {
    for (const auto& string : strings) ReplaceString(table, string, at + 2, pseudonyms);
    return;
  }
  std::vector<bool> replaced(strings.size());
  for (const IdentifyingField& field : IdentifyingFields()) {
    if (field.type != type || field.offset >= length || field.offset >= available) continue;
    const unsigned char number = table[at + field.offset];
    if (number == 0 || number > strings.size() || replaced[number - 1u]) continue;
    ReplaceString(table, strings[number - 1u], at + 2, pseudonyms);
    replaced[number - 1u] = true;
  }
}

// Zeroes the bytes of `read` outside [keepFrom, keepTo) and [tableFrom,
// tableTo) (physical addresses).
void ZeroAround(FirmwareRecord::MemoryRead& read, std::uint64_t keepFrom, std::uint64_t keepTo, std::uint64_t tableFrom,
                std::uint64_t tableTo) {
  for (std::size_t i = 0; i < read.bytes.size(); ++i) {
    const std::uint64_t address = read.address + i;
    if ((address >= keepFrom && address < keepTo) || (address >= tableFrom && address < tableTo)) continue;
    read.bytes[i] = '\0';
  }
}

}  // namespace

const std::vector<IdentifyingField>& IdentifyingFields() {
  static const std::vector<IdentifyingField> fields = {
      {1, 0x07, "system serial number"},        {2, 0x07, "baseboard serial number"},
      {2, 0x08, "baseboard asset tag"},         {3, 0x07, "chassis serial number"},
      {3, 0x08, "chassis asset tag"},           {4, 0x20, "processor serial number"},
      {4, 0x21, "processor asset tag"},         {17, 0x18, "memory module serial number"},
      {17, 0x19, "memory module asset tag"},    {22, 0x07, "battery serial number"},
      {39, 0x08, "power supply serial number"}, {39, 0x09, "power supply asset tag"},
  };
  return fields;
}

bool EveryStringIdentifies(unsigned char type) { return type == 11 || type == 12 || type >= 128; }

bool IsFillerString(const std::string& text) {
  // Letters and digits alone, in lower case: "To Be Filled By O.E.M" and
  // "To be filled by O.E.M." are one filler.
  std::string plain;
  for (char c : text) {
    const char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if ((lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9')) plain += lower;
  }
  if (plain.empty() || plain.find_first_not_of(plain[0]) == std::string::npos) return true;  // blank, "0000", "xxxx"
  static const char* const kFillers[] = {"tobefilledbyoem",
                                         "fillbyoem",
                                         "notspecified",
                                         "notavailable",
                                         "notapplicable",
                                         "na",
                                         "none",
                                         "defaultstring",
                                         "systemserialnumber",
                                         "chassisserialnumber",
                                         "baseboardserialnumber",
                                         "serialnumber",
                                         "assettag",
                                         "noassettag",
                                         "asset1234567890",
                                         "noassetinformation",
                                         "unknown",
                                         "0123456789",
                                         "1234567890",
                                         "123456789",
                                         "oem",
                                         "chassisassettag",
                                         "type1productconfigid",
                                         "invalid",
                                         "empty",
                                         "notset"};
  for (const char* filler : kFillers)
    if (plain == filler) return true;
  return false;
}

void RedactTable(unsigned char* table, std::size_t length, const Pseudonyms& pseudonyms) {
  // Every structure the library's walk reaches, the last one that runs
  // past the end included (its UUID is read all the same).
  for (std::size_t at = 0; at + 1 < length;) {
    RedactStructure(table, length, at, pseudonyms);
    at = quarn::smbios::StructureEnd(table, length, at);
    if (at == 0) return;
  }
}

void RedactFirmware(FirmwareRecord& firmware, const Pseudonyms& pseudonyms) {
  const RecordedTable table = FindRecordedTable(firmware);
  if (table.found && table.inBlock) {
    RedactTable(reinterpret_cast<unsigned char*>(&firmware.block[table.offset]), table.length, pseudonyms);
    return;
  }
  // Physical memory: the table where the entry point of the BIOS window
  // says it lies; and the window but for the entry point and the table,
  // zeroed (without an entry point, all of it).
  if (table.found)
    RedactTable(reinterpret_cast<unsigned char*>(&firmware.memoryReads[table.read].bytes[table.offset]), table.length,
                pseudonyms);
  for (std::size_t w = 0; w < firmware.memoryReads.size(); ++w) {
    FirmwareRecord::MemoryRead& window = firmware.memoryReads[w];
    if (!window.copied || window.address != kWindowStart || window.length != kWindowLength) continue;
    const std::uint64_t entryAt = kWindowStart + table.entryOffset;
    const std::uint64_t entryEnd = table.found ? entryAt + table.entryLength : 0;
    const FirmwareRecord::MemoryRead& holder = firmware.memoryReads[table.read];
    const std::uint64_t tableAt = table.found ? holder.address + table.offset : 0;
    ZeroAround(window, entryAt, entryEnd, tableAt, table.found ? tableAt + table.length : 0);
  }
}

}  // namespace quarn_tools

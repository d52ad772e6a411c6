#include "bundle/RedactTable.h"

#include <algorithm>
#include <cstring>

#include "bundle/RecordedFirmware.h"
#include "hwinfo/SmbiosParsing.h"

namespace quarn_tools {
namespace {

const std::size_t kHeaderLength = 4;  // type, length, handle
const std::size_t kUuidOffset = 8, kUuidEnd = 24;

// Each string of a set as the library's walk sees it: a run of bytes that
// are not zero, between `from` and `to`.
std::vector<std::pair<std::size_t, std::size_t>> StringRuns(const unsigned char* table, std::size_t from,
                                                            std::size_t to) {
  std::vector<std::pair<std::size_t, std::size_t>> runs;
  for (std::size_t at = from; at < to;) {
    if (table[at] == 0) {
      ++at;
      continue;
    }
    const std::size_t start = at;
    while (at < to && table[at] != 0) ++at;
    runs.emplace_back(start, at);
  }
  return runs;
}

// The allow-list's field of `type` at `offset`, or null.
const KeptTableString* KeptField(unsigned char type, std::size_t offset) {
  for (const KeptTableString& kept : KeptTableStrings())
    if (kept.type == type && kept.offset == offset) return &kept;
  return nullptr;
}

void Zero(unsigned char& byte, TableRedaction& done) {
  done.bytesZeroed += byte != 0;
  byte = 0;
}

// The structure at `at`, which ends at `end` (0: it runs past `length`).
// Its type and length bytes always stay: the walk steps by them, and a
// string set that starts inside a short header must not move.
void RedactStructure(unsigned char* table, std::size_t length, std::size_t at, std::size_t end,
                     const Pseudonyms& pseudonyms, TableRedaction& done) {
  const unsigned char type = table[at];
  const std::size_t formatted = table[at + 1], formattedEnd = std::min(length, at + formatted);
  const auto runs = StringRuns(table, std::min(length, at + formatted), end ? end - 2 : length);
  // Which strings a kept field numbers; the fields that do are kept too.
  std::vector<const KeptTableString*> keptBy(runs.size());
  std::vector<bool> keepByte(formattedEnd > at ? formattedEnd - at : 0);
  for (std::size_t offset = kHeaderLength; at + offset < formattedEnd; ++offset) {
    const KeptTableString* field = KeptField(type, offset);
    const unsigned char number = table[at + offset];
    if (!field || number == 0 || number > runs.size()) continue;
    keptBy[number - 1u] = field;
    keepByte[offset] = true;
  }
  const bool hasUuid = type == 1 && formatted >= kUuidEnd && at + kUuidEnd <= length;
  if (hasUuid && !quarn::smbios::UuidPlaceholder(table + at + kUuidOffset)) {
    pseudonyms.Uuid(table + at + kUuidOffset);
    ++done.uuidsReplaced;
  }
  for (std::size_t offset = 2; at + offset < formattedEnd; ++offset) {
    const bool uuid = hasUuid && offset >= kUuidOffset && offset < kUuidEnd;
    if (offset >= kHeaderLength && !uuid && !keepByte[offset]) Zero(table[at + offset], done);
  }
  for (std::size_t s = 0; s < runs.size(); ++s) {
    const std::size_t from = std::max(runs[s].first, at + 2), to = runs[s].second;
    if (from >= to) continue;
    const std::string text(reinterpret_cast<const char*>(table + from), to - from);
    if (keptBy[s]) {
      done.kept.emplace_back(keptBy[s], text);
      continue;
    }
    const std::string made = pseudonyms.TableString(text);
    std::copy(made.begin(), made.end(), table + from);
    ++done.stringsReplaced;
  }
}

// The entry point of the BIOS window, as [from, to) in the window's bytes;
// empty where it holds none.
std::pair<std::size_t, std::size_t> EntryPointIn(const std::string& window) {
  quarn::smbios::EntryPoint entry;
  const auto* bytes = reinterpret_cast<const unsigned char*>(window.data());
  if (!quarn::smbios::FindEntryPoint(bytes, window.size(), entry)) return {0, 0};
  const std::size_t lengthAt = entry.offset + (entry.is64Bit ? 6 : 5);
  return {entry.offset, std::min(window.size(), entry.offset + bytes[lengthAt])};
}

}  // namespace

const std::vector<KeptTableString>& KeptTableStrings() {
  static const std::vector<KeptTableString> kept = {
      {0, 0x04, "BIOS vendor", "the firmware's maker, the same on every machine of a model"},
      {0, 0x05, "BIOS version", "a firmware release, the same on every machine that runs it"},
      {0, 0x08, "BIOS release date", "the firmware release's date, not the machine's"},
      {1, 0x04, "system manufacturer", "the maker of a model"},
      {1, 0x05, "system product name", "the name of a model"},
      {2, 0x04, "baseboard manufacturer", "the maker of a model"},
      {2, 0x05, "baseboard product", "the name of a board model"},
      {3, 0x04, "chassis manufacturer", "the maker of a model"},
      {4, 0x07, "processor manufacturer", "the maker of a processor model"},
      {4, 0x10, "processor version", "the name of a processor model"},
  };
  return kept;
}

void RedactTable(unsigned char* table, std::size_t length, const Pseudonyms& pseudonyms, TableRedaction& done) {
  // Every structure the library's walk reaches, the one that runs past the
  // end included (its UUID is read all the same). A last byte alone is
  // read as a type and nothing more: it stays.
  for (std::size_t at = 0; at + 1 < length;) {
    const std::size_t end = quarn::smbios::StructureEnd(table, length, at);
    RedactStructure(table, length, at, end, pseudonyms, done);
    ++done.structures;
    if (end == 0) return;
    at = end;
  }
}

void RedactFirmware(FirmwareRecord& firmware, const Pseudonyms& pseudonyms, TableRedaction& done) {
  // The block: its 8 bytes of header, then all the library copies and walks.
  if (firmware.blockGiven && firmware.block.size() > 8) {
    RedactTable(reinterpret_cast<unsigned char*>(&firmware.block[8]), firmware.block.size() - 8, pseudonyms, done);
    return;
  }
  const RecordedTable table = FindRecordedTable(firmware);
  std::uint64_t tableAt = 0, tableEnd = 0;
  if (table.found && !table.inBlock) {
    FirmwareRecord::MemoryRead& holder = firmware.memoryReads[table.read];
    RedactTable(reinterpret_cast<unsigned char*>(&holder.bytes[table.offset]), table.length, pseudonyms, done);
    tableAt = holder.address + table.offset;
    tableEnd = tableAt + table.length;
  }
  // Every read but the entry point and the table zeroed; a read that holds
  // the table's bytes too (the BIOS window, often) holds the redacted ones.
  for (FirmwareRecord::MemoryRead& read : firmware.memoryReads) {
    const auto entry = read.address == quarn::smbios::kBiosWindowStart ? EntryPointIn(read.bytes)
                                                                       : std::pair<std::size_t, std::size_t>();
    for (std::size_t i = 0; i < read.bytes.size(); ++i) {
      const std::uint64_t address = read.address + i;
      if (address >= tableAt && address < tableEnd) {
        const std::string& redacted = firmware.memoryReads[table.read].bytes;
        read.bytes[i] = redacted[table.offset + static_cast<std::size_t>(address - tableAt)];
      } else if (i < entry.first || i >= entry.second) {
        Zero(reinterpret_cast<unsigned char&>(read.bytes[i]), done);
      }
    }
  }
}

}  // namespace quarn_tools

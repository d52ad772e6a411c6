// The SMBIOS table of a redacted bundle: every string that identifies a
// machine replaced in place by a pseudonym of the same length (serial
// numbers, asset tags, OEM strings, configuration options, the strings of
// the makers' own structures) and the UUID by a pseudonym of its bytes. The
// structures, their lengths and every other byte stay: the library walks the
// same table, finds the UUID where it was, and swaps its fields as it did.
#ifndef QUARN_TOOLS_BUNDLE_REDACTTABLE_H
#define QUARN_TOOLS_BUNDLE_REDACTTABLE_H

#include <cstddef>
#include <string>
#include <vector>

#include "bundle/MachineRecord.h"
#include "bundle/Pseudonyms.h"

namespace quarn_tools {

// Where a table holds identifying strings: the string-number fields of the
// structures that carry them, by type and offset.
struct IdentifyingField {
  unsigned char type, offset;
  const char* what;
};
const std::vector<IdentifyingField>& IdentifyingFields();
// Structures whose every string may identify the machine: OEM strings (11),
// system configuration options (12), the makers' own types (128 and up).
bool EveryStringIdentifies(unsigned char type);
// Whether a string of the table is a filler that firmware ships unfilled
// ("To Be Filled By O.E.M.", "Not Specified", "0000"...): it identifies
// nothing and says something, so it stays.
bool IsFillerString(const std::string& text);

// The table's identifying strings and its UUID replaced in place.
void RedactTable(unsigned char* table, std::size_t length, const Pseudonyms& pseudonyms);

// The firmware recorded: the firmware-table service's block, or the reads of
// physical memory. There the BIOS area around the entry point and the table
// is zeroed: it is code and data of the firmware, which the replay never
// reads.
void RedactFirmware(FirmwareRecord& firmware, const Pseudonyms& pseudonyms);

}  // namespace quarn_tools

#endif

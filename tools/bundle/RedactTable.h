// The SMBIOS table of a redacted bundle, by an allow-list: what the list
// names leaves as it is, everything else does not. Kept: each structure's
// header (type, length, handle) and the shape of its string set (where each
// string starts and ends), so the library walks the same table and finds
// the UUID where it was; the strings that name a model rather than a
// machine, and the fields that number them. The UUID becomes its keyed
// pseudonym (a placeholder UUID stays); every other string becomes a
// placeholder of the same length; every other byte of a formatted area,
// of every structure type, is zeroed.
#ifndef QUARN_TOOLS_BUNDLE_REDACTTABLE_H
#define QUARN_TOOLS_BUNDLE_REDACTTABLE_H

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "bundle/MachineRecord.h"
#include "bundle/Pseudonyms.h"

namespace quarn_tools {

// A string the table may keep: the string-number field at `offset` of
// structures of `type`, what it names and why that names no machine.
struct KeptTableString {
  unsigned char type, offset;
  const char* what;
  const char* why;
};
const std::vector<KeptTableString>& KeptTableStrings();

// What one redaction of a table did, counted.
struct TableRedaction {
  std::size_t structures = 0;
  std::size_t stringsReplaced = 0;
  std::size_t bytesZeroed = 0;  // formatted bytes and bytes outside the table that were not zero
  std::size_t uuidsReplaced = 0;
  // Each kept string, by what it is, with its text: `--show-kept` prints them.
  std::vector<std::pair<const KeptTableString*, std::string>> kept;
};

// The table redacted in place; `done` counts what it did.
void RedactTable(unsigned char* table, std::size_t length, const Pseudonyms& pseudonyms, TableRedaction& done);

// The firmware recorded: the firmware-table service's block (its header
// kept, the table after it redacted, as far as the library's walk goes), or
// the reads of physical memory (the entry point kept, the table redacted,
// every other byte zeroed: code and data of the firmware that the replay
// never reads).
void RedactFirmware(FirmwareRecord& firmware, const Pseudonyms& pseudonyms, TableRedaction& done);

}  // namespace quarn_tools

#endif

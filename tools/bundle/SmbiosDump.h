// quarncfg --smbios-dump: the firmware of a machine as a dump of its SMBIOS
// table gives it, in the form the firmware-table service delivers, so the
// library's acquisition, walk, UUID rule and checksum run over it as over
// the machine. Three dumps are read:
// - a file of dmidecode --dump-bin: the entry point at its start, the table
//   where the entry point's address (rewritten by dmidecode) says;
// - the kernel's two files, smbios_entry_point and DMI
//   (/sys/firmware/dmi/tables): their directory, or the path of the first;
// - a block as Windows' GetSystemFirmwareTable('RSMB') returns it.
// A table alone, without its entry point, has no version: it is read only
// with the version given (dmidecode's text prints it: "SMBIOS 3.0 present").
#ifndef QUARN_TOOLS_BUNDLE_SMBIOSDUMP_H
#define QUARN_TOOLS_BUNDLE_SMBIOSDUMP_H

#include <string>

#include "bundle/MachineRecord.h"

namespace quarn_tools {

// The version a table alone is read with, given by whoever knows it.
struct GivenTableVersion {
  bool given = false;
  unsigned char major = 0, minor = 0;
};
// "3.0" as a version; false for any other text.
bool ParseTableVersion(const std::string& text, GivenTableVersion& version);

// The firmware of the dump at `path`; `form` says which dump it was. False
// with `error` for anything else, and for a version given with a dump that
// carries its own.
bool FirmwareOfDump(const std::string& path, FirmwareRecord& firmware, std::string& form, std::string& error,
                    const GivenTableVersion& tableVersion = GivenTableVersion());

// The recorded table as a dmidecode --dump-bin file, which dmidecode
// --from-dump reads: an entry point at its start (the 32-bit form for SMBIOS
// 2.x, the 64-bit one from 3.0 on or for a table of 64 KiB or more), giving
// 32 as the table's address, and the table there. False, with `error`,
// when the record holds no table.
bool DmidecodeDumpOf(const FirmwareRecord& firmware, std::string& dump, std::string& error);

}  // namespace quarn_tools

#endif

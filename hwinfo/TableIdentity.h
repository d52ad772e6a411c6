// The machine's hardware identity as the agent makes it from an SMBIOS table
// buffer: the BIOS UUID as the agent prints it (its first three fields
// swapped or not, by the SMBIOS version the library holds and the
// hypervisor), the same UUID as the DMTF and dmidecode print it, whether it
// is a placeholder, and the table's checksum. The library's GetBiosUuid and
// GetBiosHash and the inspector's Hardware section all come from here.
#ifndef QUARN_HWINFO_TABLEIDENTITY_H
#define QUARN_HWINFO_TABLEIDENTITY_H

#include <cstddef>
#include <string>

namespace quarn {
namespace smbios {

// The table buffer as the library walks it: the table at its start, zeros
// after it; `delivered` bytes of it came from the firmware.
struct TableBytes {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  int delivered = 0;
};

// The SMBIOS version the table says of itself (the firmware block's header,
// or the entry point found in memory), for the DMTF's rule.
struct TableVersion {
  bool known = false;
  unsigned char major = 0, minor = 0;
};

// Where a table comes from, and what its header says.
struct TableSource {
  bool firmwareService = false;  // else physical memory
  bool blockRead = false;        // the service gave a block
  bool entryPointFound = false;  // physical memory: its entry point was found (the library reads no version there)
  unsigned char major = 0, minor = 0;  // the block's version, or the entry point's
  int versionNumber = 0;               // as CHwInfo::version keeps it (the block's)
  std::size_t tableLength = 0;         // the block's

  // The table's own version, for the DMTF's rule.
  TableVersion Version() const {
    TableVersion version;
    version.known = blockRead || entryPointFound;
    version.major = major;
    version.minor = minor;
    return version;
  }
};

// What decides the agent's byte order: the version number the library holds
// (CHwInfo::version: the firmware block's; 0 in a process that found its
// table in memory) and whether the machine runs under Xen or Microsoft's
// hypervisor.
struct AgentRule {
  int versionNumber = 0;
  bool xenOrMicrosoft = false;
};

// The checksum the agent sends: kqt::CAlgorithmUtil::GetCRC, handed in by
// whoever links the utility library.
using TableChecksum = unsigned (*)(const unsigned char* data, std::size_t size);

struct HardwareIdentity {
  std::string machineId;              // CHwInfo::GetMachineid's text (upper case), "" when the walk finds no UUID
  std::string agentUuid;              // GetBiosUuid's (lower case), "" unless the UUID lies in delivered bytes
  unsigned checksum = 0;              // GetBiosHash's: of the whole buffer
  bool agentSwaps = false;            // the agent prints the first three fields most significant byte first
  bool dmtfKnown = false;             // the table's version is known, and with it the DMTF form
  bool dmtfSwaps = false;             // the DMTF form swaps them (SMBIOS 2.6 on)
  std::string dmtfUuid;               // lower case; "" when there is no UUID or no version
  const char* placeholder = nullptr;  // what the UUID is when it is no identity (UuidPlaceholder)
};

HardwareIdentity IdentifyTable(const TableBytes& table, const AgentRule& rule, const TableVersion& version,
                               TableChecksum checksum);

}  // namespace smbios
}  // namespace quarn

#endif

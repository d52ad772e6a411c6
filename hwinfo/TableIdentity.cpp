#include "hwinfo/TableIdentity.h"

#include "hwinfo/SmbiosParsing.h"

namespace quarn {
namespace smbios {
namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// Offset 24: the end of the UUID in a System Information structure.
const std::size_t kUuidEnd = 24;

}  // namespace

HardwareIdentity IdentifyTable(const TableBytes& table, const AgentRule& rule, const TableVersion& version,
                               TableChecksum checksum) {
  HardwareIdentity identity;
  identity.checksum = checksum(table.data, table.size);
  identity.agentSwaps = SwapsUuidFields(rule.versionNumber, rule.xenOrMicrosoft);
  identity.dmtfKnown = version.known;
  identity.dmtfSwaps = version.known && DmtfSwapsUuidFields(version.major, version.minor);
  const unsigned char* system = table.data ? FindStructure(table.data, table.size, 1) : nullptr;
  unsigned char uuid[16];
  if (!system || !StructureUuidBytes(system, table.data + table.size, uuid)) return identity;
  identity.machineId = FormatUuid(uuid, identity.agentSwaps);
  // Bytes of the zero padding after a table cut short would make an id up.
  const std::size_t end = static_cast<std::size_t>(system - table.data) + kUuidEnd;
  if (table.delivered > 0 && end <= static_cast<std::size_t>(table.delivered))
    identity.agentUuid = Lower(identity.machineId);
  identity.placeholder = UuidPlaceholder(uuid);
  if (version.known) identity.dmtfUuid = Lower(FormatUuid(uuid, identity.dmtfSwaps));
  return identity;
}

}  // namespace smbios
}  // namespace quarn

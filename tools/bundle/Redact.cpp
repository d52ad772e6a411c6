#include "bundle/Redact.h"

#include <cstring>
#include <map>

#include "config/AddressRules.h"
#include "hwinfo/SmbiosParsing.h"

namespace quarn_tools {
namespace {

using Json = nlohmann::json;

const char kRedactedHost[] = "redacted-host";
// "REDACTED-UUID-00": no placeholder, and plainly not a machine's.
const unsigned char kRedactedUuid[16] = {0x52, 0x45, 0x44, 0x41, 0x43, 0x54, 0x45, 0x44,
                                         0x2D, 0x55, 0x55, 0x49, 0x44, 0x2D, 0x30, 0x30};

// `octets` more octets of dotted decimal, telling `index` apart.
std::string Octets(int octets, unsigned index) {
  const unsigned parts[3] = {(index >> 16) & 0xFF, (index >> 8) & 0xFF, index & 0xFF};
  std::string text;
  for (int i = 3 - octets; i < 3; ++i) text += (text.empty() ? "" : ".") + std::to_string(parts[i]);
  return text;
}

int DotsIn(const std::string& text) {
  int dots = 0;
  for (char c : text) dots += c == '.';
  return dots;
}

// Replaces the UUID of the System Information structure of the table in
// `table` (if it has one there), unless it is a placeholder already.
void RedactTableUuid(unsigned char* table, std::size_t length) {
  const unsigned char* system = quarn::smbios::FindStructure(table, length, 1);
  unsigned char uuid[16];
  if (!system || !quarn::smbios::StructureUuidBytes(system, table + length, uuid)) return;
  if (quarn::smbios::UuidPlaceholder(uuid)) return;
  std::memcpy(table + (system - table) + 8, kRedactedUuid, sizeof kRedactedUuid);
}

void RedactFirmware(FirmwareRecord& firmware) {
  if (firmware.blockGiven && firmware.block.size() > 8)
    RedactTableUuid(reinterpret_cast<unsigned char*>(&firmware.block[8]), firmware.block.size() - 8);
  // Physical memory: the table where the entry point of the BIOS window
  // says it lies, in whichever read holds it.
  for (const FirmwareRecord::MemoryRead& window : firmware.memoryReads) {
    quarn::smbios::EntryPoint entry;
    if (!window.copied || !quarn::smbios::FindEntryPoint(reinterpret_cast<const unsigned char*>(window.bytes.data()),
                                                         window.bytes.size(), entry))
      continue;
    for (FirmwareRecord::MemoryRead& read : firmware.memoryReads) {
      if (!read.copied || entry.tableAddress < read.address) continue;
      const std::uint64_t offset = entry.tableAddress - read.address;
      if (offset >= read.bytes.size()) continue;
      const std::size_t length =
          static_cast<std::size_t>(std::min<std::uint64_t>(entry.tableLength, read.bytes.size() - offset));
      RedactTableUuid(reinterpret_cast<unsigned char*>(&read.bytes[static_cast<std::size_t>(offset)]), length);
    }
  }
}

// Every text of `value` that is a key of `replace` becomes its value.
void ReplaceTexts(Json& value, const std::map<std::string, std::string>& replace) {
  if (value.is_string()) {
    const auto found = replace.find(value.get<std::string>());
    if (found != replace.end()) value = found->second;
  } else if (value.is_array() || value.is_object()) {
    for (auto& item : value) ReplaceTexts(item, replace);
  }
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

std::string RedactedAddress(const std::string& address, unsigned index) {
  if (address == "127.0.0.1" || address == "255.255.255.255" || address.compare(0, 4, "127.") == 0)
    return address;  // the machine's own loopback and the broadcast address identify nothing
  const quarn::IdentityExplanation alone = quarn::ExplainIdentityIp({address});
  const quarn::IdentityVerdict::Kind kind =
      alone.verdicts.empty() ? quarn::IdentityVerdict::kPublic : alone.verdicts.front().kind;
  switch (kind) {
    case quarn::IdentityVerdict::kUnusable:
      return "169.254." + Octets(2, index);
    case quarn::IdentityVerdict::kPrivate: {
      const std::string prefix = alone.verdicts.front().prefix;
      return prefix + Octets(3 - DotsIn(prefix) + 1, index);
    }
    case quarn::IdentityVerdict::kFallback172:
      return "172.0." + Octets(2, index);
    default:
      return "203.0." + Octets(2, index);
  }
}

void RedactRecord(MachineRecord& record) {
  std::map<std::string, std::string> replace;
  if (!record.machineName.empty()) replace[record.machineName] = kRedactedHost;
  if (record.machineNameKnown) record.machineName = kRedactedHost;
  unsigned index = 0;
  for (std::string& address : record.localAddresses) {
    auto found = replace.find(address);
    if (found == replace.end()) found = replace.emplace(address, RedactedAddress(address, ++index)).first;
    address = found->second;
  }
  RedactFirmware(record.firmware);

  // The report's UUID texts: the redacted bytes printed as the agent and
  // the DMTF printed the machine's.
  const auto section = record.report.find("hardware");
  if (section != record.report.end() && section->is_object()) {
    const Json& hardware = *section;
    const auto text = [&](const char* key) {
      const auto found = hardware.find(key);
      return found != hardware.end() && found->is_string() ? found->get<std::string>() : std::string();
    };
    const auto flag = [&](const char* key) {
      const auto found = hardware.find(key);
      return found != hardware.end() && found->is_boolean() && found->get<bool>();
    };
    const std::string agent = text("bios_uuid"), dmtf = text("dmtf_uuid");
    const auto said = hardware.find("uuid_placeholder");
    const bool placeholder = said != hardware.end() && !said->is_null();
    if (!agent.empty() && !placeholder) {
      const bool agentSwaps = flag("uuid_fields_swapped");
      replace[agent] = Lower(quarn::smbios::FormatUuid(kRedactedUuid, agentSwaps));
      if (!dmtf.empty())
        replace[dmtf] =
            Lower(quarn::smbios::FormatUuid(kRedactedUuid, flag("uuid_forms_differ") ? !agentSwaps : agentSwaps));
    }
  }
  ReplaceTexts(record.report, replace);
  // A machine name that was not UTF-8 is given in hexadecimal too.
  const auto undecodable = record.report.find("undecodable_texts");
  if (undecodable != record.report.end() && undecodable->is_object()) undecodable->erase("/host/machine_name");
  record.redacted = true;
}

}  // namespace quarn_tools

#include "bundle/Redact.h"

#include <map>

#include "bundle/Pseudonyms.h"
#include "bundle/RedactTable.h"
#include "bundle/RedactText.h"
#include "bundle/Replay.h"
#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

using Json = nlohmann::json;

// Texts and their pseudonyms: a text that is one value, and the paths that
// texts hold.
struct Swaps {
  std::map<std::string, std::string> whole;
  std::vector<std::pair<std::string, std::string>> prefixes;

  std::string Apply(const std::string& text) const {
    const auto found = whole.find(text);
    return found != whole.end() ? found->second : ReplacePrefixes(text, prefixes);
  }
};

// The same swaps as the report writes its texts (UTF-8).
Swaps InReportForm(const Swaps& system) {
  Swaps report;
  for (const auto& swap : system.whole) report.whole[JsonTextOf(swap.first)] = JsonTextOf(swap.second);
  for (const auto& swap : system.prefixes)
    report.prefixes.emplace_back(JsonTextOf(swap.first), JsonTextOf(swap.second));
  return report;
}

void SwapStrings(Json& value, const Swaps& swaps) {
  if (value.is_string())
    value = swaps.Apply(value.get_ref<const std::string&>());
  else if (value.is_array() || value.is_object())
    for (Json& item : value) SwapStrings(item, swaps);
}

// The original bytes kept for the report's texts that are no UTF-8: the
// pseudonyms' bytes, and none where a text became UTF-8.
std::string SwapUndecodable(const std::string& canonical, const Swaps& system) {
  Json undecodable = Json::parse(canonical, nullptr, false);
  if (!undecodable.is_object()) return canonical;
  Json kept = Json::object();
  for (const auto& entry : undecodable.items()) {
    std::string bytes;
    const std::string hex = entry.value().is_string() ? entry.value().get<std::string>() : std::string();
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
      bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    const std::string swapped = system.Apply(bytes);
    if (swapped == bytes)
      kept[entry.key()] = entry.value();
    else if (!IsValidUtf8(Utf8FromSystemText(swapped)))
      kept[entry.key()] = HexBytes(swapped);
  }
  return kept.dump();
}

void SwapReport(CanonicalReport& report, const Swaps& system) {
  const Swaps utf8 = InReportForm(system);
  for (auto& section : report.sections)
    for (auto& field : section.second) {
      Json value = Json::parse(field.second, nullptr, false);
      if (value.is_discarded()) continue;
      SwapStrings(value, utf8);
      field.second = value.dump();
    }
  const auto undecodable = report.members.find("undecodable_texts");
  if (undecodable != report.members.end()) undecodable->second = SwapUndecodable(undecodable->second, system);
}

// The report's text of a field, "" where it has none or it is no text.
std::string ReportText(const CanonicalReport& report, const char* section, const char* field) {
  const auto s = report.sections.find(section);
  if (s == report.sections.end() || !s->second.count(field)) return std::string();
  const Json value = Json::parse(s->second.at(field), nullptr, false);
  return value.is_string() ? value.get<std::string>() : std::string();
}

// The machine's name, addresses and paths, and the settings files' texts.
void RedactMachine(MachineRecord& record, const Pseudonyms& pseudonyms, const std::vector<std::string>& otherPaths,
                   Swaps& swaps) {
  if (!record.machineName.empty()) {
    swaps.whole[record.machineName] = pseudonyms.MachineName(record.machineName);
    record.machineName = swaps.whole[record.machineName];
  }
  for (std::string& address : record.localAddresses) {
    const std::string made = pseudonyms.Address(address);
    if (made != address) swaps.whole[address] = made;
    address = made;
  }
  PathRedaction paths(pseudonyms, record.pathStyle);
  for (const std::string& path : otherPaths) paths.Path(path);
  record.executableDir = paths.Path(record.executableDir);
  for (RecordedFile* file : {&record.settingsFile, &record.overrideFile, &record.updaterVersionRecord})
    file->path = paths.Path(file->path);
  swaps.prefixes = paths.Prefixes();
  record.notMadeBecause = swaps.Apply(record.notMadeBecause);
  std::map<std::string, std::string> servers;
  record.settingsFile.content = RedactSettingsText(record.settingsFile.content, false, pseudonyms, servers);
  record.overrideFile.content = RedactSettingsText(record.overrideFile.content, true, pseudonyms, servers);
  swaps.whole.insert(servers.begin(), servers.end());
}

// The table, and the texts made of it: the UUID in either form (the replay
// prints the pseudonym's bytes as the machine printed its own), and the
// checksum, whose pseudonym the replay cannot give and explains.
void RedactHardware(MachineRecord& record, const Pseudonyms& pseudonyms, Swaps& swaps) {
  const quarn::smbios::HardwareIdentity before = RecordAnswers(record).Hardware().identity;
  RedactFirmware(record.firmware, pseudonyms);
  const quarn::smbios::HardwareIdentity after = RecordAnswers(record).Hardware().identity;
  if (!before.agentUuid.empty()) swaps.whole[before.agentUuid] = after.agentUuid;
  if (!before.dmtfUuid.empty()) swaps.whole[before.dmtfUuid] = after.dmtfUuid;
  // A table the redaction left as it was (none at all, or nothing in it
  // that names the machine) keeps its checksum: it tells no more than the
  // bundle does.
  const std::string checksum = ReportText(record.report, "hardware", "table_checksum");
  if (!checksum.empty() && before.checksum != after.checksum) swaps.whole[checksum] = pseudonyms.Checksum(checksum);
}

Json Summary(bool keyGiven) {
  return Json{
      {"key", keyGiven ? "given (--redact-key): the same value has the same pseudonym in every bundle made with it"
                       : "made for this bundle alone: its pseudonyms match no other bundle's"},
      {"replaced",
       {"the machine name", "the local addresses (each keeps its class for the identity walk)",
        "the BIOS UUID (its bytes; the agent's and the DMTF form follow from them)",
        // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one kind, split over two lines
        "the SMBIOS table's serial numbers, asset tags, OEM strings, configuration options and the strings of "
        "the makers' own structures (same length)",
        "the table checksum (a pseudonym: the replay explains the difference)",
        "the BIOS memory around the entry point and the table (zeroed)",
        "the folder names of every recorded path (same length and byte classes)",
        "the server names of the settings files (same shape; an address keeps its class)",
        "the settings files' comments, section names, unknown keys' values and lines the reader passes over"}},
      {"kept",
       // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one kind, split over two lines
       {"the agent's own folder and file names, drive letters and roots, and the system's folders "
        "(Program Files, Users, home, ...)",
        "the settings' key names and every value the library reads but server names",
        "the library's own default servers", "loopback and broadcast addresses, placeholder UUIDs and filler strings",
        "the SMBIOS versions, the structures and their lengths, makers' and products' names",
        "the Windows version values, the hypervisor's CPUID leaves, the updater's version record"}}};
}

}  // namespace

void RedactRecord(MachineRecord& record, const std::string& key, bool keyGiven,
                  const std::vector<std::string>& otherPaths) {
  const Pseudonyms pseudonyms(key, record.pathStyle);
  Swaps swaps;
  RedactMachine(record, pseudonyms, otherPaths, swaps);
  RedactHardware(record, pseudonyms, swaps);
  SwapReport(record.report, swaps);
  record.redacted = true;
  record.redaction = Summary(keyGiven);
}

}  // namespace quarn_tools

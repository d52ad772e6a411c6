#include "fleet/FleetReport.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "report/Report.h"
#include "report/Terminal.h"
#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

namespace S = quarn::settings;
using Json = nlohmann::ordered_json;

// A value's JSON text back as a value; a cut one as its text.
Json ValueJson(const std::string& excerpt) {
  const bool cut = excerpt.size() >= 3 && excerpt.compare(excerpt.size() - 3, 3, "...") == 0;
  if (!cut) {
    Json value = Json::parse(excerpt, nullptr, false);
    if (!value.is_discarded()) return value;
  }
  return Json(excerpt);
}

// A machine as the text form names it: by its name and bundle, or by its
// bundle alone where the name is a redaction's pseudonym or not known.
std::string Named(const MachineIdentity& facts) {
  if (facts.redacted || facts.machineName.empty()) return facts.bundle;
  return facts.machineName + " (" + facts.bundle + ")";
}

// Which bundles a machine's values can be compared with.
std::string GroupOf(const std::string& keyId) {
  if (keyId.empty()) return "plain";
  return keyId == "?" ? "redacted without a key id" : "redacted with key id " + keyId;
}

Json TextOrNull(const std::string& text) { return text.empty() ? Json() : Json(JsonTextOf(text)); }

Json MachineJson(const MachineIdentity& facts) {
  return Json{{"bundle", JsonTextOf(facts.bundle)},
              {"machine_name", TextOrNull(facts.machineName)},
              {"identity_address", TextOrNull(facts.identityAddress)},
              {"hypervisor", TextOrNull(facts.hypervisor)},
              {"smbios_version", TextOrNull(facts.smbiosVersion)},
              {"table_checksum", TextOrNull(facts.checksum)},
              {"made_at", JsonTextOf(facts.madeAt)},
              {"redacted", facts.redacted},
              {"key_id", facts.keyId.empty() || facts.keyId == "?" ? Json() : Json(facts.keyId)},
              {"digest_recorded", facts.digestRecorded}};
}

Json SharedJson(const Fleet& fleet, const std::vector<SharedValue>& groups) {
  Json list = Json::array();
  for (const SharedValue& group : groups) {
    Json machines = Json::array();
    for (std::size_t i : group.machines) machines.push_back(MachineJson(fleet.Machines()[i].identity));
    list.push_back(Json{{"value", JsonTextOf(group.value)},
                        {"placeholder", group.placeholder},
                        {"machines", machines},
                        {"notes", group.notes}});
  }
  return list;
}

class Lines {
 public:
  explicit Lines(std::FILE* out) : m_out(out) {}
  void operator()(const std::string& text) {
    std::string line;
    AppendPrintable(line, text);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), m_out);
  }

 private:
  std::FILE* m_out;
};

void PrintShared(const Fleet& fleet, const std::vector<SharedValue>& groups, const char* title, const char* meaning,
                 Lines& line) {
  if (groups.empty()) return;
  line("");
  line(std::string(title) + " (" + meaning + "):");
  for (const SharedValue& group : groups) {
    line("  " + group.value + ": " + std::to_string(group.machines.size()) + " machines" +
         (group.placeholder ? ", a placeholder value" : ""));
    for (std::size_t i : group.machines) {
      const MachineIdentity& f = fleet.Machines()[i].identity;
      line("    " + Named(f) + ": identity address " + (f.identityAddress.empty() ? "none" : f.identityAddress) +
           ", hypervisor " + (f.hypervisor.empty() ? "none" : f.hypervisor) + ", SMBIOS " +
           (f.smbiosVersion.empty() ? "none" : f.smbiosVersion) + ", made " + f.madeAt +
           (fleet.ComparabilityGroups().size() > 1 ? ", " + GroupOf(f.keyId) : std::string()));
    }
    for (const std::string& note : group.notes) line("    note: " + note);
  }
}

std::string Plural(std::size_t count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

void PrintFleet(const Fleet& fleet, std::FILE* out) {
  Lines line(out);
  line("Fleet of " + Plural(fleet.BundlesRead(), "bundle") + ": " + Plural(fleet.Machines().size(), "machine") + " (" +
       Plural(fleet.Repeated().size(), "machine") + " bundled more than once), " +
       Plural(fleet.Refused().size(), "bundle") + " not used");
  if (fleet.ComparabilityGroups().size() > 1) {
    std::string groups;
    for (const auto& group : fleet.ComparabilityGroups())
      groups += (groups.empty() ? "" : "; ") + GroupOf(group.first) + ": " + Plural(group.second, "machine");
    line("Bundles that cannot be compared with each other, so no value is matched across their groups (" + groups +
         (fleet.ComparabilityGroups().count("?") ? "; each redacted without a key id a group of its own" : "") + ")");
  }
  if (!fleet.Machines().empty() && fleet.SharedUuids().empty() && fleet.SharedChecksums().empty() &&
      fleet.SharedAddresses().empty())
    line("No two machines share a BIOS UUID, a table checksum or an identity address");
  PrintShared(fleet, fleet.SharedUuids(), "Machines sharing a BIOS UUID",
              "the agent's server takes them for one machine", line);
  PrintShared(fleet, fleet.SharedChecksums(), "Machines sharing a table checksum",
              "the same firmware table: cloned, or the same model with nothing to tell them apart", line);
  PrintShared(fleet, fleet.SharedAddresses(), "Machines sharing an identity address",
              "the address the agent identifies the machine by", line);
  if (!fleet.Repeated().empty()) {
    line("");
    line("Machines bundled more than once (counted once, by the newest bundle):");
    for (const RepeatedBundles& repeated : fleet.Repeated()) {
      std::string bundles;
      for (const std::string& bundle : repeated.bundles) bundles += (bundles.empty() ? "" : ", ") + bundle;
      line("  " + repeated.machineName + ": " + bundles);
      for (const std::string& note : repeated.notes) line("    note: " + note);
    }
  }
  for (const Drift& drift : fleet.Drifts()) {
    const S::SettingRow& row = S::Setting(drift.row);
    line("");
    line(std::string(row.list ? "Server list " : "Setting ") + row.name + " (" + row.key +
         "): " + fleet.Value(drift.majority).excerpt + " on " +
         Plural(fleet.Machines().size() - drift.machines.size(), "machine") + "; another value on " +
         Plural(drift.machines.size(), "machine") + ":");
    for (std::size_t i : drift.machines) {
      const FleetMachine& machine = fleet.Machines()[i];
      line("  " + Named(machine.identity) + ": " + fleet.Value(machine.values[drift.row]).excerpt + " (" +
           machine.origins[drift.row] + ")");
    }
  }
  const auto list = [&line](const char* title, const std::vector<std::pair<std::string, std::string>>& entries) {
    if (entries.empty()) return;
    line("");
    line(title);
    for (const auto& entry : entries) line("  " + entry.first + (entry.second.empty() ? "" : ": " + entry.second));
  };
  std::vector<std::pair<std::string, std::string>> withoutDigest;
  for (const std::string& bundle : fleet.WithoutDigest()) withoutDigest.emplace_back(bundle, "");
  list("Bundles without a digest (made by an earlier quarncfg, or the digest removed: an edit cannot be seen):",
       withoutDigest);
  list("Bundles not used:", fleet.Refused());
  list("Passed over (not read):", fleet.Skipped());
}

void WriteFleetJson(const Fleet& fleet, std::FILE* out) {
  Json refused = Json::array(), skipped = Json::array();
  for (const auto& entry : fleet.Refused())
    refused.push_back(Json{{"file", JsonTextOf(entry.first)}, {"error", JsonTextOf(entry.second)}});
  for (const auto& entry : fleet.Skipped())
    skipped.push_back(Json{{"path", JsonTextOf(entry.first)}, {"reason", JsonTextOf(entry.second)}});
  Json repeated = Json::array();
  for (const RepeatedBundles& entry : fleet.Repeated()) {
    Json bundles = Json::array();
    for (const std::string& bundle : entry.bundles) bundles.push_back(JsonTextOf(bundle));
    repeated.push_back(Json{{"machine_name", JsonTextOf(entry.machineName)},
                            {"bios_uuid", TextOrNull(entry.uuid)},
                            {"table_checksum", TextOrNull(entry.checksum)},
                            {"bundles", bundles},
                            {"notes", entry.notes}});
  }
  Json drift = Json::array();
  for (const Drift& entry : fleet.Drifts()) {
    Json machines = Json::array();
    for (std::size_t i : entry.machines) {
      const FleetMachine& machine = fleet.Machines()[i];
      Json one = MachineJson(machine.identity);
      one["value"] = ValueJson(fleet.Value(machine.values[entry.row]).excerpt);
      one["origin"] = machine.origins[entry.row];
      machines.push_back(std::move(one));
    }
    drift.push_back(Json{{"setting", S::Setting(entry.row).name},
                         {"majority", ValueJson(fleet.Value(entry.majority).excerpt)},
                         {"machines", machines}});
  }
  Json groups = Json::array();
  for (const auto& group : fleet.ComparabilityGroups())
    groups.push_back(Json{{"redacted", !group.first.empty()},
                          {"key_id", group.first.empty() || group.first == "?" ? Json() : Json(group.first)},
                          {"machines", group.second}});
  Json withoutDigest = Json::array();
  for (const std::string& bundle : fleet.WithoutDigest()) withoutDigest.push_back(JsonTextOf(bundle));
  const Json document{{"schema_version", Report::kSchemaVersion},
                      {"bundles", Json{{"read", fleet.BundlesRead()},
                                       {"refused", refused},
                                       {"skipped", skipped},
                                       {"without_digest", withoutDigest}}},
                      {"comparability_groups", groups},
                      {"machines", fleet.Machines().size()},
                      {"shared_identities", SharedJson(fleet, fleet.SharedUuids())},
                      {"shared_checksums", SharedJson(fleet, fleet.SharedChecksums())},
                      {"shared_identity_addresses", SharedJson(fleet, fleet.SharedAddresses())},
                      {"repeated_bundles", repeated},
                      {"drift", drift}};
  const std::string text = TerminalSafeJson(document.dump(2)) + "\n";
  std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace quarn_tools

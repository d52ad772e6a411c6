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

Json MachineJson(const MachineIdentity& facts) {
  return Json{{"bundle", JsonTextOf(facts.bundle)},
              {"machine_name", facts.machineName.empty() ? Json() : Json(JsonTextOf(facts.machineName))},
              {"identity_address", facts.identityAddress.empty() ? Json() : Json(facts.identityAddress)},
              {"hypervisor", facts.hypervisor.empty() ? Json() : Json(JsonTextOf(facts.hypervisor))},
              {"smbios_version", facts.smbiosVersion.empty() ? Json() : Json(facts.smbiosVersion)},
              {"made_at", JsonTextOf(facts.madeAt)}};
}

Json SharedJson(const Fleet& fleet, const std::vector<SharedValue>& groups) {
  Json list = Json::array();
  for (const SharedValue& group : groups) {
    Json machines = Json::array();
    for (std::size_t i : group.machines) machines.push_back(MachineJson(fleet.Machines()[i].facts));
    list.push_back(
        Json{{"value", JsonTextOf(group.value)}, {"placeholder", group.placeholder}, {"machines", machines}});
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
      const MachineIdentity& facts = fleet.Machines()[i].facts;
      line("    " + Named(facts) + ": identity address " +
           (facts.identityAddress.empty() ? std::string("none") : facts.identityAddress) + ", hypervisor " +
           (facts.hypervisor.empty() ? std::string("none") : facts.hypervisor) + ", SMBIOS " +
           (facts.smbiosVersion.empty() ? std::string("none") : facts.smbiosVersion) + ", made " + facts.madeAt);
    }
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
  if (fleet.SharedUuids().empty() && fleet.SharedChecksums().empty() && fleet.SharedAddresses().empty())
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
      line("  " + Named(machine.facts) + ": " + fleet.Value(machine.values[drift.row]).excerpt + " (" +
           machine.origins[drift.row] + ")");
    }
  }
  if (!fleet.Refused().empty()) {
    line("");
    line("Bundles not used:");
    for (const auto& refused : fleet.Refused()) line("  " + refused.first + ": " + refused.second);
  }
}

void WriteFleetJson(const Fleet& fleet, std::FILE* out) {
  Json refused = Json::array();
  for (const auto& entry : fleet.Refused())
    refused.push_back(Json{{"file", JsonTextOf(entry.first)}, {"error", JsonTextOf(entry.second)}});
  Json repeated = Json::array();
  for (const RepeatedBundles& entry : fleet.Repeated()) {
    Json bundles = Json::array();
    for (const std::string& bundle : entry.bundles) bundles.push_back(JsonTextOf(bundle));
    repeated.push_back(Json{{"machine_name", JsonTextOf(entry.machineName)},
                            {"bios_uuid", entry.uuid.empty() ? Json() : Json(entry.uuid)},
                            {"table_checksum", entry.checksum.empty() ? Json() : Json(entry.checksum)},
                            {"bundles", bundles}});
  }
  Json drift = Json::array();
  for (const Drift& entry : fleet.Drifts()) {
    Json machines = Json::array();
    for (std::size_t i : entry.machines) {
      const FleetMachine& machine = fleet.Machines()[i];
      machines.push_back(Json{
          {"bundle", JsonTextOf(machine.facts.bundle)},
          {"machine_name", machine.facts.machineName.empty() ? Json() : Json(JsonTextOf(machine.facts.machineName))},
          {"value", ValueJson(fleet.Value(machine.values[entry.row]).excerpt)},
          {"origin", machine.origins[entry.row]}});
    }
    drift.push_back(Json{{"setting", S::Setting(entry.row).name},
                         {"majority", ValueJson(fleet.Value(entry.majority).excerpt)},
                         {"machines", machines}});
  }
  const Json document{{"schema_version", Report::kSchemaVersion},
                      {"bundles", Json{{"read", fleet.BundlesRead()}, {"refused", refused}}},
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

#include "support/FleetBundles.h"

#include <nlohmann/json.hpp>

#include "bundle/Bundle.h"
#include "bundle/Redact.h"
#include "bundle/Replay.h"
#include "report/Sections.h"

namespace quarn_test {
namespace {

using Bytes = std::vector<unsigned char>;

// A System Information structure (SMBIOS 2.7: 27 bytes formatted) and the
// end of the table.
Bytes TableOf(const FleetMachinePlan& plan) {
  Bytes table = {1, 27, 0x01, 0x00, 1, 2, 3, 4};  // maker, product, version, serial: strings 1 to 4
  table.insert(table.end(), plan.uuid.begin(), plan.uuid.end());
  table.insert(table.end(), {6, 0, 0});
  for (const std::string& text :
       {std::string("Made-up Maker"), std::string("Model 7"), std::string("1.0"), plan.serial}) {
    table.insert(table.end(), text.begin(), text.end());
    table.push_back(0);
  }
  table.push_back(0);
  table.insert(table.end(), {127, 4, 0x02, 0x00, 0, 0});
  return table;
}

std::string BlockOf(const Bytes& table, unsigned char minor) {
  const std::size_t size = table.size();
  std::string block = {0, 2, static_cast<char>(minor), 0, static_cast<char>(size), static_cast<char>(size >> 8), 0, 0};
  block.append(table.begin(), table.end());
  return block;
}

}  // namespace

std::array<unsigned char, 16> UuidOf(unsigned seed) {
  std::array<unsigned char, 16> uuid{};
  for (std::size_t i = 0; i < uuid.size(); ++i)
    uuid[i] = static_cast<unsigned char>((seed >> (8 * (i % 4))) + 17 * i + 1);
  return uuid;
}

quarn_tools::MachineRecord FleetMachineRecord(const FleetMachinePlan& plan) {
  quarn_tools::MachineRecord record;
  record.madeBy = "quarncfg 1.0.0";
  record.libraryVersion = "1.0.0";
  record.madeAt = plan.madeAt;
  record.executableDir = plan.executableDir;
  record.globalCfgState = "existed";
  record.settingsFile = {"/opt/quarn/client/bin/conf/cli_config.ini", quarn_tools::CheckedFile::Status::kRead,
                         plan.settings};
  record.overrideFile = {"/opt/quarn/globalcfg/domaincfg.ini", quarn_tools::CheckedFile::Status::kMissing, ""};
  record.updaterVersionRecord = {"/opt/quarn/quarn_update/cur_version.txt", quarn_tools::CheckedFile::Status::kMissing,
                                 ""};
  record.machineNameKnown = true;
  record.machineName = plan.name;
  record.localAddresses = plan.addresses;
  record.firmware.firmwareService = true;
  record.firmware.blockGiven = plan.block != "none";
  record.firmware.block = plan.block.empty()     ? BlockOf(TableOf(plan), plan.smbiosMinor)
                          : plan.block == "none" ? ""
                                                 : plan.block;
  if (!record.firmware.blockGiven) record.firmware.blockDiagnostic = "no table";
  quarn_tools::RecordAnswers answers(record);
  quarn_tools::Report report;
  quarn_tools::AddSections(report, answers);
  record.report = report.Canonical();
  return record;
}

std::string FleetBundleText(const FleetMachinePlan& plan, const std::string& redactionKey, const std::string& keyId) {
  quarn_tools::MachineRecord record = FleetMachineRecord(plan);
  if (!redactionKey.empty()) {
    quarn_tools::RedactRecord(record, redactionKey, true);
    if (keyId == kWithoutKeyId)
      record.redaction.erase("key_id");
    else if (!keyId.empty())
      record.redaction["key_id"] = keyId;
  }
  if (plan.digest) return quarn_tools::WriteBundle(record);
  nlohmann::ordered_json bundle = nlohmann::ordered_json::parse(quarn_tools::WriteBundle(record));
  bundle.erase("content_sha256");
  return bundle.dump();
}

}  // namespace quarn_test

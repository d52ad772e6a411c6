#include "fleet/MachineFacts.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/Crypto.h"
#include "bundle/LiveAnswers.h"
#include "bundle/Replay.h"
#include "bundle/RuleAnswers.h"
#include "hwinfo/SmbiosAcquisition.h"
#include "report/Sections.h"
#include "report/SettingJson.h"

namespace quarn_tools {
namespace {

namespace S = quarn::settings;

// A value this long is shown by its first bytes.
const std::size_t kMostShownBytes = 80;

// A text field of the replayed report, its JSON text read back; "" where it
// is null or absent.
std::string TextField(const CanonicalReport& report, const char* section, const char* field) {
  const auto found = report.sections.find(section);
  if (found == report.sections.end()) return std::string();
  const auto value = found->second.find(field);
  if (value == found->second.end() || value->second.empty() || value->second[0] != '"') return std::string();
  const nlohmann::json text = nlohmann::json::parse(value->second, nullptr, false);
  return text.is_string() ? text.get<std::string>() : std::string();
}

// A setting's value may hold bytes of the machine's code page, no UTF-8:
// shown with each such byte replaced, told apart by all its bytes.
FactValue ValueOf(const nlohmann::ordered_json& setting, const char* origin) {
  FactValue value;
  Sha256 digest;
  const std::vector<std::uint8_t> exact = nlohmann::ordered_json::to_cbor(setting);
  digest.Add(std::string(exact.begin(), exact.end()));
  value.digest = digest.Finish().substr(0, 16);
  const std::string json = setting.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  value.excerpt = json.size() <= kMostShownBytes ? json : json.substr(0, kMostShownBytes) + "...";
  value.origin = origin;
  return value;
}

// Each setting as the library reads the recorded files: its value as the
// report writes it, and where it came from (a list that the override file
// leads says so).
void SettingsFacts(RecordAnswers& answers, MachineFacts& facts) {
  const S::SettingsRecord& record = answers.Settings().record;
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    const S::SettingRow& row = S::Setting(r);
    const char* origin = S::OriginName(record.origin[r]);
    facts.settings[r] = ValueOf(SettingJson(record, row), origin);
  }
}

// The checksum the library sends when it reads no table: that of its
// zeroed buffer.
const std::string& NoTableChecksum() {
  static const std::string text = [] {
    const std::vector<unsigned char> zeros(quarn::smbios::kTableBufferBytes, 0);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", LibraryChecksum(zeros.data(), zeros.size()));
    return std::string(hex);
  }();
  return text;
}

std::string KeyIdOf(const MachineRecord& record) {
  if (!record.redacted) return std::string();
  const nlohmann::json& redaction = record.redaction;
  const bool known = redaction.is_object() && redaction.contains("key_id") && redaction.at("key_id").is_string() &&
                     !redaction.at("key_id").empty();
  return known ? redaction.at("key_id").get<std::string>() : std::string("?");
}

std::string AddressesOf(std::vector<std::string> addresses) {
  std::sort(addresses.begin(), addresses.end());
  std::string text;
  for (const std::string& address : addresses) text += (text.empty() ? "" : " ") + address;
  return text;
}

}  // namespace

bool IsPlaceholderAddress(const std::string& address) {
  return address.empty() || address == "0.0.0.0" || address.rfind("127.", 0) == 0;
}

bool FactsOfBundle(const std::string& path, MachineFacts& facts, std::string& error) {
  MachineRecord record;
  if (!ReadBundleFile(path, record, error)) return false;
  if (record.digestRecorded && !record.digestMatches) {
    error = "changed after it was made: its content no longer matches the digest recorded then";
    return false;
  }
  RecordAnswers answers(record);
  Report report;
  AddSections(report, answers);
  const CanonicalReport replayed = report.Canonical();
  for (const ReplayDifference& difference : CompareReplay(record.report, replayed, record.redacted))
    if (difference.why.empty()) {
      error = "its replay differs from its recorded report at " + difference.field;
      return false;
    }
  MachineIdentity& identity = facts.identity;
  identity.bundle = path;
  identity.redacted = record.redacted;
  identity.keyId = KeyIdOf(record);
  identity.digestRecorded = record.digestRecorded;
  identity.machineName = record.machineNameKnown ? record.machineName : std::string();
  identity.madeAt = record.madeAt;
  identity.uuid = TextField(replayed, "hardware", "bios_uuid");
  identity.dmtfUuid = TextField(replayed, "hardware", "dmtf_uuid");
  identity.placeholder = TextField(replayed, "hardware", "uuid_placeholder");
  identity.checksum = TextField(replayed, "hardware", "table_checksum");
  identity.noTable = identity.checksum == NoTableChecksum();
  identity.identityAddress = TextField(replayed, "network", "identity_address");
  identity.localAddresses = AddressesOf(record.localAddresses);
  identity.addressed = !IsPlaceholderAddress(identity.identityAddress) ||
                       std::any_of(record.localAddresses.begin(), record.localAddresses.end(),
                                   [](const std::string& address) { return !IsPlaceholderAddress(address); });
  identity.executableDir = record.executableDir;
  identity.hypervisor = TextField(replayed, "hardware", "hypervisor_signature");
  identity.smbiosVersion = TextField(replayed, "hardware", "smbios_version");
  SettingsFacts(answers, facts);
  return true;
}

}  // namespace quarn_tools

#include "bundle/Redact.h"

#include <algorithm>
#include <set>

#include "bundle/Pseudonyms.h"
#include "bundle/RedactTable.h"
#include "bundle/Replay.h"
#include "hwinfo/SmbiosParsing.h"
#include "report/Sections.h"
#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

using Json = nlohmann::json;

const char kLogField[] = "library_log";
const char kObjectField[] = "library_object_made";

// The report the replay makes of a record, every section.
CanonicalReport ReplayedReport(const MachineRecord& record) {
  RecordAnswers answers(record);
  Report report;
  AddSections(report, answers);
  LibraryOutput output;
  output.text = answers.Printed();
  AddDiagnostics(report, output, "yes");
  return report.Canonical();
}

bool SameValue(const std::string& a, const std::string& b) {
  return a == b || Json::parse(a, nullptr, false) == Json::parse(b, nullptr, false);
}

// The log lines of the process that made the bundle: the library's own
// messages stay, the paths in them as the paths were redacted; any other
// line is replaced word by word.
std::string RedactLogLines(const std::string& lines, const std::vector<std::pair<std::string, std::string>>& prefixes,
                           const Pseudonyms& pseudonyms, RedactionLog& log) {
  static const char* const kMessages[] = {"load config error: ", "get uuid failed!", "catch GetMachineUuid error",
                                          "catch GetBiosHash error", "catch CQuarnConfig::GetWinVersion error"};
  Json value = Json::parse(lines, nullptr, false);
  if (!value.is_array()) return "[]";
  std::vector<std::pair<std::string, std::string>> utf8;
  utf8.reserve(prefixes.size());
  for (const auto& prefix : prefixes) utf8.emplace_back(JsonTextOf(prefix.first), JsonTextOf(prefix.second));
  for (Json& line : value) {
    const std::string text = line.is_string() ? line.get<std::string>() : line.dump();
    bool known = false;
    for (const char* message : kMessages) known = known || text.find(message) != std::string::npos;
    std::string made = ReplacePrefixes(text, utf8);
    if (!known) made = pseudonyms.Reshaped(made);
    log.Replaced("library log lines", made != text);
    line = made;
  }
  return value.dump();
}

// Each field of the recorded report made again from the redacted inputs,
// where the replay of the plain record gave it as recorded; one that it did
// not give so is no value of the redacted machine's, and says so (the
// replay of the redacted bundle then shows the difference, as the plain one
// did).
void RederiveReport(CanonicalReport& recorded, const CanonicalReport& before, const CanonicalReport& after,
                    const std::vector<std::pair<std::string, std::string>>& prefixes, const Pseudonyms& pseudonyms,
                    RedactionLog& log) {
  const std::string differed = "\"(differed from the replay where the bundle was made; not carried)\"";
  for (auto& section : recorded.sections)
    for (auto& field : section.second) {
      if (field.first == kObjectField) continue;
      if (field.first == kLogField) {
        field.second = RedactLogLines(field.second, prefixes, pseudonyms, log);
        continue;
      }
      const auto was = before.sections.find(section.first), is = after.sections.find(section.first);
      const bool same = was != before.sections.end() && was->second.count(field.first) &&
                        SameValue(was->second.at(field.first), field.second);
      if (same && is != after.sections.end() && is->second.count(field.first)) {
        field.second = is->second.at(field.first);
      } else {
        field.second = differed;
        log.Replaced("report fields that differed from the replay where the bundle was made");
      }
    }
  for (auto& member : recorded.members) {
    const auto was = before.members.find(member.first), is = after.members.find(member.first);
    const bool same = was != before.members.end() && SameValue(was->second, member.second);
    member.second = same && is != after.members.end() ? is->second : differed;
  }
}

// The host's and the installation's texts.
std::vector<std::pair<std::string, std::string>> RedactMachine(MachineRecord& record, const Pseudonyms& pseudonyms,
                                                               const std::vector<std::string>& otherPaths,
                                                               RedactionLog& log) {
  if (!record.machineName.empty()) {
    record.machineName = pseudonyms.MachineName(record.machineName);
    log.Replaced("machine name");
  }
  for (std::string& address : record.localAddresses) {
    const std::string made = pseudonyms.Address(address);
    if (made == address) log.Keep("local address", address, "loopback or broadcast: the same on every machine");
    log.Replaced("local addresses", made != address);
    address = made;
  }
  // The service pack's text is kept to its end; what the system left after
  // it in the buffer is no value.
  char* servicePack = record.windowsVersion.servicePack;
  char* const packEnd = servicePack + sizeof record.windowsVersion.servicePack;
  const std::size_t packLength = static_cast<std::size_t>(std::find(servicePack, packEnd, '\0') - servicePack);
  std::fill(servicePack + packLength, packEnd, '\0');
  const quarn::sys::WindowsVersionInfo& v = record.windowsVersion;
  log.Keep("Windows version",
           std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build) + " \"" +
               std::string(servicePack, packLength) + "\", platform " + std::to_string(v.platformId) + ", product " +
               std::to_string(v.productCode),
           "the system's release, the same on every machine that runs it");
  log.Keep("hypervisor's CPUID leaves", std::to_string(record.firmware.cpuid.size()) + " leaves",
           "the hypervisor's make, the same on every machine under it");
  PathRedaction paths(pseudonyms, record.pathStyle, log);
  for (const std::string& path : otherPaths) paths.Path(path);
  record.executableDir = paths.Path(record.executableDir);
  for (RecordedFile* file : {&record.settingsFile, &record.overrideFile, &record.updaterVersionRecord})
    file->path = paths.Path(file->path);
  auto prefixes = paths.Prefixes();
  record.notMadeBecause = ReplacePrefixes(record.notMadeBecause, prefixes);
  std::map<std::string, std::string> servers;
  record.settingsFile.content = RedactSettingsText(record.settingsFile.content, pseudonyms, servers, log);
  record.overrideFile.content = RedactSettingsText(record.overrideFile.content, pseudonyms, servers, log);
  record.updaterVersionRecord.content = RedactUpdaterRecord(record.updaterVersionRecord.content, pseudonyms, log);
  return prefixes;
}

void RedactHardware(MachineRecord& record, const Pseudonyms& pseudonyms, RedactionLog& log) {
  TableRedaction done;
  RedactFirmware(record.firmware, pseudonyms, done);
  log.Replaced("SMBIOS strings (a placeholder of the same length)", done.stringsReplaced);
  log.Replaced("SMBIOS bytes outside the allow-list (zeroed)", done.bytesZeroed);
  log.Replaced("BIOS UUID", done.uuidsReplaced);
  for (const auto& kept : done.kept) log.Keep(kept.first->what, kept.second, kept.first->why);
  const quarn::smbios::HardwareIdentity identity = RecordAnswers(record).Hardware().identity;
  if (identity.placeholder)
    log.Keep("BIOS UUID", identity.agentUuid,
             std::string(identity.placeholder) + ": the same on every machine with it");
  log.Keep("SMBIOS structures", std::to_string(done.structures),
           "each structure's type, length and handle and where its strings lie: what the library walks");
}

Json Summary(bool keyGiven, const Pseudonyms& pseudonyms, const RedactionLog& log) {
  Json replaced = Json::array(), kept = Json::array();
  for (const auto& kind : log.replaced) replaced.push_back(kind.first + ": " + std::to_string(kind.second));
  std::set<std::string> fields;
  for (const RedactionLog::Kept& value : log.kept)
    if (fields.insert(value.field).second) kept.push_back(value.field + " (" + value.why + ")");
  kept.push_back("the SMBIOS version and the firmware block's header (the table's form)");
  return Json{
      {"key_id", pseudonyms.KeyId()},
      {"key", keyGiven ? "given (--redact-key): the same value has the same pseudonym in every bundle made with it"
                       : "made for this bundle alone: its pseudonyms match no other bundle's"},
      {"replaced", replaced},
      {"kept", kept}};
}

}  // namespace

RedactionLog RedactRecord(MachineRecord& record, const std::string& key, bool keyGiven,
                          const std::vector<std::string>& otherPaths) {
  const Pseudonyms pseudonyms(key, record.pathStyle);
  RedactionLog log;
  const CanonicalReport before = ReplayedReport(record);
  const auto prefixes = RedactMachine(record, pseudonyms, otherPaths, log);
  RedactHardware(record, pseudonyms, log);
  RederiveReport(record.report, before, ReplayedReport(record), prefixes, pseudonyms, log);
  record.redacted = true;
  record.redaction = Summary(keyGiven, pseudonyms, log);
  return log;
}

}  // namespace quarn_tools

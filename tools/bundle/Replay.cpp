#include "bundle/Replay.h"

#include "bundle/LiveAnswers.h"
#include "bundle/RecordedFirmware.h"
#include "bundle/RuleAnswers.h"
#include "bundle/StylePaths.h"
#include "config/AddressRules.h"
#include "config/WindowsDescription.h"
#include "hwinfo/Hypervisor.h"
#include "hwinfo/SmbiosAcquisition.h"
#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

using Json = nlohmann::json;

CheckedFile Checked(const RecordedFile& file, const char* label) {
  CheckedFile checked;
  checked.path = file.path;
  checked.label = label;
  checked.status = file.status;
  checked.content = file.content;
  return checked;
}

}  // namespace

RecordAnswers::RecordAnswers(const MachineRecord& record) : m_record(record) {
  const StylePaths paths(record.pathStyle);
  m_places = quarn::layout::DerivePlaces(record.executableDir, paths);
  m_files.settings = Checked(record.settingsFile, quarn::layout::kSettingsFileName);
  m_files.overrides = Checked(record.overrideFile, quarn::layout::kOverrideFileName);
  m_files.updaterRecord = Checked(record.updaterVersionRecord, quarn::layout::kUpdateVersionFileName);
  m_files.updaterDirExists = record.updaterDirExists;
  m_files.updaterExecutableSize = record.updaterExecutableSize;
}

InstallationAnswers RecordAnswers::Installation() {
  InstallationAnswers answers;
  answers.places = m_places;
  GlobalCfgStateFromName(m_record.globalCfgState, answers.globalCfgState);
  return answers;
}

const SettingsAnswers& RecordAnswers::Settings() {
  if (!m_settings) m_settings.reset(new SettingsAnswers(SettingsOfFiles(m_files)));
  return *m_settings;
}

ServersAnswers RecordAnswers::Servers() {
  ServersAnswers answers;
  Settings();
  answers.settings = TakeServerLists(m_settings->record);
  answers.notResolvedBecause = "a bundle records no name lookups";
  return answers;
}

// The service address is set by the agent's processes: a process that set
// none has none.
NetworkAnswers RecordAnswers::Network() {
  NetworkAnswers answers;
  answers.local = m_record.localAddresses;
  answers.usable = quarn::UsableAddresses(answers.local);
  answers.identity = quarn::ChooseIdentityIp(answers.local);
  return answers;
}

HostAnswers RecordAnswers::Host() {
  HostAnswers answers;
  if (m_record.machineNameKnown) answers.machineName = m_record.machineName;
  if (!quarn::AppendWindowsDescription(m_record.windowsVersion, answers.system)) answers.system.clear();
  answers.platformTag = quarn::PlatformTag(answers.system, m_record.system64Bit);
  answers.info = m_record.windowsVersion;
  answers.real = m_record.trueWindowsVersion;
  answers.x64 = m_record.system64Bit;
  return answers;
}

// The library's getters each read the table: so does the replay, and what
// they print is kept for Diagnostics. No caller has set a uuid there, and
// the library has no VM id.
HardwareAnswers RecordAnswers::Hardware() {
  HardwareAnswers answers;
  RecordedFirmware firmware(m_record.firmware);
  answers.source = quarn::smbios::DescribeTableSource(firmware);
  answers.signature = quarn::smbios::HypervisorSignature(firmware);
  answers.xenOrMicrosoft = quarn::smbios::IsXenOrMicrosoftSignature(answers.signature);
  const quarn::smbios::TableBuffer forUuid = quarn::smbios::FetchTableBuffer(firmware, &m_printed);
  // The version a table of the firmware-table service brings; none for one
  // found in memory (the process holds none before).
  answers.versionNumber = forUuid.delivered > 0 && forUuid.versionNumber >= 0 ? forUuid.versionNumber : 0;
  answers.identity = quarn::smbios::IdentifyTable({forUuid.bytes.data(), forUuid.bytes.size(), forUuid.delivered},
                                                  {answers.versionNumber, answers.xenOrMicrosoft},
                                                  answers.source.Version(), LibraryChecksum);
  const quarn::smbios::TableBuffer forHash = quarn::smbios::FetchTableBuffer(firmware, &m_printed);
  answers.identity.checksum = LibraryChecksum(forHash.bytes.data(), forHash.bytes.size());
  return answers;
}

VersionsAnswers RecordAnswers::Versions() {
  VersionsAnswers answers = VersionsOfFiles(m_files, m_places, Settings().record);
  // The program that asked there, where one of the installation did.
  answers.clientDetailKnown = !m_record.installationFromRules;
  if (answers.clientDetailKnown)
    answers.clientDetail = quarn::layout::VersionDetail(answers.clientVersion, m_record.callingProgramSize);
  answers.updaterPidKnown = m_record.notMadeBecause.empty();  // what the object saw there
  answers.updaterPid = m_record.updaterPid;
  answers.updaterPidUnknownBecause = m_record.notMadeBecause;
  return answers;
}

const std::vector<std::pair<std::string, std::string>>& ProcessFields() {
  static const std::vector<std::pair<std::string, std::string>> fields = {
      {"/diagnostics/library_object_made", "the replay makes no library object: it runs the library's rules"},
      {"/diagnostics/library_log", "the log lines of the process that made the bundle are its own"},
  };
  return fields;
}

namespace {

const char kAbsent[] = "\"(absent)\"";

// Whether two canonical texts are the same value: the same text, or, for
// values small enough to read again, the same once read (a number written
// 25 by one quarncfg and 25.0 by another).
bool SameValue(const std::string& a, const std::string& b) {
  const std::size_t kMostReadAgain = std::size_t{64} << 10;
  if (a == b) return true;
  if (a.size() > kMostReadAgain || b.size() > kMostReadAgain) return false;
  return Json::parse(a, nullptr, false) == Json::parse(b, nullptr, false);
}

std::string WhyItDiffers(const std::string& field, bool redacted) {
  if (redacted && field == "/hardware/table_checksum")
    return "the bundle is redacted: the checksum recorded is a pseudonym of the machine's, and the replay's is of "
           "the table with its identifying strings replaced";
  if (field == "/schema_version") return "the report was written by another version of quarncfg";
  return std::string();
}

}  // namespace

std::vector<ReplayDifference> CompareReplay(const CanonicalReport& recorded, const CanonicalReport& replayed,
                                            bool redacted) {
  std::vector<ReplayDifference> differences;
  const auto isProcessField = [](const std::string& field) {
    for (const auto& process : ProcessFields())
      if (process.first == field) return true;
    return false;
  };
  const auto compare = [&](const std::string& field, const std::string& was, const std::string& is) {
    if (isProcessField(field) || SameValue(was, is)) return;
    differences.push_back({field, was, is, WhyItDiffers(field, redacted)});
  };
  static const std::map<std::string, std::string> kNoFields;
  for (const auto& section : replayed.sections) {
    const auto found = recorded.sections.find(section.first);
    const std::map<std::string, std::string>& was = found == recorded.sections.end() ? kNoFields : found->second;
    const std::string top = "/" + PointerStep(section.first);
    for (const auto& field : section.second) {
      const auto old = was.find(field.first);
      compare(top + "/" + PointerStep(field.first), old == was.end() ? kAbsent : old->second, field.second);
    }
    for (const auto& field : was)
      if (!section.second.count(field.first)) compare(top + "/" + PointerStep(field.first), field.second, kAbsent);
  }
  for (const auto& member : replayed.members) {
    const auto old = recorded.members.find(member.first);
    compare("/" + PointerStep(member.first), old == recorded.members.end() ? kAbsent : old->second, member.second);
  }
  return differences;
}

}  // namespace quarn_tools

#include "bundle/LiveAnswers.h"

#include "bundle/RuleAnswers.h"

#include "config/AddressRules.h"
#include "config/QuarnConfig.h"
#include "config/platform/HostPlatform.h"
#include "hwinfo/Hypervisor.h"
#include "hwinfo/SmbiosAcquisition.h"
#include "util/AlgorithmUtil.h"
#include "util/FileUtil.h"
#include "util/ToolUtil.h"

namespace quarn_tools {
namespace {

// The places as the object's getters answer them.
quarn::layout::Places PlacesOf(CQuarnConfig& config) {
  quarn::layout::Places places;
  places.executableDir = config.GetCurrentDir();
  places.clientDir = config.GetClientDir();
  places.root = config.GetQuarnDir();
  places.confDir = config.GetClientConfDir();
  places.configFile = config.GetConfigFilePath();
  places.dataDir = config.GetClientDataDir();
  places.globalCfg = config.GetGlobalCfgDir();
  places.overrideFile = quarn::layout::OverrideFilePath(places.globalCfg);
  places.updateDir = config.GetUpdateDir();
  places.updateExeName = config.GetUpdateExeName();
  places.updateExe = config.GetUpdateExePath();
  places.updatePidFile = config.GetUpdatePidFilePath();
  places.updateCommandFile = config.GetUpCmdFilePath();
  places.updateVersionFile = config.GetUpdateVersionFilePath();
  return places;
}

std::vector<std::string> AddressesOf(CQuarnConfig& config, const std::vector<std::string>& servers) {
  std::vector<std::string> addresses;
  addresses.reserve(servers.size());
  for (const std::string& server : servers) addresses.push_back(config.GetIpByDomain(server));
  return addresses;
}

}  // namespace

unsigned LibraryChecksum(const unsigned char* data, std::size_t size) {
  return kqt::CAlgorithmUtil::GetCRC(data, static_cast<unsigned int>(size));
}

InspectionPlan PlanInspection(const std::string& executableDir, bool elsewhere, bool noCreate, bool resolveServers) {
  InspectionPlan plan;
  plan.resolveServers = resolveServers;
  const std::string ownDir = kqt::CToolUtil::GetApplicationDirPath();
  const quarn::layout::Places own = quarn::layout::DerivePlaces(ownDir);
  const bool ownWouldCreate = quarn::layout::ConstructionCreatesGlobalCfg(ownDir, own);
  if (ownWouldCreate && (noCreate || elsewhere))
    plan.notMadeBecause = "making it would create " + own.globalCfg +
                          (elsewhere ? " beside this program (--installation)" : " (--no-create)");
  plan.executableDir = executableDir;
  plan.places = quarn::layout::DerivePlaces(executableDir);
  plan.fromRules = elsewhere || !plan.notMadeBecause.empty();
  if (plan.fromRules) plan.files = ReadInstallationFiles(plan.places);
  const bool wouldCreate =
      elsewhere ? quarn::layout::ConstructionCreatesGlobalCfg(executableDir, plan.places) : ownWouldCreate;
  plan.globalCfgState = !wouldCreate     ? GlobalCfgState::kExisted
                        : plan.fromRules ? GlobalCfgState::kWouldBeCreated
                                         : GlobalCfgState::kCreated;
  return plan;
}

InstallationAnswers LiveAnswers::Installation() {
  InstallationAnswers answers;
  answers.places = m_plan.fromRules ? m_plan.places : PlacesOf(*m_config);
  answers.globalCfgState = m_plan.globalCfgState;
  return answers;
}

InstallationFiles LiveAnswers::SettingsFiles() {
  if (m_plan.fromRules) return m_plan.files;
  // The files the object read: the same bounded read, the same reader.
  InstallationFiles files;
  files.settings = ReadCheckedFile(m_config->GetConfigFilePath(), quarn::layout::kSettingsFileName);
  files.overrides =
      ReadCheckedFile(quarn::layout::OverrideFilePath(m_config->GetGlobalCfgDir()), quarn::layout::kOverrideFileName);
  return files;
}

const SettingsAnswers& LiveAnswers::Settings() {
  if (!m_settings) m_settings.reset(new SettingsAnswers(SettingsOfFiles(SettingsFiles())));
  return *m_settings;
}

ServersAnswers LiveAnswers::Servers() {
  ServersAnswers answers;
  Settings();
  answers.settings = TakeServerLists(m_settings->record);
  answers.resolved = m_plan.resolveServers && m_config;
  if (answers.resolved) {
    for (std::size_t r = 0; r < quarn::settings::kSettingCount; ++r)
      if (quarn::settings::Setting(r).list)
        answers.addresses[r] = AddressesOf(*m_config, answers.settings.*quarn::settings::Setting(r).list);
  } else {
    answers.notResolvedBecause = m_config ? "--no-resolve" : m_plan.notMadeBecause;
  }
  return answers;
}

NetworkAnswers LiveAnswers::Network() {
  NetworkAnswers answers;
  answers.local = m_config->GetLocalIpList();
  answers.usable = m_config->GetHostArray();
  answers.identity = m_config->GetIdentityIp();
  answers.service = m_config->GetServiceIp();
  return answers;
}

HostAnswers LiveAnswers::Host() {
  HostAnswers answers;
  answers.machineName = m_config->GetMachineName();
  answers.system = m_config->GetSysInfo();
  answers.platformTag = m_config->GetPlatInfo();
  answers.info = quarn::sys::CurrentHostPlatform().WindowsVersion();
  answers.real = quarn::sys::CurrentHostPlatform().TrueWindowsVersion();
  answers.x64 = kqt::CToolUtil::IsX64System();
  return answers;
}

HardwareAnswers LiveAnswers::Hardware() {
  HardwareAnswers answers;
  quarn::sys::FirmwarePlatform& firmware = quarn::sys::CurrentFirmwarePlatform();
  answers.source = quarn::smbios::DescribeTableSource(firmware);
  answers.signature = quarn::smbios::HypervisorSignature(firmware);
  answers.xenOrMicrosoft = quarn::smbios::IsXenOrMicrosoftSignature(answers.signature);
  // The library's answers; beside them, what its identity rule says of the
  // table as this program reads it (its own reading prints nothing).
  answers.versionNumber = answers.source.blockRead ? answers.source.versionNumber : 0;
  std::string ignored;
  const quarn::smbios::TableBuffer table = quarn::smbios::FetchTableBuffer(firmware, &ignored);
  answers.identity = quarn::smbios::IdentifyTable({table.bytes.data(), table.bytes.size(), table.delivered},
                                                  {answers.versionNumber, answers.xenOrMicrosoft},
                                                  answers.source.Version(), LibraryChecksum);
  answers.identity.agentUuid = m_config->GetBiosUuid();
  answers.identity.checksum = m_config->GetBiosHash();
  answers.vmId = m_config->GetVMid();
  answers.callerUuid = m_config->GetUuid();
  return answers;
}

VersionsAnswers LiveAnswers::Versions() {
  VersionsAnswers answers;
  if (m_plan.fromRules) {
    answers = VersionsOfFiles(m_plan.files, m_plan.places, Settings().record);
  } else {
    answers.clientVersion = quarn::settings::ClientVersion(Settings().record);
    answers.updaterVersion = m_config->GetUpdateVersion();
    answers.updaterRecordPath = m_config->GetUpdateVersionFilePath();
    std::string line;
    answers.updaterRecordRead = kqt::CFileUtil::ReadLine(answers.updaterRecordPath, line);
    answers.updaterDetail = m_config->GetUpdateVerDetail();
    answers.clientDetailKnown = true;
    answers.clientDetail = m_config->GetVersionDetail();
    answers.updateServer = m_config->GetUpdateServerPreDomain();
    answers.reportUrl = m_config->GetPostSrvUrl();
    answers.downloadUrl = m_config->GetDownLoadPreUrl();
    answers.platformDownloadUrl = m_config->GetDownLoadPlatformUrl();
  }
  // The process list is the machine's: asked of the object whenever there is one.
  answers.updaterPidKnown = m_config != nullptr;
  if (m_config) answers.updaterPid = m_config->GetUpdatePid();
  answers.updaterPidUnknownBecause = m_plan.notMadeBecause;
  return answers;
}

}  // namespace quarn_tools

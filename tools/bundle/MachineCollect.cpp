#include "bundle/MachineCollect.h"

#include <ctime>

#include "bundle/InstallationFiles.h"
#include "bundle/RecordedFirmware.h"
#include "bundle/StylePaths.h"
#include "config/QuarnConfigVersion.h"
#include "config/platform/HostPlatform.h"
#include "hwinfo/Hypervisor.h"
#include "hwinfo/SmbiosAcquisition.h"
#include "util/FileCom.h"
#include "util/ProcessUtil.h"
#include "util/ToolUtil.h"

namespace quarn_tools {
namespace {

RecordedFile Recorded(const CheckedFile& file) { return RecordedFile{file.path, file.status, file.content}; }

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  char text[32] = "";
  if (const std::tm* utc = std::gmtime(&now)) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
  return text;
}

}  // namespace

PathStyleRecord SystemPathStyle() {
  PathStyleRecord style;
  style.windows = SystemPathsAreWindows();
  style.leadBytes = SystemLeadBytes();
  return style;
}

MachineRecord CollectMachine(const InspectionPlan& plan, CanonicalReport report) {
  MachineRecord record;
  record.madeBy = std::string("quarncfg ") + QUARNCONFIG_VERSION_TEXT;
  record.libraryVersion = QUARNCONFIG_VERSION_TEXT;
  record.madeAt = UtcNow();

  record.executableDir = plan.executableDir;
  record.pathStyle = SystemPathStyle();
  record.installationFromRules = plan.fromRules;
  record.globalCfgState = GlobalCfgStateName(plan.globalCfgState);
  record.notMadeBecause = plan.notMadeBecause;
  const quarn::layout::Places places = quarn::layout::DerivePlaces(plan.executableDir);
  const InstallationFiles files = ReadInstallationFiles(places);
  record.settingsFile = Recorded(files.settings);
  record.overrideFile = Recorded(files.overrides);
  record.updaterVersionRecord = Recorded(files.updaterRecord);
  record.updaterDirExists = files.updaterDirExists;
  record.updaterExecutableSize = files.updaterExecutableSize;

  // The program that asks, measured as the library measures it; the
  // updater as the library looks for it in the process list.
  kqt::CFileCom program(kqt::CToolUtil::GetApplicationFilePath());
  program.open(kqt::CFileCom::ReadOnly);
  record.callingProgramSize = static_cast<long long>(program.size());
  const std::vector<kqt::ProcessEntry> updaters =
      kqt::GetProcessUtil()->GetProcessListByName(quarn::layout::kUpdateExeName);
  record.updaterPid = updaters.empty() ? 0 : static_cast<int>(updaters.front().pid);

  quarn::sys::HostPlatform& host = quarn::sys::CurrentHostPlatform();
  record.machineNameKnown = host.HostName(record.machineName);
  if (!record.machineNameKnown) record.machineName.clear();
  record.windowsVersion = host.WindowsVersion();
  record.trueWindowsVersion = host.TrueWindowsVersion();
  record.system64Bit = kqt::CToolUtil::IsX64System();
  record.localAddresses = host.LocalIPv4Addresses();

  // Every question the library's hardware answers ask of the firmware,
  // asked once through a seam that keeps the answers.
  RecordingFirmware firmware(quarn::sys::CurrentFirmwarePlatform(), record.firmware);
  quarn::smbios::DescribeTableSource(firmware);
  quarn::smbios::HypervisorSignature(firmware);
  std::string printed;
  quarn::smbios::FetchTableBuffer(firmware, &printed);

  record.report = std::move(report);
  return record;
}

}  // namespace quarn_tools

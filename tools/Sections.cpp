#include "Sections.h"

#include <cstdio>
#include <cstring>
#include <list>

#include "RecordedFirmware.h"
#include "SettingNames.h"
#include "SettingsCheck.h"
#include "UuidForms.h"
#include "config/AddressRules.h"
#include "config/QuarnConfig.h"
#include "config/SettingsRules.h"
#include "config/UrlRules.h"
#include "config/WindowsDescription.h"
#include "config/platform/HostPlatform.h"
#include "hwinfo/Hypervisor.h"
#include "hwinfo/SmbiosAcquisition.h"
#include "hwinfo/SmbiosParsing.h"
#include "util/AlgorithmUtil.h"
#include "util/FileUtil.h"
#include "util/ToolUtil.h"

using Json = nlohmann::ordered_json;

namespace {

using quarn::layout::Places;
using State = Inspection::GlobalCfgState;

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lX", value);
  return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Each server with one address, as GetIpByDomain draws it ("" for none).
Json WithAddresses(CQuarnConfig& config, const std::vector<std::string>& servers) {
  Json list = Json::array();
  for (const std::string& server : servers)
    list.push_back({{"server", server}, {"address", config.GetIpByDomain(server)}});
  return list;
}

std::string AddressLines(const Json& list) {
  std::string shown;
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string address = list[i]["address"].get<std::string>();
    shown += (i ? "\n" : "") + std::to_string(i + 1) + ". " + list[i]["server"].get<std::string>() + " -> " +
             (address.empty() ? "(no address)" : address);
  }
  return shown.empty() ? "(none)" : shown;
}

// The places of the Installation section: the library's layout rules for
// an installation named, the object's getter for its own.
struct PlaceField {
  const char* key;
  const char* label;
  std::string Places::*place;
  std::string (CQuarnConfig::*get)();
};
const PlaceField kPlaceFields[] = {
    {"executable_directory", "Executable directory", &Places::executableDir, &CQuarnConfig::GetCurrentDir},
    {"client_directory", "Client directory", &Places::clientDir, &CQuarnConfig::GetClientDir},
    {"installation_root", "Installation root", &Places::root, &CQuarnConfig::GetQuarnDir},
    {"settings_directory", "Settings directory", &Places::confDir, &CQuarnConfig::GetClientConfDir},
    {"settings_file", "Settings file", &Places::configFile, &CQuarnConfig::GetConfigFilePath},
    {"data_directory", "Data directory", &Places::dataDir, &CQuarnConfig::GetClientDataDir},
    {"global_config_directory", "Global config directory", &Places::globalCfg, &CQuarnConfig::GetGlobalCfgDir},
    {"updater_directory", "Updater directory", &Places::updateDir, &CQuarnConfig::GetUpdateDir},
    {"updater_executable_name", "Updater executable name", &Places::updateExeName, &CQuarnConfig::GetUpdateExeName},
    {"updater_executable", "Updater executable", &Places::updateExe, &CQuarnConfig::GetUpdateExePath},
    {"updater_pid_file", "Updater pid file", &Places::updatePidFile, &CQuarnConfig::GetUpdatePidFilePath},
    {"updater_command_file", "Updater command file", &Places::updateCommandFile, &CQuarnConfig::GetUpCmdFilePath},
    {"updater_version_file", "Updater version file", &Places::updateVersionFile,
     &CQuarnConfig::GetUpdateVersionFilePath},
};

void AddInstallation(Report& report, Inspection& inspection) {
  report.Section("Installation");
  for (const PlaceField& field : kPlaceFields)
    report.Field(field.key, field.label,
                 inspection.fromRules ? inspection.places.*field.place : (inspection.config->*field.get)());
  const State state = inspection.globalCfgState;
  std::string shown = GlobalCfgStateName(state);
  if (state == State::kCreated)
    shown = "created now: the library makes it when it is missing";
  else if (state == State::kWouldBeCreated)
    shown = "missing: the library would create it when loaded here";
  else if (state == State::kMissing)
    shown = "missing: the library could not create it (a file in its place, or no right to write there)";
  report.Field("global_config_directory_state", "Global config directory state", GlobalCfgStateName(state), shown);
}

// The settings as the report shows them (named as quarncfg check names
// them), with the getter that answers each: both ways of filling the
// section give the same keys.
struct SettingField {
  quarn::settings::KeyId id;
  Json (*get)(CQuarnConfig&);
};
using K = quarn::settings::KeyId;
const SettingField kSettingFields[] = {
    {K::kInstallModule, [](CQuarnConfig& c) { return Json(c.GetInstallModule()); }},
    {K::kLogLevel, [](CQuarnConfig& c) { return Json(c.GetLogLevel()); }},
    {K::kLogMaxSize, [](CQuarnConfig& c) { return Json(c.GetLogFileMaxFile()); }},
    {K::kMaxCpuUse, [](CQuarnConfig& c) { return Json(c.GetMaxCpuUse()); }},
    {K::kMaxMemUse, [](CQuarnConfig& c) { return Json(c.GetMaxMemUse()); }},
    {K::kProtectUpdate, [](CQuarnConfig& c) { return Json(c.IsProtectUpdate()); }},
    {K::kProtectOruHids, [](CQuarnConfig& c) { return Json(c.IsProtectOruHids()); }},
    {K::kSendFile, [](CQuarnConfig& c) { return Json(c.IsSendFile()); }},
    {K::kUpdateLua, [](CQuarnConfig& c) { return Json(c.IsUpdateLua()); }},
    {K::kConnectBeta, [](CQuarnConfig& c) { return Json(c.IsConnectToBetaServerEnabeld()); }},
    {K::kVmCrashCheck, [](CQuarnConfig& c) { return Json(c.IsVmCrashCheckEnabled()); }},
    {K::kVelseEnable, [](CQuarnConfig& c) { return Json(c.IsVelseEnabled()); }},
    {K::kVelseWafEnable, [](CQuarnConfig& c) { return Json(c.IsWafEnabled()); }},
    {K::kWafRuleRefresh, [](CQuarnConfig& c) { return Json(c.WafRuleRefreshInMinute()); }},
    {K::kWafPortRefresh, [](CQuarnConfig& c) { return Json(c.WafPortRefreshInMinute()); }},
    {K::kWafConfig, [](CQuarnConfig& c) { return Json(c.GetWafConfig()); }},
};

// A key's value as the settings rules read it from the installation's file.
Json RuleValue(const Inspection& inspection, K id) {
  return quarn_tools::TypedValue(inspection.settings.keys.at(static_cast<std::size_t>(id)).reading);
}

void AddSettings(Report& report, Inspection& inspection) {
  report.Section("Settings");
  // Whether the library could load the settings file: the same bounded
  // read and the same reader as its own (the library says only "load config
  // error" in its log).
  const quarn_tools::CheckedFile file =
      inspection.fromRules ? inspection.files.settings
                           : quarn_tools::ReadCheckedFile(inspection.config->GetConfigFilePath(), "cli_config.ini");
  quarn::settings::SettingsIni ini;
  const bool loaded = file.status == quarn_tools::CheckedFile::Status::kRead && ini.Load(file.content);
  report.Field("settings_file_loaded", "Settings file loaded", loaded,
               loaded ? std::string("yes")
                      : std::string("no (") + quarn_tools::StatusName(file.status) +
                            "): every setting has its default; see quarncfg check");
  for (const SettingField& field : kSettingFields) {
    const Json value = inspection.fromRules ? RuleValue(inspection, field.id) : field.get(*inspection.config);
    std::string shown;
    if (field.id == K::kMaxCpuUse) {
      char cpu[32];
      std::snprintf(cpu, sizeof cpu, "%g", value.get<double>());
      shown = cpu;
    }
    const quarn_tools::SettingName& name = quarn_tools::NameOf(field.id);
    report.Field(name.name, name.label, value, shown);
  }
}

void AddServers(Report& report, Inspection& inspection) {
  report.Section("Servers");
  CQuarnConfig* config = inspection.config;
  const std::vector<std::string> services =
      inspection.fromRules ? inspection.settings.serviceServers : config->GetAllSrvUrl();
  const std::vector<std::string> updates =
      inspection.fromRules ? inspection.settings.updateServers : config->GetAllUpdateUrl();
  report.Field("service_servers", "Service servers", services);
  report.Field("update_servers", "Update servers", updates);
  if (inspection.resolveServers && config) {
    const Json serviceAddresses = WithAddresses(*config, services), updateAddresses = WithAddresses(*config, updates);
    report.Field("service_server_addresses", "Service server addresses", serviceAddresses,
                 AddressLines(serviceAddresses));
    report.Field("update_server_addresses", "Update server addresses", updateAddresses, AddressLines(updateAddresses));
  } else {
    const std::string why = inspection.record ? "not looked up (a bundle records no name lookups)"
                            : config          ? "not looked up (--no-resolve)"
                                              : "not looked up (" + inspection.notMadeBecause + ")";
    report.Field("service_server_addresses", "Service server addresses", nullptr, why);
    report.Field("update_server_addresses", "Update server addresses", nullptr, why);
  }
}

// The machine's addresses: the object's answers, or the library's rules
// over the addresses recorded (the service address is set by the agent's
// processes: a process that set none has none).
struct NetworkValues {
  std::vector<std::string> local;
  std::list<std::string> usable;
  std::string identity, service;
};
NetworkValues NetworkOf(Inspection& inspection) {
  NetworkValues values;
  if (const quarn_tools::MachineRecord* record = inspection.record) {
    values.local = record->localAddresses;
    values.usable = quarn::UsableAddresses(values.local);
    values.identity = quarn::ChooseIdentityIp(values.local);
    return values;
  }
  CQuarnConfig& config = *inspection.config;
  values.local = config.GetLocalIpList();
  values.usable = config.GetHostArray();
  values.identity = config.GetIdentityIp();
  values.service = config.GetServiceIp();
  return values;
}

void AddNetwork(Report& report, Inspection& inspection) {
  const NetworkValues values = NetworkOf(inspection);
  report.Section("Network");
  report.Field("local_addresses", "Local addresses", values.local);
  report.Field("usable_addresses", "Usable addresses",
               std::vector<std::string>(values.usable.begin(), values.usable.end()));
  report.Field("identity_address", "Identity address", values.identity);
  // Why: the library's own walk over the same addresses, address by address.
  const quarn::IdentityExplanation why = quarn::ExplainIdentityIp(values.local);
  Json verdicts = Json::array();
  std::string shown;
  for (const quarn::IdentityVerdict& verdict : why.verdicts) {
    const std::string kind = quarn::VerdictName(verdict.kind);
    verdicts.push_back(
        {{"address", verdict.address}, {"class", kind}, {"prefix", verdict.prefix ? Json(verdict.prefix) : Json()}});
    shown += (shown.empty() ? "" : "\n") + verdict.address + ": " + kind +
             (verdict.prefix ? std::string(" (") + verdict.prefix + ")" : "");
  }
  if (why.boundReached)
    shown += "\n(the walk stopped after " + std::to_string(quarn::IdentityExplanation::kMostExamined + 1) +
             " usable non-private addresses)";
  report.Field("identity_reasons", "Why this identity", verdicts, shown.empty() ? "(no local address)" : shown);
  report.Field("identity_walk_bounded", "Identity walk bounded", why.boundReached);
  report.Field("service_address", "Service address", values.service);
}

// The host: the object's answers and this system's values, or the
// library's description rules over the values recorded.
struct HostValues {
  std::string machineName, system, platformTag;
  quarn::sys::WindowsVersionInfo info;
  quarn::sys::RealWindowsVersion real;
  bool x64 = false;
};
HostValues HostOf(Inspection& inspection) {
  HostValues values;
  if (const quarn_tools::MachineRecord* record = inspection.record) {
    if (record->machineNameKnown) values.machineName = record->machineName;
    if (!quarn::AppendWindowsDescription(record->windowsVersion, values.system)) values.system.clear();
    values.platformTag = quarn::PlatformTag(values.system, record->system64Bit);
    values.info = record->windowsVersion;
    values.real = record->trueWindowsVersion;
    values.x64 = record->system64Bit;
    return values;
  }
  CQuarnConfig& config = *inspection.config;
  values.machineName = config.GetMachineName();
  values.system = config.GetSysInfo();
  values.platformTag = config.GetPlatInfo();
  values.info = quarn::sys::CurrentHostPlatform().WindowsVersion();
  values.real = quarn::sys::CurrentHostPlatform().TrueWindowsVersion();
  values.x64 = kqt::CToolUtil::IsX64System();
  return values;
}

void AddHost(Report& report, Inspection& inspection) {
  const HostValues host = HostOf(inspection);
  report.Section("Host");
  report.Field("machine_name", "Machine name", host.machineName);
  report.Field("system", "System", host.system);
  report.Field("platform_tag", "Platform tag", host.platformTag);
  // The values the description is made from, as the system reports them.
  const quarn::sys::WindowsVersionInfo& info = host.info;
  // Every key in every run: null where the system is not Windows.
  const bool windows = info.platformId != 0;
  const auto value = [windows](const Json& given) { return windows ? given : Json(); };
  const std::string none = windows ? "" : "none (not Windows)";
  const std::string version =
      std::to_string(info.major) + "." + std::to_string(info.minor) + "." + std::to_string(info.build);
  report.Field("platform_id", "Platform id", value(info.platformId), none);
  report.Field("windows_version", "Windows version", value(version), none);
  // What the system runs, where it tells the library something else.
  const quarn::sys::RealWindowsVersion& real = host.real;
  Json trueVersion;
  std::string shownTrue = windows ? "unknown (the system does not say)" : none;
  if (windows && real.known) {
    const std::string text =
        std::to_string(real.major) + "." + std::to_string(real.minor) + "." + std::to_string(real.build);
    trueVersion = text;
    shownTrue = text == version ? text + " (as the system tells the library)"
                                : text + ": the system tells the library " + version +
                                      " (from Windows 8.1 on, a program without a compatibility manifest is told "
                                      "6.2); the library's answers stand on what it is told";
  }
  report.Field("true_windows_version", "True Windows version", trueVersion, shownTrue);
  report.Field("service_pack", "Service pack",
               value(std::string(info.servicePack, strnlen(info.servicePack, sizeof info.servicePack))), none);
  report.Field("product_type", "Product type", value(info.productType), none);
  report.Field("suite_mask", "Suite mask", value(Hex(info.suiteMask)), windows ? Hex(info.suiteMask) : none);
  report.Field("processor_architecture", "Processor architecture", value(info.processorArchitecture), none);
  report.Field("server_r2", "Server 2003 R2", value(info.serverR2), none);
  report.Field("product_code", "Product code", value(Hex(info.productCode)), windows ? Hex(info.productCode) : none);
  report.Field("system_64_bit", "64-bit system", host.x64);
}

// Beside the agent's UUID: the DMTF's form, whether and why the two differ,
// and whether the UUID is a placeholder.
void AddDmtfUuid(Report& report, const std::string& uuid, bool agentSwaps, const quarn::smbios::TableSource& source) {
  quarn_tools::TableVersion version;
  version.known = source.blockRead || source.entryPointFound;
  version.major = source.major;
  version.minor = source.minor;
  version.fromFirmwareService = source.blockRead;
  const quarn_tools::UuidForms forms = quarn_tools::DescribeUuidForms(uuid, agentSwaps, version);
  const std::string noUuid = "none (no UUID)", noVersion = "none (the table's version is not known)";
  const bool haveDmtf = !forms.dmtf.empty();
  report.Field("dmtf_uuid", "UUID, DMTF form", haveDmtf ? Json(forms.dmtf) : Json(),
               haveDmtf         ? Quoted(forms.dmtf)
               : forms.haveUuid ? noVersion
                                : noUuid);
  report.Field("uuid_forms_differ", "Agent's and DMTF form differ", haveDmtf ? Json(forms.formsDiffer) : Json(),
               haveDmtf         ? forms.whyFormsDiffer
               : forms.haveUuid ? noVersion
                                : noUuid);
  report.Field("uuid_placeholder", "UUID placeholder", forms.placeholder.empty() ? Json() : Json(forms.placeholder),
               !forms.haveUuid             ? noUuid
               : forms.placeholder.empty() ? std::string("no")
                                           : forms.placeholder + "; every machine with it has the same identity");
}

// The hardware: the object's answers with this system's firmware seam, or
// the library's acquisition, walk, UUID rule and checksum run over the
// firmware recorded. The library's getters each read the table: so does the
// replay, and what they print is kept for Diagnostics.
struct HardwareValues {
  quarn::smbios::TableSource source;
  std::string uuid;
  unsigned hash = 0;
  std::string signature;
  bool xenOrMicrosoft = false;
  std::string vmId, callerUuid;
};
HardwareValues HardwareOf(Inspection& inspection) {
  HardwareValues values;
  if (const quarn_tools::MachineRecord* record = inspection.record) {
    quarn_tools::RecordedFirmware firmware(record->firmware);
    values.source = quarn::smbios::DescribeTableSource(firmware);
    values.signature = quarn::smbios::HypervisorSignature(firmware);
    values.xenOrMicrosoft = quarn::smbios::IsXenOrMicrosoftSignature(values.signature);
    const quarn::smbios::TableBuffer forUuid = quarn::smbios::FetchTableBuffer(firmware, &inspection.replayOutput);
    // The version a table of the firmware-table service brings; none for one
    // found in memory (the process holds none before).
    const int versionNumber = forUuid.delivered > 0 && forUuid.versionNumber >= 0 ? forUuid.versionNumber : 0;
    values.uuid = quarn::smbios::DeliveredUuidText(
        quarn::smbios::TableUuidText(forUuid.bytes.data(), forUuid.bytes.size(), versionNumber, values.xenOrMicrosoft),
        forUuid.bytes.data(), forUuid.bytes.size(), forUuid.delivered);
    const quarn::smbios::TableBuffer forHash = quarn::smbios::FetchTableBuffer(firmware, &inspection.replayOutput);
    values.hash = kqt::CAlgorithmUtil::GetCRC(forHash.bytes.data(), static_cast<unsigned int>(forHash.bytes.size()));
    return values;  // no caller has set a uuid, and the library has no VM id
  }
  CQuarnConfig& config = *inspection.config;
  values.source = quarn::smbios::DescribeTableSource();
  values.uuid = config.GetBiosUuid();
  values.hash = config.GetBiosHash();
  char signature[13];
  GetHypervisorSignature(signature, sizeof signature);
  values.signature = signature;
  values.xenOrMicrosoft = IsXenOrMicrosoftHypervisor() != 0;
  values.vmId = config.GetVMid();
  values.callerUuid = config.GetUuid();
  return values;
}

void AddHardware(Report& report, Inspection& inspection) {
  const HardwareValues hardware = HardwareOf(inspection);
  report.Section("Hardware");
  // Where the table comes from, and its header. Every key in every run: the
  // header's fields are null where the table comes from memory or the
  // service gave none.
  const quarn::smbios::TableSource& source = hardware.source;
  Json version, number, size;
  std::string shownVersion = "none (the table is searched for in physical memory)";
  if (source.firmwareService) {
    report.Field("smbios_source", "SMBIOS source", "firmware table service", "firmware table service");
    shownVersion = "none (the service gave no table)";
    if (source.blockRead) {
      version = std::to_string(source.major) + "." + std::to_string(source.minor);
      number = source.versionNumber;
      size = source.tableLength;
      shownVersion = version.get<std::string>() + " (number " + std::to_string(source.versionNumber) + ")";
    }
  } else {
    report.Field("smbios_source", "SMBIOS source", "physical memory", "physical memory (BIOS area)");
  }
  report.Field("smbios_version", "SMBIOS version", version, shownVersion);
  report.Field("smbios_version_number", "SMBIOS version number", number);
  report.Field("table_size", "Table size (bytes)", size);
  const std::string& uuid = hardware.uuid;
  report.Field("bios_uuid", "BIOS UUID", uuid);
  report.Field("table_checksum", "Table checksum", Hex(hardware.hash), Hex(hardware.hash));
  report.Field("hypervisor_signature", "Hypervisor signature", hardware.signature);
  const bool xenOrMicrosoft = hardware.xenOrMicrosoft;
  report.Field("xen_or_microsoft_hypervisor", "Xen or Microsoft hypervisor", xenOrMicrosoft);
  // Why the UUID's first three fields are printed as they are: the
  // library's own rule, on the version number it holds (none, 0, for a table
  // found in memory).
  const int usedNumber = number.is_number() ? number.get<int>() : 0;
  const bool swapped = quarn::smbios::SwapsUuidFields(usedNumber, xenOrMicrosoft);
  std::string why = "version number " + std::to_string(usedNumber);
  if (swapped)
    why =
        "swapped (stored least significant byte first): " + why + " is 518 or more and no Xen or Microsoft hypervisor";
  else if (usedNumber >= 518)
    why = "as stored: a Xen or Microsoft hypervisor (\"" + hardware.signature + "\"), whatever the " + why;
  else
    why = "as stored: " + why + " is below 518" +
          (number.is_number() ? "" : "; a table found in memory carries no version");
  report.Field("uuid_fields_swapped", "UUID fields swapped", swapped, why);
  AddDmtfUuid(report, uuid, swapped, source);
  report.Field("vm_id", "VM id", hardware.vmId);
  report.Field("caller_uuid", "Caller's uuid", hardware.callerUuid);
}

// The updater's version record as the library reads it: for another
// installation by its rules, else through the object (which answers
// "update_00_00" when the record cannot be read, and retries first).
struct UpdaterRecord {
  std::string version, path;
  bool read = false;
};
UpdaterRecord ReadUpdaterRecord(Inspection& inspection) {
  UpdaterRecord record;
  if (inspection.fromRules) {
    record.read = quarn_tools::UpdaterVersionOf(inspection.files, record.version);
    record.path = inspection.places.updateVersionFile;
  } else {
    record.version = inspection.config->GetUpdateVersion();
    record.path = inspection.config->GetUpdateVersionFilePath();
    std::string line;
    record.read = kqt::CFileUtil::ReadLine(record.path, line);
  }
  return record;
}

// A field of the Versions section, and who answers it:
// - kInstallation: the library's rules for another installation, the
//   object for this program's own;
// - kCallingProgram: the object, for the program that asks (each program of
//   the agent reports its own size: there is no one answer for an
//   installation);
// - kMachine: the object, whenever there is one (the process list).
// `show`, where given, is the value in the text form.
struct VersionField {
  const char* key;
  const char* label;
  enum Source { kInstallation, kCallingProgram, kMachine } source;
  Json (*rule)(const Inspection&, const UpdaterRecord&);
  Json (*object)(CQuarnConfig&, const UpdaterRecord&);
  std::string (*show)(const Json&, const UpdaterRecord&);
};
const VersionField kVersionFields[] = {
    {"client_version", "Client version", VersionField::kInstallation,
     [](const Inspection& i, const UpdaterRecord&) { return RuleValue(i, K::kCurrentVersion); },
     [](CQuarnConfig& c, const UpdaterRecord&) { return Json(c.GetCurrentVersion()); }, nullptr},
    // The library answers "update_00_00" when the record cannot be read:
    // said so rather than shown as a version.
    {"updater_version", "Updater version", VersionField::kInstallation,
     [](const Inspection&, const UpdaterRecord& r) { return Json(r.version); },
     [](CQuarnConfig&, const UpdaterRecord& r) { return Json(r.version); },
     [](const Json&, const UpdaterRecord& r) {
       return r.read ? Quoted(r.version) : Quoted(r.version) + " (no record: " + r.path + " cannot be read)";
     }},
    {"updater_version_record_read", "Updater version record read", VersionField::kInstallation,
     [](const Inspection&, const UpdaterRecord& r) { return Json(r.read); },
     [](CQuarnConfig&, const UpdaterRecord& r) { return Json(r.read); }, nullptr},
    {"client_version_detail", "Client version detail", VersionField::kCallingProgram, nullptr,
     [](CQuarnConfig& c, const UpdaterRecord&) { return Json(c.GetVersionDetail()); }, nullptr},
    {"updater_version_detail", "Updater version detail", VersionField::kInstallation,
     [](const Inspection& i, const UpdaterRecord& r) {
       const long long size = static_cast<long long>(i.files.updaterExecutableSize);
       return Json(quarn::layout::VersionDetail(r.version, size));
     },
     [](CQuarnConfig& c, const UpdaterRecord&) { return Json(c.GetUpdateVerDetail()); }, nullptr},
    {"updater_pid", "Updater process id", VersionField::kMachine, nullptr,
     [](CQuarnConfig& c, const UpdaterRecord&) { return Json(c.GetUpdatePid()); },
     [](const Json& pid, const UpdaterRecord&) {
       return pid.get<int>() ? std::to_string(pid.get<int>()) : std::string("0 (not running)");
     }},
    {"update_server", "Update server", VersionField::kInstallation,
     [](const Inspection&, const UpdaterRecord&) { return Json(quarn::urls::UpdateServer()); },
     [](CQuarnConfig& c, const UpdaterRecord&) { return Json(c.GetUpdateServerPreDomain()); }, nullptr},
    {"report_url", "Report URL", VersionField::kInstallation,
     [](const Inspection&, const UpdaterRecord&) { return Json(quarn::urls::ReportUrl()); },
     [](CQuarnConfig& c, const UpdaterRecord&) { return Json(c.GetPostSrvUrl()); }, nullptr},
    {"download_url", "Download URL", VersionField::kInstallation,
     [](const Inspection&, const UpdaterRecord&) { return Json(quarn::urls::DownloadUrl()); },
     [](CQuarnConfig& c, const UpdaterRecord&) { return Json(c.GetDownLoadPreUrl()); }, nullptr},
    {"platform_download_url", "Platform download URL", VersionField::kInstallation,
     [](const Inspection&, const UpdaterRecord&) { return Json(quarn::urls::PlatformDownloadUrl()); },
     [](CQuarnConfig& c, const UpdaterRecord&) { return Json(c.GetDownLoadPlatformUrl()); }, nullptr},
};

void AddVersions(Report& report, Inspection& inspection) {
  report.Section("Versions");
  const UpdaterRecord record = ReadUpdaterRecord(inspection);
  for (const VersionField& field : kVersionFields) {
    Json value;
    std::string shown;
    switch (field.source) {
      case VersionField::kInstallation:
        value = inspection.fromRules ? field.rule(inspection, record) : field.object(*inspection.config, record);
        break;
      case VersionField::kCallingProgram:
        if (!inspection.fromRules)
          value = field.object(*inspection.config, record);
        else if (inspection.record && !inspection.record->installationFromRules)  // the program that asked there
          value = quarn::layout::VersionDetail(RuleValue(inspection, K::kCurrentVersion).get<std::string>(),
                                               inspection.record->callingProgramSize);
        else
          shown =
              Quoted(quarn::layout::VersionDetail(RuleValue(inspection, K::kCurrentVersion).get<std::string>(), 0)) +
              ", the 0 replaced by the size in bytes of the program that asks";
        break;
      case VersionField::kMachine:
        if (inspection.config)
          value = field.object(*inspection.config, record);
        else if (inspection.record && inspection.notMadeBecause.empty())  // what the object saw there
          value = inspection.record->updaterPid;
        else
          shown = "none (" + inspection.notMadeBecause + ")";
        break;
    }
    if (field.show && !value.is_null()) shown = field.show(value, record);
    report.Field(field.key, field.label, value, shown);
  }
}

}  // namespace

const char* GlobalCfgStateName(State state) {
  switch (state) {
    case State::kExisted:
      return "existed";
    case State::kCreated:
      return "created";
    case State::kWouldBeCreated:
      return "would_be_created";
    case State::kMissing:
      return "missing";
  }
  return "missing";
}

bool GlobalCfgStateFromName(const std::string& name, State& state) {
  for (State candidate : {State::kExisted, State::kCreated, State::kWouldBeCreated, State::kMissing})
    if (name == GlobalCfgStateName(candidate)) {
      state = candidate;
      return true;
    }
  return false;
}

const std::vector<SectionFiller>& ReportSections() {
  // Only the sections asked for are computed: a question about the servers
  // costs no updater retries and no hardware read.
  static const std::vector<SectionFiller> sections = {
      {"Installation", AddInstallation, false},
      {"Settings", AddSettings, false},
      {"Servers", AddServers, false},
      {"Network", AddNetwork, true},
      {"Host", AddHost, true},
      {"Hardware", AddHardware, true},
      {"Versions", AddVersions, false},
  };
  return sections;
}

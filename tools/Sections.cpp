#include "Sections.h"

#include <cstdio>
#include <cstring>
#include <list>

#include "SettingsCheck.h"
#include "config/AddressRules.h"
#include "config/QuarnConfig.h"
#include "config/SettingsRules.h"
#include "config/platform/HostPlatform.h"
#include "hwinfo/Hypervisor.h"
#include "hwinfo/SmbiosAcquisition.h"
#include "hwinfo/SmbiosParsing.h"
#include "util/FileUtil.h"
#include "util/ToolUtil.h"

using Json = nlohmann::ordered_json;

namespace {

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lX", value);
  return text;
}

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

}  // namespace

void AddInstallation(Report& report, Inspection& inspection) {
  report.Section("Installation");
  const std::string& exeDir = inspection.executableDir;
  if (inspection.fromRules) {
    // The library's own layout rules, applied to the installation named.
    const quarn::layout::Places& places = inspection.places;
    report.Field("executable_directory", "Executable directory", exeDir);
    report.Field("client_directory", "Client directory", places.client.absolutePath());
    report.Field("installation_root", "Installation root", places.root.absolutePath());
    report.Field("settings_directory", "Settings directory", quarn::layout::ClientConfDir(exeDir));
    report.Field("settings_file", "Settings file", places.configFile.absolutePath());
    report.Field("data_directory", "Data directory", quarn::layout::ClientDataDir(exeDir));
    report.Field("global_config_directory", "Global config directory", places.globalCfg.absolutePath());
    report.Field("updater_directory", "Updater directory", places.update.absolutePath());
    report.Field("updater_executable_name", "Updater executable name", quarn::layout::kUpdateExeName);
    report.Field("updater_executable", "Updater executable",
                 places.update.absoluteFilePath(quarn::layout::kUpdateExeName));
    report.Field("updater_pid_file", "Updater pid file", places.update.absoluteFilePath("pid.txt"));
    report.Field("updater_command_file", "Updater command file", places.update.absoluteFilePath("up_cmd.txt"));
    report.Field("updater_version_file", "Updater version file", quarn::layout::UpdateVersionFilePath(places.update));
  } else {
    CQuarnConfig& config = *inspection.config;
    report.Field("executable_directory", "Executable directory", config.GetCurrentDir());
    report.Field("client_directory", "Client directory", config.GetClientDir());
    report.Field("installation_root", "Installation root", config.GetQuarnDir());
    report.Field("settings_directory", "Settings directory", config.GetClientConfDir());
    report.Field("settings_file", "Settings file", config.GetConfigFilePath());
    report.Field("data_directory", "Data directory", config.GetClientDataDir());
    report.Field("global_config_directory", "Global config directory", config.GetGlobalCfgDir());
    report.Field("updater_directory", "Updater directory", config.GetUpdateDir());
    report.Field("updater_executable_name", "Updater executable name", config.GetUpdateExeName());
    report.Field("updater_executable", "Updater executable", config.GetUpdateExePath());
    report.Field("updater_pid_file", "Updater pid file", config.GetUpdatePidFilePath());
    report.Field("updater_command_file", "Updater command file", config.GetUpCmdFilePath());
    report.Field("updater_version_file", "Updater version file", config.GetUpdateVersionFilePath());
  }
  using State = Inspection::GlobalCfgState;
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

namespace {

// The settings as the report shows them, with the getter that answers each
// and the key of the settings file it comes from: both ways of filling the
// section give the same keys.
struct SettingField {
  const char* key;
  const char* label;
  quarn::settings::KeyId id;
  Json (*get)(CQuarnConfig&);
};
using K = quarn::settings::KeyId;
const SettingField kSettingFields[] = {
    {"install_module", "Install module", K::kInstallModule, [](CQuarnConfig& c) { return Json(c.GetInstallModule()); }},
    {"log_level", "Log level", K::kLogLevel, [](CQuarnConfig& c) { return Json(c.GetLogLevel()); }},
    {"log_max_size", "Log size limit (bytes)", K::kLogMaxSize,
     [](CQuarnConfig& c) { return Json(c.GetLogFileMaxFile()); }},
    {"max_cpu_use", "CPU use limit (%)", K::kMaxCpuUse, [](CQuarnConfig& c) { return Json(c.GetMaxCpuUse()); }},
    {"max_mem_use", "Memory use limit", K::kMaxMemUse, [](CQuarnConfig& c) { return Json(c.GetMaxMemUse()); }},
    {"protect_update", "Protect update", K::kProtectUpdate, [](CQuarnConfig& c) { return Json(c.IsProtectUpdate()); }},
    {"protect_oru_hids", "Protect ORU/HIDS", K::kProtectOruHids,
     [](CQuarnConfig& c) { return Json(c.IsProtectOruHids()); }},
    {"send_file", "Send files", K::kSendFile, [](CQuarnConfig& c) { return Json(c.IsSendFile()); }},
    {"update_lua", "Update Lua", K::kUpdateLua, [](CQuarnConfig& c) { return Json(c.IsUpdateLua()); }},
    {"connect_beta", "Connect to beta server", K::kConnectBeta,
     [](CQuarnConfig& c) { return Json(c.IsConnectToBetaServerEnabeld()); }},
    {"vm_crash_check", "VM crash check", K::kVmCrashCheck,
     [](CQuarnConfig& c) { return Json(c.IsVmCrashCheckEnabled()); }},
    {"velse_enabled", "Velse", K::kVelseEnable, [](CQuarnConfig& c) { return Json(c.IsVelseEnabled()); }},
    {"waf_enabled", "WAF", K::kVelseWafEnable, [](CQuarnConfig& c) { return Json(c.IsWafEnabled()); }},
    {"waf_rule_refresh_minutes", "WAF rule refresh (min)", K::kWafRuleRefresh,
     [](CQuarnConfig& c) { return Json(c.WafRuleRefreshInMinute()); }},
    {"waf_port_refresh_minutes", "WAF port refresh (min)", K::kWafPortRefresh,
     [](CQuarnConfig& c) { return Json(c.WafPortRefreshInMinute()); }},
    {"waf_config", "WAF configuration", K::kWafConfig, [](CQuarnConfig& c) { return Json(c.GetWafConfig()); }},
};

// A key's value as the settings rules read it from the installation's file.
Json RuleValue(const Inspection& inspection, K id) {
  const quarn_tools::KeyVerdict& verdict = inspection.settings.keys.at(static_cast<std::size_t>(id));
  switch (quarn::settings::SettingsKey(id).kind) {
    case quarn::settings::Kind::kInteger:
      return std::stoi(verdict.value);
    case quarn::settings::Kind::kBoolean:
      return verdict.value == "true";
    default:
      return verdict.value;
  }
}

}  // namespace

void AddSettings(Report& report, Inspection& inspection) {
  report.Section("Settings");
  // Whether the library could load the settings file: the same bounded
  // read and the same reader as its own (the library says only "load config
  // error" in its log).
  const std::string path =
      inspection.fromRules ? inspection.places.configFile.absolutePath() : inspection.config->GetConfigFilePath();
  const quarn_tools::CheckedFile file = quarn_tools::ReadCheckedFile(path, "cli_config.ini");
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
    report.Field(field.key, field.label, value, shown);
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
    const std::string why =
        config ? "not looked up (--no-resolve)" : "not looked up (" + inspection.notMadeBecause + ")";
    report.Field("service_server_addresses", "Service server addresses", nullptr, why);
    report.Field("update_server_addresses", "Update server addresses", nullptr, why);
  }
}

void AddNetwork(Report& report, Inspection& inspection) {
  CQuarnConfig& config = *inspection.config;
  report.Section("Network");
  report.Field("local_addresses", "Local addresses", config.GetLocalIpList());
  const std::list<std::string> usable = config.GetHostArray();
  report.Field("usable_addresses", "Usable addresses", std::vector<std::string>(usable.begin(), usable.end()));
  report.Field("identity_address", "Identity address", config.GetIdentityIp());
  // Why: the library's own walk over the same addresses, address by address.
  const quarn::IdentityExplanation why = quarn::ExplainIdentityIp(config.GetLocalIpList());
  Json verdicts = Json::array();
  std::string shown;
  for (const quarn::IdentityVerdict& verdict : why.verdicts) {
    static const char* const kKinds[] = {"unusable", "private", "172. fallback", "not private", "not considered"};
    const std::string kind = kKinds[verdict.kind];
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
  report.Field("service_address", "Service address", config.GetServiceIp());
}

void AddHost(Report& report, Inspection& inspection) {
  CQuarnConfig& config = *inspection.config;
  report.Section("Host");
  report.Field("machine_name", "Machine name", config.GetMachineName());
  report.Field("system", "System", config.GetSysInfo());
  report.Field("platform_tag", "Platform tag", config.GetPlatInfo());
  // The values the description is made from, as the system reports them.
  const quarn::sys::WindowsVersionInfo info = quarn::sys::CurrentHostPlatform().WindowsVersion();
  // Every key in every run: null where the system is not Windows.
  const bool windows = info.platformId != 0;
  const auto value = [windows](const Json& given) { return windows ? given : Json(); };
  const std::string none = windows ? "" : "none (not Windows)";
  const std::string version =
      std::to_string(info.major) + "." + std::to_string(info.minor) + "." + std::to_string(info.build);
  report.Field("platform_id", "Platform id", value(info.platformId), none);
  report.Field("windows_version", "Windows version", value(version), none);
  report.Field("service_pack", "Service pack",
               value(std::string(info.servicePack, strnlen(info.servicePack, sizeof info.servicePack))), none);
  report.Field("product_type", "Product type", value(info.productType), none);
  report.Field("suite_mask", "Suite mask", value(Hex(info.suiteMask)), windows ? Hex(info.suiteMask) : none);
  report.Field("processor_architecture", "Processor architecture", value(info.processorArchitecture), none);
  report.Field("server_r2", "Server 2003 R2", value(info.serverR2), none);
  report.Field("product_code", "Product code", value(Hex(info.productCode)), windows ? Hex(info.productCode) : none);
  report.Field("system_64_bit", "64-bit system", kqt::CToolUtil::IsX64System());
}

void AddHardware(Report& report, Inspection& inspection) {
  CQuarnConfig& config = *inspection.config;
  report.Section("Hardware");
  // Where the table comes from, and its header. Every key in every run: the
  // header's fields are null where the table comes from memory or the
  // service gave none.
  const quarn::smbios::TableSource source = quarn::smbios::DescribeTableSource();
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
  report.Field("bios_uuid", "BIOS UUID", config.GetBiosUuid());
  const unsigned hash = config.GetBiosHash();
  report.Field("table_checksum", "Table checksum", Hex(hash), Hex(hash));
  char signature[13];
  GetHypervisorSignature(signature, sizeof signature);
  report.Field("hypervisor_signature", "Hypervisor signature", std::string(signature));
  const bool xenOrMicrosoft = IsXenOrMicrosoftHypervisor() != 0;
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
    why = "as stored: a Xen or Microsoft hypervisor (\"" + std::string(signature) + "\"), whatever the " + why;
  else
    why = "as stored: " + why + " is below 518" +
          (number.is_number() ? "" : "; a table found in memory carries no version");
  report.Field("uuid_fields_swapped", "UUID fields swapped", swapped, why);
  report.Field("vm_id", "VM id", config.GetVMid());
  report.Field("caller_uuid", "Caller's uuid", config.GetUuid());
}

void AddVersions(Report& report, Inspection& inspection) {
  report.Section("Versions");
  CQuarnConfig* config = inspection.config;
  const std::string none = "none (" + inspection.notMadeBecause + ")";
  // For another installation, the records are read by the library's rules
  // from its files; what depends on the calling program or the machine
  // comes from the library's object, when there is one.
  std::string updaterVersion, recordPath;
  bool recordRead = false;
  if (inspection.fromRules) {
    report.Field("client_version", "Client version", RuleValue(inspection, quarn::settings::KeyId::kCurrentVersion));
    recordRead = quarn::layout::ReadUpdateVersionRecord(inspection.places.update, updaterVersion);
    recordPath = quarn::layout::UpdateVersionFilePath(inspection.places.update);
  } else {
    report.Field("client_version", "Client version", config->GetCurrentVersion());
    // The library answers "update_00_00" when the record cannot be read: say
    // so rather than show it as a version.
    updaterVersion = config->GetUpdateVersion();
    recordPath = config->GetUpdateVersionFilePath();
    std::string recordLine;
    recordRead = kqt::CFileUtil::ReadLine(recordPath, recordLine);
  }
  report.Field("updater_version", "Updater version", updaterVersion,
               recordRead ? "\"" + updaterVersion + "\""
                          : "\"" + updaterVersion + "\" (no record: " + recordPath + " cannot be read)");
  report.Field("updater_version_record_read", "Updater version record read", recordRead);
  if (inspection.fromRules) {
    // Each program of the agent reports its own size: there is no one answer
    // for an installation.
    const std::string version = RuleValue(inspection, quarn::settings::KeyId::kCurrentVersion).get<std::string>();
    report.Field("client_version_detail", "Client version detail", nullptr,
                 "\"" + quarn::layout::VersionDetail(version, 0) +
                     "\", the 0 replaced by the size in bytes of the program that asks");
  } else {
    report.Field("client_version_detail", "Client version detail", config->GetVersionDetail());
  }
  if (inspection.fromRules) {
    const std::string exe = inspection.places.update.absoluteFilePath(quarn::layout::kUpdateExeName);
    const long long size = static_cast<long long>(kqt::CFileUtil::GetFileSize(exe));
    report.Field("updater_version_detail", "Updater version detail",
                 quarn::layout::VersionDetail(updaterVersion, size));
  } else {
    report.Field("updater_version_detail", "Updater version detail", config->GetUpdateVerDetail());
  }
  if (config) {
    const int pid = config->GetUpdatePid();
    report.Field("updater_pid", "Updater process id", pid, pid ? std::to_string(pid) : "0 (not running)");
    report.Field("update_server", "Update server", config->GetUpdateServerPreDomain());
    report.Field("report_url", "Report URL", config->GetPostSrvUrl());
    report.Field("download_url", "Download URL", config->GetDownLoadPreUrl());
    report.Field("platform_download_url", "Platform download URL", config->GetDownLoadPlatformUrl());
  } else {
    for (const auto& field :
         {std::make_pair("updater_pid", "Updater process id"), std::make_pair("update_server", "Update server"),
          std::make_pair("report_url", "Report URL"), std::make_pair("download_url", "Download URL"),
          std::make_pair("platform_download_url", "Platform download URL")})
      report.Field(field.first, field.second, nullptr, none);
  }
}

const char* GlobalCfgStateName(Inspection::GlobalCfgState state) {
  switch (state) {
    case Inspection::GlobalCfgState::kExisted:
      return "existed";
    case Inspection::GlobalCfgState::kCreated:
      return "created";
    case Inspection::GlobalCfgState::kWouldBeCreated:
      return "would_be_created";
    case Inspection::GlobalCfgState::kMissing:
      return "missing";
  }
  return "missing";
}

bool NeedsLibraryObject(void (*fill)(Report&, Inspection&)) {
  return fill == AddNetwork || fill == AddHost || fill == AddHardware;
}

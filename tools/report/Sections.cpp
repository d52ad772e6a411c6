#include "report/Sections.h"

#include <cstdio>
#include <cstring>

#include "config/AddressRules.h"
#include "report/SettingJson.h"

namespace quarn_tools {
namespace {

using Json = nlohmann::ordered_json;
using quarn::layout::Places;

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lX", value);
  return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The places, in the order shown.
struct PlaceRow {
  const char* key;
  const char* label;
  std::string Places::*place;
};
const PlaceRow kPlaceRows[] = {
    {"executable_directory", "Executable directory", &Places::executableDir},
    {"client_directory", "Client directory", &Places::clientDir},
    {"installation_root", "Installation root", &Places::root},
    {"settings_directory", "Settings directory", &Places::confDir},
    {"settings_file", "Settings file", &Places::configFile},
    {"data_directory", "Data directory", &Places::dataDir},
    {"global_config_directory", "Global config directory", &Places::globalCfg},
    {"updater_directory", "Updater directory", &Places::updateDir},
    {"updater_executable_name", "Updater executable name", &Places::updateExeName},
    {"updater_executable", "Updater executable", &Places::updateExe},
    {"updater_pid_file", "Updater pid file", &Places::updatePidFile},
    {"updater_command_file", "Updater command file", &Places::updateCommandFile},
    {"updater_version_file", "Updater version file", &Places::updateVersionFile},
};

void AddInstallation(Report& report, Answers& answers) {
  const InstallationAnswers installation = answers.Installation();
  for (const PlaceRow& row : kPlaceRows) report.Field(row.key, row.label, installation.places.*row.place);
  const GlobalCfgState state = installation.globalCfgState;
  std::string shown = GlobalCfgStateName(state);
  if (state == GlobalCfgState::kCreated)
    shown = "created now: the library makes it when it is missing";
  else if (state == GlobalCfgState::kWouldBeCreated)
    shown = "would be created: it is missing, and the library makes it when loaded here";
  else if (state == GlobalCfgState::kMissing)
    shown = "missing: the library could not create it (a file in its place, or no right to write there)";
  report.Field("global_config_directory_state", "Global config directory state", GlobalCfgStateName(state), shown);
}

void AddSettings(Report& report, Answers& answers) {
  namespace S = quarn::settings;
  const SettingsAnswers& settings = answers.Settings();
  report.Field("settings_file_loaded", "Settings file loaded", settings.loaded,
               settings.loaded
                   ? std::string("yes")
                   : "no (" + settings.notLoadedBecause + "): every setting has its default; see quarncfg check");
  // Every setting but the lists (Servers) and the client's version (Versions).
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    const S::SettingRow& row = S::Setting(r);
    if (row.list || row.Has(S::kClientVersion)) continue;
    const Json value = SettingJson(settings.record, row);
    std::string shown;
    if (row.real) {
      char text[32];
      std::snprintf(text, sizeof text, "%g", value.get<double>());
      shown = text;
    }
    report.Field(row.name, row.label, value, shown);
  }
}

// Each server with its address, one a line.
std::string AddressLines(const std::vector<std::string>& servers, const std::vector<std::string>& addresses) {
  std::string shown;
  for (std::size_t i = 0; i < servers.size(); ++i)
    shown += (i ? "\n" : "") + std::to_string(i + 1) + ". " + servers[i] + " -> " +
             (addresses[i].empty() ? "(no address)" : addresses[i]);
  return shown.empty() ? "(none)" : shown;
}

Json AddressList(const std::vector<std::string>& servers, const std::vector<std::string>& addresses) {
  Json list = Json::array();
  for (std::size_t i = 0; i < servers.size(); ++i) list.push_back({{"server", servers[i]}, {"address", addresses[i]}});
  return list;
}

// The server lists, then each list's addresses ("x_servers" gives
// "x_server_addresses").
void AddServers(Report& report, Answers& answers) {
  namespace S = quarn::settings;
  ServersAnswers servers = answers.Servers();
  // The addresses first, while the lists are at hand; the lists are then
  // handed over whole (a list of a million servers is not copied).
  std::vector<std::pair<Json, std::string>> addresses;
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    const std::vector<std::string>* list = S::Setting(r).list ? &(servers.settings.*S::Setting(r).list) : nullptr;
    if (!list) continue;
    if (servers.resolved)
      addresses.emplace_back(AddressList(*list, servers.addresses[r]), AddressLines(*list, servers.addresses[r]));
    else
      addresses.emplace_back(nullptr, "not looked up (" + servers.notResolvedBecause + ")");
  }
  for (std::size_t r = 0; r < S::kSettingCount; ++r)
    if (S::Setting(r).list)
      report.TextsField(S::Setting(r).name, S::Setting(r).label, std::move(servers.settings.*S::Setting(r).list));
  std::size_t next = 0;
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    const S::SettingRow& row = S::Setting(r);
    if (!row.list) continue;
    const std::string name = row.name, label = row.label;
    report.Field(name.substr(0, name.size() - 1) + "_addresses", label.substr(0, label.size() - 1) + " addresses",
                 std::move(addresses[next].first), addresses[next].second);
    ++next;
  }
}

void AddNetwork(Report& report, Answers& answers) {
  const NetworkAnswers network = answers.Network();
  report.Field("local_addresses", "Local addresses", network.local);
  report.Field("usable_addresses", "Usable addresses",
               std::vector<std::string>(network.usable.begin(), network.usable.end()));
  report.Field("identity_address", "Identity address", network.identity);
  // Why: the library's own walk over the same addresses, address by address.
  const quarn::IdentityExplanation why = quarn::ExplainIdentityIp(network.local);
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
  report.Field("service_address", "Service address", network.service);
}

// What the system runs, where it tells the library something else.
void AddTrueVersion(Report& report, const HostAnswers& host, const std::string& version) {
  const bool windows = host.info.platformId != 0;
  Json trueVersion;
  std::string shown = windows ? "unknown (the system does not say)" : "none (not Windows)";
  if (windows && host.real.known) {
    const std::string text =
        std::to_string(host.real.major) + "." + std::to_string(host.real.minor) + "." + std::to_string(host.real.build);
    trueVersion = text;
    shown = text == version ? text + " (as the system tells the library)"
                            : text + ": the system tells the library " + version +
                                  " (from Windows 8.1 on, a program without a compatibility manifest is told "
                                  "6.2); the library's answers stand on what it is told";
  }
  report.Field("true_windows_version", "True Windows version", trueVersion, shown);
}

void AddHost(Report& report, Answers& answers) {
  const HostAnswers host = answers.Host();
  report.Field("machine_name", "Machine name", host.machineName);
  report.Field("system", "System", host.system);
  report.Field("platform_tag", "Platform tag", host.platformTag);
  // The values the description is made from, as the system reports them;
  // every key in every run, null where the system is not Windows.
  const quarn::sys::WindowsVersionInfo& info = host.info;
  const bool windows = info.platformId != 0;
  const auto value = [windows](const Json& given) { return windows ? given : Json(); };
  const std::string none = windows ? "" : "none (not Windows)";
  const std::string version =
      std::to_string(info.major) + "." + std::to_string(info.minor) + "." + std::to_string(info.build);
  report.Field("platform_id", "Platform id", value(info.platformId), none);
  report.Field("windows_version", "Windows version", value(version), none);
  AddTrueVersion(report, host, version);
  report.Field("service_pack", "Service pack",
               value(std::string(info.servicePack, strnlen(info.servicePack, sizeof info.servicePack))), none);
  report.Field("product_type", "Product type", value(info.productType), none);
  report.Field("suite_mask", "Suite mask", value(Hex(info.suiteMask)), windows ? Hex(info.suiteMask) : none);
  report.Field("processor_architecture", "Processor architecture", value(info.processorArchitecture), none);
  report.Field("server_r2", "Server 2003 R2", value(info.serverR2), none);
  report.Field("product_code", "Product code", value(Hex(info.productCode)), windows ? Hex(info.productCode) : none);
  report.Field("system_64_bit", "64-bit system", host.x64);
}

}  // namespace

// 2.31 (SMBIOS 2.3.1 as some firmware writes it) gives 256 and escapes the
// swap.
std::string VersionNumberShown(const quarn::smbios::TableSource& source) {
  const unsigned shift = 8u + source.minor;
  std::string shown = std::to_string(source.versionNumber) + ": " + std::to_string(source.major) + " << (8 + " +
                      std::to_string(source.minor) + "), as the agent makes it; it swaps the UUID's fields from 518 on";
  const unsigned long long exact = shift < 64 ? static_cast<unsigned long long>(source.major) << shift : 0;
  if (shift >= 32 || exact != static_cast<unsigned>(source.versionNumber))
    shown += std::string("; the shift wraps around (") +
             (shift >= 32 ? "by " + std::to_string(shift) + " mod 32 = " + std::to_string(shift % 32)
                          : "bits past 32 are lost") +
             "), so the number is " + (source.versionNumber >= 518 ? "not below" : "below") + " 518 " +
             (source.versionNumber >= 518 ? "all the same" : "and the fields stay as stored");
  return shown;
}

namespace {

// Where the table comes from, and its header. Every key in every run: the
// header's fields are null where the table comes from memory or the
// service gave none.
void AddTableSource(Report& report, const quarn::smbios::TableSource& source) {
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
  report.Field("smbios_version_number", "SMBIOS version number", number,
               source.blockRead ? VersionNumberShown(source) : std::string());
  report.Field("table_size", "Table size (bytes)", size);
}

// Why the UUID's first three fields are printed as they are: the library's
// own rule, on the version number it holds (none, 0, for a table found in
// memory).
std::string WhySwapped(const HardwareAnswers& hardware) {
  const std::string number = "version number " + std::to_string(hardware.versionNumber);
  if (hardware.identity.agentSwaps)
    return "swapped (stored least significant byte first): " + number +
           " is 518 or more and no Xen or Microsoft hypervisor";
  if (hardware.versionNumber >= 518)
    return "as stored: a Xen or Microsoft hypervisor (\"" + hardware.signature + "\"), whatever the " + number;
  return "as stored: " + number + " is below 518" +
         (hardware.source.blockRead ? "" : "; a table found in memory carries no version");
}

// Why the agent's and the DMTF's forms differ, or not.
std::string WhyFormsDiffer(const HardwareAnswers& hardware) {
  const quarn::smbios::HardwareIdentity& id = hardware.identity;
  const quarn::smbios::TableSource& source = hardware.source;
  const std::string table = "SMBIOS " + std::to_string(source.major) + "." + std::to_string(source.minor);
  if (id.dmtfSwaps == id.agentSwaps)
    return std::string("no: both ") + (id.dmtfSwaps ? "swap the first three fields" : "print the bytes as stored") +
           " (" + table + ")";
  if (id.agentSwaps)
    return "yes: the agent swaps the first three fields from SMBIOS 2.1 on (version number 518 or more), the DMTF "
           "form from 2.6 on; this table is " +
           table;
  return "yes: the DMTF form swaps the first three fields from 2.6 on (this table is " + table +
         "); the agent prints them as stored, " +
         (source.blockRead ? "under a Xen or Microsoft hypervisor or for this version number"
                           : "having no version for a table found in memory");
}

// Beside the agent's UUID: the DMTF's form, whether and why the two differ,
// and whether the UUID is a placeholder.
void AddUuidForms(Report& report, const HardwareAnswers& hardware) {
  const quarn::smbios::HardwareIdentity& id = hardware.identity;
  const bool haveUuid = !id.agentUuid.empty();
  const bool haveDmtf = haveUuid && id.dmtfKnown;
  const std::string noUuid = "none (no UUID)", noVersion = "none (the table's version is not known)";
  report.Field("dmtf_uuid", "UUID, DMTF form", haveDmtf ? Json(id.dmtfUuid) : Json(),
               haveDmtf   ? Quoted(id.dmtfUuid)
               : haveUuid ? noVersion
                          : noUuid);
  report.Field("uuid_forms_differ", "Agent's and DMTF form differ",
               haveDmtf ? Json(id.dmtfSwaps != id.agentSwaps) : Json(),
               haveDmtf   ? WhyFormsDiffer(hardware)
               : haveUuid ? noVersion
                          : noUuid);
  const bool placeholder = haveUuid && id.placeholder;
  report.Field("uuid_placeholder", "UUID placeholder", placeholder ? Json(id.placeholder) : Json(),
               !haveUuid      ? noUuid
               : !placeholder ? std::string("no")
                              : std::string(id.placeholder) + "; every machine with it has the same identity");
}

void AddHardware(Report& report, Answers& answers) {
  const HardwareAnswers hardware = answers.Hardware();
  AddTableSource(report, hardware.source);
  report.Field("bios_uuid", "BIOS UUID", hardware.identity.agentUuid);
  report.Field("table_checksum", "Table checksum", Hex(hardware.identity.checksum), Hex(hardware.identity.checksum));
  report.Field("hypervisor_signature", "Hypervisor signature", hardware.signature);
  report.Field("xen_or_microsoft_hypervisor", "Xen or Microsoft hypervisor", hardware.xenOrMicrosoft);
  report.Field("uuid_fields_swapped", "UUID fields swapped", hardware.identity.agentSwaps, WhySwapped(hardware));
  AddUuidForms(report, hardware);
  report.Field("vm_id", "VM id", hardware.vmId);
  report.Field("caller_uuid", "Caller's uuid", hardware.callerUuid);
}

void AddVersions(Report& report, Answers& answers) {
  const VersionsAnswers v = answers.Versions();
  for (std::size_t r = 0; r < quarn::settings::kSettingCount; ++r)
    if (quarn::settings::Setting(r).Has(quarn::settings::kClientVersion))
      report.Field(quarn::settings::Setting(r).name, quarn::settings::Setting(r).label, v.clientVersion);
  // The library answers "update_00_00" when the record cannot be read:
  // said so rather than shown as a version.
  report.Field("updater_version", "Updater version", v.updaterVersion,
               v.updaterRecordRead
                   ? Quoted(v.updaterVersion)
                   : Quoted(v.updaterVersion) + " (no record: " + v.updaterRecordPath + " cannot be read)");
  report.Field("updater_version_record_read", "Updater version record read", v.updaterRecordRead);
  report.Field("client_version_detail", "Client version detail", v.clientDetailKnown ? Json(v.clientDetail) : Json(),
               v.clientDetailKnown ? ""
                                   : Quoted(v.clientDetail) +
                                         ", the 0 replaced by the size in bytes of the "
                                         "program that asks");
  report.Field("updater_version_detail", "Updater version detail", v.updaterDetail);
  report.Field("updater_pid", "Updater process id", v.updaterPidKnown ? Json(v.updaterPid) : Json(),
               !v.updaterPidKnown ? "none (" + v.updaterPidUnknownBecause + ")"
               : v.updaterPid     ? std::to_string(v.updaterPid)
                                  : std::string("0 (not running)"));
  report.Field("update_server", "Update server", v.updateServer);
  report.Field("report_url", "Report URL", v.reportUrl);
  report.Field("download_url", "Download URL", v.downloadUrl);
  report.Field("platform_download_url", "Platform download URL", v.platformDownloadUrl);
}

// A section: its title (written here only), whether it needs the machine,
// and its rows.
struct SectionRows {
  const char* title;
  bool needsMachine;
  void (*add)(Report&, Answers&);
};
const SectionRows kSections[] = {
    {"Installation", false, AddInstallation},
    {"Settings", false, AddSettings},
    {"Servers", false, AddServers},
    {"Network", true, AddNetwork},
    {"Host", true, AddHost},
    {"Hardware", true, AddHardware},
    {"Versions", false, AddVersions},
};

// Answers of nothing: every section still writes each of its keys.
class NoAnswers : public Answers {
 public:
  bool MachineAnswered() const override { return true; }
  InstallationAnswers Installation() override { return {}; }
  const SettingsAnswers& Settings() override { return m_settings; }
  ServersAnswers Servers() override { return {}; }
  NetworkAnswers Network() override { return {}; }
  HostAnswers Host() override { return {}; }
  HardwareAnswers Hardware() override { return {}; }
  VersionsAnswers Versions() override { return {}; }

 private:
  SettingsAnswers m_settings;
};

// Splits captured output into its lines, line ends dropped.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

const char kDiagnosticsTitle[] = "Diagnostics";

void AddDiagnostics(Report& report, const LibraryOutput& output, const std::string& made) {
  const char kNotCaptured[] = "(not captured: no file could be made for it; it went to standard error)";
  report.Section(kDiagnosticsTitle);
  report.Field("library_object_made", "Library object made", made.empty() || made.rfind("yes", 0) == 0,
               made.empty() ? std::string("yes") : made);
  if (output.capturedNothing)
    report.Field("library_output", "Library output", Json::array(), kNotCaptured);
  else
    report.Field("library_output", "Library output", Lines(output.text));
  if (output.logCaptured)
    report.Field("library_log", "Library log", Lines(output.log));
  else
    report.Field("library_log", "Library log", Json::array(), kNotCaptured);
}

const std::map<std::string, std::set<std::string>>& ReportSchema() {
  static const std::map<std::string, std::set<std::string>> schema = [] {
    Report report;
    NoAnswers answers;
    AddSections(report, answers);
    AddDiagnostics(report, LibraryOutput(), "");
    std::map<std::string, std::set<std::string>> keys;
    for (const auto& section : report.Canonical().sections)
      for (const auto& field : section.second) keys[section.first].insert(field.first);
    return keys;
  }();
  return schema;
}

std::vector<std::string> SectionTitles() {
  std::vector<std::string> titles;
  for (const SectionRows& section : kSections) titles.push_back(section.title);
  titles.push_back(kDiagnosticsTitle);
  return titles;
}

void AddSections(Report& report, Answers& answers, const std::string& only) {
  for (const SectionRows& section : kSections) {
    if (!only.empty() && !Report::SameTitle(only, section.title)) continue;
    if (section.needsMachine && !answers.MachineAnswered()) continue;
    report.Section(section.title);
    section.add(report, answers);
  }
}

const char* GlobalCfgStateName(GlobalCfgState state) {
  switch (state) {
    case GlobalCfgState::kExisted:
      return "existed";
    case GlobalCfgState::kCreated:
      return "created";
    case GlobalCfgState::kWouldBeCreated:
      return "would_be_created";
    case GlobalCfgState::kMissing:
      return "missing";
  }
  return "missing";
}

bool GlobalCfgStateFromName(const std::string& name, GlobalCfgState& state) {
  for (GlobalCfgState candidate :
       {GlobalCfgState::kExisted, GlobalCfgState::kCreated, GlobalCfgState::kWouldBeCreated, GlobalCfgState::kMissing})
    if (name == GlobalCfgStateName(candidate)) {
      state = candidate;
      return true;
    }
  return false;
}

}  // namespace quarn_tools

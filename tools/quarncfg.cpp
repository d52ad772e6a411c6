// quarncfg: prints what the configuration library sees on this machine, for
// the installation that this program's own directory belongs to.
#include <cstdio>
#include <cstring>
#include <list>
#include <string>

#include "Report.h"
#include "config/QuarnConfig.h"
#include "hwinfo/Hypervisor.h"
#include "hwinfo/SmbiosParsing.h"
#include "util/Platform.h"

namespace {

void Usage(std::FILE* out) {
  std::fputs(
      "Usage: quarncfg [--section NAME] [--no-resolve] [--help]\n"
      "Prints what the configuration library reads for the installation this\n"
      "program lies in: its places, its settings, its server lists and the\n"
      "machine's network identity.\n"
      "  --section NAME  print only that section (Installation, Settings, Servers,\n"
      "                  Network, Host, Hardware, Versions)\n"
      "  --no-resolve    do not look up the servers' names\n"
      "  --help          print this text\n",
      out);
}

void AddInstallation(Report& report, CQuarnConfig& config) {
  report.Section("Installation");
  report.Text("Executable directory", config.GetCurrentDir());
  report.Text("Client directory", config.GetClientDir());
  report.Text("Installation root", config.GetQuarnDir());
  report.Text("Settings directory", config.GetClientConfDir());
  report.Text("Settings file", config.GetConfigFilePath());
  report.Text("Data directory", config.GetClientDataDir());
  report.Text("Global config directory", config.GetGlobalCfgDir());
  report.Text("Updater directory", config.GetUpdateDir());
  report.Text("Updater executable name", config.GetUpdateExeName());
  report.Text("Updater executable", config.GetUpdateExePath());
  report.Text("Updater pid file", config.GetUpdatePidFilePath());
  report.Text("Updater command file", config.GetUpCmdFilePath());
  report.Text("Updater version file", config.GetUpdateVersionFilePath());
}

void AddSettings(Report& report, CQuarnConfig& config) {
  report.Section("Settings");
  report.Text("Install module", config.GetInstallModule());
  report.Value("Log level", config.GetLogLevel());
  report.Value("Log size limit (bytes)", config.GetLogFileMaxFile());
  char cpu[32];
  std::snprintf(cpu, sizeof cpu, "%g", config.GetMaxCpuUse());
  report.Value("CPU use limit (%)", cpu);
  report.Value("Memory use limit", config.GetMaxMemUse());
  report.Switch("Protect update", config.IsProtectUpdate());
  report.Switch("Protect ORU/HIDS", config.IsProtectOruHids());
  report.Switch("Send files", config.IsSendFile());
  report.Switch("Update Lua", config.IsUpdateLua());
  report.Switch("Connect to beta server", config.IsConnectToBetaServerEnabeld());
  report.Switch("VM crash check", config.IsVmCrashCheckEnabled());
  report.Switch("Velse", config.IsVelseEnabled());
  report.Switch("WAF", config.IsWafEnabled());
  report.Value("WAF rule refresh (min)", config.WafRuleRefreshInMinute());
  report.Value("WAF port refresh (min)", config.WafPortRefreshInMinute());
  report.Text("WAF configuration", config.GetWafConfig());
}

// Each server with one of its addresses, as GetIpByDomain draws it.
std::vector<std::string> WithAddresses(CQuarnConfig& config, const std::vector<std::string>& servers) {
  std::vector<std::string> lines;
  for (const std::string& server : servers) {
    const std::string address = config.GetIpByDomain(server);
    lines.push_back(server + " -> " + (address.empty() ? "(no address)" : address));
  }
  return lines;
}

void AddServers(Report& report, CQuarnConfig& config, bool resolve) {
  report.Section("Servers");
  const std::vector<std::string> services = config.GetAllSrvUrl();
  const std::vector<std::string> updates = config.GetAllUpdateUrl();
  report.List("Service servers", services);
  report.List("Update servers", updates);
  if (resolve) {
    report.Lines("Service server addresses", WithAddresses(config, services));
    report.Lines("Update server addresses", WithAddresses(config, updates));
  } else {
    report.Value("Server addresses", "not looked up (--no-resolve)");
  }
}

void AddNetwork(Report& report, CQuarnConfig& config) {
  report.Section("Network");
  report.List("Local addresses", config.GetLocalIpList());
  const std::list<std::string> hosts = config.GetHostArray();
  report.List("Usable addresses", std::vector<std::string>(hosts.begin(), hosts.end()));
  report.Text("Identity address", config.GetIdentityIp());
  report.Text("Service address", config.GetServiceIp());
}

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lX", value);
  return text;
}

void AddHost(Report& report, CQuarnConfig& config) {
  report.Section("Host");
  report.Text("Machine name", config.GetMachineName());
  report.Text("System", config.GetSysInfo());
  report.Text("Platform tag", config.GetPlatInfo());
  // The values the description is made from, as the system reports them.
  const kqt::sys::WindowsVersionInfo info = kqt::sys::CurrentPlatform().WindowsVersion();
  if (info.platformId == 0) {
    report.Value("Windows version", "none (not Windows)");
  } else {
    report.Value("Platform id", static_cast<long long>(info.platformId));
    report.Value("Version",
                 std::to_string(info.major) + "." + std::to_string(info.minor) + "." + std::to_string(info.build));
    report.Text("Service pack", std::string(info.servicePack, strnlen(info.servicePack, sizeof info.servicePack)));
    report.Value("Product type", static_cast<long long>(info.productType));
    report.Value("Suite mask", Hex(info.suiteMask));
    report.Value("Processor architecture", static_cast<long long>(info.processorArchitecture));
    report.Value("Server 2003 R2", static_cast<long long>(info.serverR2));
    report.Value("Product code", Hex(info.productCode));
  }
  report.Switch("64-bit system", kqt::sys::CurrentPlatform().IsOperatingSystem64Bit());
}

void AddHardware(Report& report, CQuarnConfig& config) {
  report.Section("Hardware");
  // Where the table comes from, and its header, as the platform gives them.
  kqt::sys::Platform& platform = kqt::sys::CurrentPlatform();
  if (platform.HasFirmwareTableService()) {
    report.Value("SMBIOS source", "firmware table service");
    const kqt::sys::FirmwareBlock block = platform.FirmwareSmbiosBlock();
    quarn::smbios::FirmwareBlockView view;
    if (block.status == kqt::sys::FirmwareBlock::kOk &&
        quarn::smbios::ReadFirmwareBlock(block.bytes.data(), block.bytes.size(), view)) {
      report.Value("SMBIOS version", std::to_string(view.major) + "." + std::to_string(view.minor) + " (number " +
                                         std::to_string(quarn::smbios::VersionNumber(view.major, view.minor)) + ")");
      report.Value("Table size (bytes)", static_cast<long long>(view.tableLength));
    } else {
      report.Value("SMBIOS version", "none (the service gave no table)");
    }
  } else {
    report.Value("SMBIOS source", "physical memory (BIOS area)");
  }
  report.Text("BIOS UUID", config.GetBiosUuid());
  report.Value("Table checksum", Hex(config.GetBiosHash()));
  char signature[13];
  GetHypervisorSignature(signature, sizeof signature);
  report.Text("Hypervisor signature", signature);
  report.Switch("Xen or Microsoft hypervisor", IsXenOrMicrosoftHypervisor() != 0);
}

void AddVersions(Report& report, CQuarnConfig& config) {
  report.Section("Versions");
  report.Text("Client version", config.GetCurrentVersion());
  report.Text("Updater version", config.GetUpdateVersion());
  report.Text("Client version detail", config.GetVersionDetail());
  report.Text("Updater version detail", config.GetUpdateVerDetail());
  const int pid = config.GetUpdatePid();
  report.Value("Updater process id", pid ? std::to_string(pid) : std::string("0 (not running)"));
  report.Text("Update server", config.GetUpdateServerPreDomain());
  report.Text("Report URL", config.GetPostSrvUrl());
  report.Text("Download URL", config.GetDownLoadPreUrl());
  report.Text("Platform download URL", config.GetDownLoadPlatformUrl());
}

}  // namespace

int main(int argc, char** argv) {
  std::string only;
  bool resolve = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      Usage(stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--no-resolve") == 0) {
      resolve = false;
      continue;
    }
    if (std::strcmp(argv[i], "--section") == 0 && i + 1 < argc) {
      only = argv[++i];
      continue;
    }
    std::fprintf(stderr, "quarncfg: unknown argument '%s'\n", argv[i]);
    Usage(stderr);
    return 2;
  }

  CQuarnConfig* config = CSingleton<CQuarnConfig>::NewInstance();
  Report report;
  AddInstallation(report, *config);
  AddSettings(report, *config);
  AddServers(report, *config, resolve);
  AddNetwork(report, *config);
  AddHost(report, *config);
  AddHardware(report, *config);
  AddVersions(report, *config);
  CSingleton<CQuarnConfig>::RemoveInstance();

  if (!only.empty() && !report.HasSection(only)) {
    std::fprintf(stderr, "quarncfg: no section '%s'\n", only.c_str());
    return 2;
  }
  report.Print(stdout, only);
  return 0;
}

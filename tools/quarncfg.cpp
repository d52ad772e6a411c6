// quarncfg: prints what the configuration library sees on this machine, for
// the installation that this program's own directory belongs to.
#include <cstdio>
#include <cstring>
#include <string>

#include "Report.h"
#include "config/QuarnConfig.h"

namespace {

void Usage(std::FILE* out) {
  std::fputs(
      "Usage: quarncfg [--section NAME] [--help]\n"
      "Prints what the configuration library reads for the installation this\n"
      "program lies in: its places, its settings and its server lists.\n"
      "  --section NAME  print only that section (Installation, Settings, Servers)\n"
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

void AddServers(Report& report, CQuarnConfig& config) {
  report.Section("Servers");
  report.List("Service servers", config.GetAllSrvUrl());
  report.List("Update servers", config.GetAllUpdateUrl());
}

}  // namespace

int main(int argc, char** argv) {
  std::string only;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      Usage(stdout);
      return 0;
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
  AddServers(report, *config);
  CSingleton<CQuarnConfig>::RemoveInstance();

  if (!only.empty() && !report.HasSection(only)) {
    std::fprintf(stderr, "quarncfg: no section '%s'\n", only.c_str());
    return 2;
  }
  report.Print(stdout, only);
  return 0;
}

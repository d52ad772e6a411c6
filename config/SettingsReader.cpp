// Reading "cli_config.ini" and the domain override file "domaincfg.ini".
//
// Both are INI files whose keys live in the unnamed section (before any
// section header). Key names match without regard to case; a malformed number
// or switch takes the key's default.
#include <SimpleIni.h>

#include <algorithm>
#include <climits>

#include "config/DeploymentDefaults.h"
#include "config/QuarnConfig.h"
#include "config/SettingsDefaults.h"
#include "util/LogMessage.h"
#include "util/StringUtil.h"
#include "util/platform/ReadFile.h"

namespace {

namespace D = quarn::defaults;

// True until the first settings read of the process: only the first
// configuration object takes the CPU and memory limits from the file.
bool g_bFirstReadConfig = true;

const char kSection[] = "";

// The largest settings or override file read: far above any real one (a few
// hundred bytes), and small enough that a hostile file cannot make the read
// take long or much memory.
const std::size_t kMostSettingsFileBytes = std::size_t{1} << 20;

// An integer key as a signed 32-bit value. SimpleIni converts into a long,
// which is 64 bits wide on LP64 systems: saturate there as a 32-bit long
// does on Windows, so "4294967297" reads as INT_MAX everywhere (not 1).
int ReadInt(const CSimpleIniA& ini, const char* key, int defaultValue) {
  const long long value = ini.GetLongValue(kSection, key, defaultValue);
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool ReadBool(const CSimpleIniA& ini, const char* key, bool defaultValue) {
  return ini.GetBoolValue(kSection, key, defaultValue);
}

std::string ReadText(const CSimpleIniA& ini, const char* key, const char* defaultValue) {
  const char* value = ini.GetValue(kSection, key, defaultValue);
  return value ? value : std::string();
}

// Loads an INI file from one bounded read of a regular file. The file is
// opened first and then examined, so a FIFO or device swapped in for it
// never blocks the read (which holds the settings lock); a file larger than
// kMostSettingsFileBytes counts as unreadable.
bool LoadIni(CSimpleIniA& ini, const std::string& path) {
  std::string content;
  if (kqt::sys::ReadRegularFile(path, kMostSettingsFileBytes, content) != kqt::sys::ReadStatus::kOk) return false;
  return ini.LoadData(content.data(), content.size()) >= 0;
}

void AppendNonEmptyItems(std::vector<std::string>& list, const std::string& value) {
  for (std::string& item : kqt::CStringUtil::stringSplit(value, "|", false))
    if (!item.empty()) list.push_back(std::move(item));
}

}  // namespace

bool CQuarnConfig::ReadConfig(const std::string& path) {
  kqt::CWriteLockUtil hold(m_rwLock);
  bool result = true;

  CSimpleIniA settings(false, false, false);
  if (!LoadIni(settings, path)) {
    kqt::CLogMessage::GetInstance()->log(kqt::CLogMessage::kErrorLevel, "QuarnConfig", 283, "load config error: %s",
                                         path.c_str());
    result = false;  // go on: every key below then takes its default
  }

  m_strCurrentVersion = ReadText(settings, "current_version", D::kCurrentVersion);
  m_strInstallModule = ReadText(settings, "defaultinstall", D::kInstallModule);
  if (m_strInstallModule.empty()) result = false;

  m_nLogLevel = ReadInt(settings, "loglevel", D::kLogLevel);
  kqt::CLogMessage::GetInstance()->SetLogLevel(m_nLogLevel);
  m_llLogMaxSize = ReadInt(settings, "logmaxsize", D::kLogMaxSize);

  if (g_bFirstReadConfig) {
    m_dMaxCpuUse = ReadInt(settings, "max_cpuuse", D::kMaxCpuUse);
    m_nMaxMemUse = ReadInt(settings, "max_memuse", D::kMaxMemUse);
    if (m_dMaxCpuUse <= 0 || m_dMaxCpuUse > D::kHighestMaxCpuUse) m_dMaxCpuUse = D::kMaxCpuUse;
    if (m_nMaxMemUse <= 0 || m_nMaxMemUse > D::kHighestMaxMemUse) m_nMaxMemUse = D::kMaxMemUse;
    g_bFirstReadConfig = false;
  }

  m_bProtectUpdate = ReadBool(settings, "protectupdate", D::kProtectUpdate);
  m_bProtectOruHids = ReadBool(settings, "protectoruhids", D::kProtectOruHids);
  m_bSendFile = ReadBool(settings, "sendfile", D::kSendFile);
  m_bUpdateLua = ReadBool(settings, "updatelua", D::kUpdateLua);
  m_bConnectBeta = ReadBool(settings, "connect_beta", D::kConnectBeta);
  m_bVmCrashCheck = ReadBool(settings, "vm_crash_check", D::kVmCrashCheck);
  m_bVelseEnable = ReadBool(settings, "velse_enable", D::kVelseEnable);
  m_bVelseWafEnable = ReadBool(settings, "velse_waf_enable", D::kVelseWafEnable);

  m_nWafRuleRefresh = ReadInt(settings, "velse_waf_rule_refresh", D::kWafRuleRefresh);
  m_nWafPortRefresh = ReadInt(settings, "velse_waf_port_refresh", D::kWafPortRefresh);
  if (m_nWafRuleRefresh <= 0) m_nWafRuleRefresh = D::kWafRuleRefresh;
  if (m_nWafPortRefresh <= 0) m_nWafPortRefresh = D::kWafPortRefresh;

  m_strWafConfig = ReadText(settings, "waf_cfg", D::kWafConfig);

  // The override file replaces a list with its items, exactly as split;
  // the settings file's items (or the defaults) are then appended.
  const std::string overridePath = m_dirGlobalCfg.absolutePath() + "/domaincfg.ini";
  {
    CSimpleIniA overrides(false, false, false);
    if (LoadIni(overrides, overridePath)) {
      const std::string services = ReadText(overrides, "srv_domain", "");
      const std::string updates = ReadText(overrides, "update_srv_domain", "");
      if (!services.empty()) m_vecSrvHosts = kqt::CStringUtil::stringSplit(services, "|", false);
      if (!updates.empty()) m_vecUpdateHosts = kqt::CStringUtil::stringSplit(updates, "|", false);
    }
  }
  AppendNonEmptyItems(m_vecSrvHosts, ReadText(settings, "srv_domain", quarn::kDefaultServiceServers));
  AppendNonEmptyItems(m_vecUpdateHosts, ReadText(settings, "update_srv_domain", quarn::kDefaultUpdateServers));

  return result;
}

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
#include "util/FileUtil.h"
#include "util/LogMessage.h"
#include "util/StringUtil.h"

namespace {

// True until the first settings read of the process: only the first
// configuration object takes the CPU and memory limits from the file.
bool g_bFirstReadConfig = true;

const char kSection[] = "";
const int kLogErrorLevel = 2;

// Bounds applied after reading.
const int kDefaultMaxCpuUse = 10;
const int kHighestMaxCpuUse = 90;
const int kDefaultMaxMemUse = 51200;
const int kHighestMaxMemUse = 122880;
const int kDefaultWafRuleRefresh = 720;
const int kDefaultWafPortRefresh = 1440;

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

// Loads an INI file. Only a regular file is handed to the reader: a
// directory or device at that path counts as unreadable.
bool LoadIni(CSimpleIniA& ini, const std::string& path) {
  return kqt::CFileUtil::IsFile(path) && ini.LoadFile(path.c_str()) >= 0;
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
    kqt::CLogMessage::GetInstance()->log(kLogErrorLevel, "QuarnConfig", 283, "load config error: %s", path.c_str());
    result = false;  // go on: every key below then takes its default
  }

  m_strCurrentVersion = ReadText(settings, "current_version", "quarn_00_90");
  m_strInstallModule = ReadText(settings, "defaultinstall", "");
  if (m_strInstallModule.empty()) result = false;

  m_nLogLevel = ReadInt(settings, "loglevel", kqt::CLogMessage::kDefaultLevel);
  kqt::CLogMessage::GetInstance()->SetLogLevel(m_nLogLevel);
  m_llLogMaxSize = ReadInt(settings, "logmaxsize", 0x100000);

  if (g_bFirstReadConfig) {
    m_dMaxCpuUse = ReadInt(settings, "max_cpuuse", kDefaultMaxCpuUse);
    m_nMaxMemUse = ReadInt(settings, "max_memuse", kDefaultMaxMemUse);
    if (m_dMaxCpuUse <= 0 || m_dMaxCpuUse > kHighestMaxCpuUse) m_dMaxCpuUse = kDefaultMaxCpuUse;
    if (m_nMaxMemUse <= 0 || m_nMaxMemUse > kHighestMaxMemUse) m_nMaxMemUse = kDefaultMaxMemUse;
    g_bFirstReadConfig = false;
  }

  m_bProtectUpdate = ReadBool(settings, "protectupdate", true);
  m_bProtectOruHids = ReadBool(settings, "protectoruhids", true);
  m_bSendFile = ReadBool(settings, "sendfile", true);
  m_bUpdateLua = ReadBool(settings, "updatelua", true);
  m_bConnectBeta = ReadBool(settings, "connect_beta", false);
  m_bVmCrashCheck = ReadBool(settings, "vm_crash_check", false);
  m_bVelseEnable = ReadBool(settings, "velse_enable", false);
  m_bVelseWafEnable = ReadBool(settings, "velse_waf_enable", false);

  m_nWafRuleRefresh = ReadInt(settings, "velse_waf_rule_refresh", kDefaultWafRuleRefresh);
  m_nWafPortRefresh = ReadInt(settings, "velse_waf_port_refresh", kDefaultWafPortRefresh);
  if (m_nWafRuleRefresh <= 0) m_nWafRuleRefresh = kDefaultWafRuleRefresh;
  if (m_nWafPortRefresh <= 0) m_nWafPortRefresh = kDefaultWafPortRefresh;

  m_strWafConfig = ReadText(settings, "waf_cfg", "");

  // The override file replaces a list with its items, exactly as split;
  // the settings file's items (or the defaults) are then appended.
  const std::string overridePath = m_dirGlobalCfg.absolutePath() + "/domaincfg.ini";
  if (kqt::CFileUtil::IsFile(overridePath)) {
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

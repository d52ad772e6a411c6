// Reading "cli_config.ini" and the domain override file "domaincfg.ini".
//
// Both are INI files whose keys live in the unnamed section (before any
// section header). Key names match without regard to case; a malformed number
// or switch takes the key's default.
#include "config/QuarnConfig.h"

#include <algorithm>

#include "config/SettingsRules.h"
#include "util/LogMessage.h"
#include "util/platform/ReadFile.h"

namespace {

namespace S = quarn::settings;
using S::KeyId;

// True until the first settings read of the process: only the first
// configuration object takes the CPU and memory limits from the file.
bool g_bFirstReadConfig = true;

// Loads an INI file from one bounded read of a regular file. The file is
// opened first and then examined, so a FIFO or device swapped in for it
// never blocks the read (which holds the settings lock); a file larger than
// the settings files' limit counts as unreadable.
bool LoadIni(S::SettingsIni& ini, const std::string& path) {
  std::string content;
  if (kqt::sys::ReadRegularFile(path, S::kMostFileBytes, content) != kqt::sys::ReadStatus::kOk) return false;
  return ini.Load(content);
}

void AppendNonEmptyItems(std::vector<std::string>& list, std::vector<std::string> items) {
  // One allocation for the lot: a long list would otherwise be moved
  // again at every doubling. Room for the items kept only: a value of
  // separators alone must not leave a list holding room for a million.
  const auto kept = items.size() - static_cast<std::size_t>(std::count(items.begin(), items.end(), std::string()));
  list.reserve(list.size() + kept);
  for (std::string& item : items)
    if (!item.empty()) list.push_back(std::move(item));
}

}  // namespace

bool CQuarnConfig::ReadConfig(const std::string& path) {
  kqt::CWriteLockUtil hold(m_rwLock);
  bool result = true;

  S::SettingsIni settings;
  if (!LoadIni(settings, path)) {
    kqt::CLogMessage::GetInstance()->log(kqt::CLogMessage::kErrorLevel, "QuarnConfig", 283, "load config error: %s",
                                         path.c_str());
    result = false;  // go on: every key below then takes its default
  }

  // Each key's value, its default and bounds applied, as the settings rules
  // give it.
  m_strCurrentVersion = settings.Read(KeyId::kCurrentVersion).text;
  m_strInstallModule = settings.Read(KeyId::kInstallModule).text;
  if (m_strInstallModule.empty()) result = false;

  m_nLogLevel = settings.Read(KeyId::kLogLevel).number;
  kqt::CLogMessage::GetInstance()->SetLogLevel(m_nLogLevel);
  m_llLogMaxSize = settings.Read(KeyId::kLogMaxSize).number;

  if (g_bFirstReadConfig) {
    m_dMaxCpuUse = settings.Read(KeyId::kMaxCpuUse).number;
    m_nMaxMemUse = settings.Read(KeyId::kMaxMemUse).number;
    g_bFirstReadConfig = false;
  }

  m_bProtectUpdate = settings.Read(KeyId::kProtectUpdate).flag;
  m_bProtectOruHids = settings.Read(KeyId::kProtectOruHids).flag;
  m_bSendFile = settings.Read(KeyId::kSendFile).flag;
  m_bUpdateLua = settings.Read(KeyId::kUpdateLua).flag;
  m_bConnectBeta = settings.Read(KeyId::kConnectBeta).flag;
  m_bVmCrashCheck = settings.Read(KeyId::kVmCrashCheck).flag;
  m_bVelseEnable = settings.Read(KeyId::kVelseEnable).flag;
  m_bVelseWafEnable = settings.Read(KeyId::kVelseWafEnable).flag;

  m_nWafRuleRefresh = settings.Read(KeyId::kWafRuleRefresh).number;
  m_nWafPortRefresh = settings.Read(KeyId::kWafPortRefresh).number;

  m_strWafConfig = settings.Read(KeyId::kWafConfig).text;

  // The override file replaces a list with its items, exactly as split;
  // the settings file's items (or the defaults) are then appended.
  const std::string overridePath = m_dirGlobalCfg.absolutePath() + "/domaincfg.ini";
  {
    S::SettingsIni overrides;
    if (LoadIni(overrides, overridePath)) {
      const char* services = overrides.Raw("srv_domain");
      const char* updates = overrides.Raw("update_srv_domain");
      if (services && *services) m_vecSrvHosts = S::SplitList(services);
      if (updates && *updates) m_vecUpdateHosts = S::SplitList(updates);
    }
  }
  AppendNonEmptyItems(m_vecSrvHosts, settings.Read(KeyId::kServiceServers).items);
  AppendNonEmptyItems(m_vecUpdateHosts, settings.Read(KeyId::kUpdateServers).items);

  return result;
}

// Reading "cli_config.ini" and the domain override file "domaincfg.ini".
//
// Both are INI files whose keys live in the unnamed section (before any
// section header). Key names match without regard to case; a malformed number
// or switch takes the key's default.
#include "config/QuarnConfig.h"

#include <utility>

#include "config/LayoutRules.h"
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

  // The override file, whose items come before the settings file's in
  // each server list.
  S::SettingsIni overrides;
  const bool overridden = LoadIni(overrides, quarn::layout::OverrideFilePath(m_dirGlobalCfg.absolutePath()));

  // Every key in the table's order, its default and bounds applied as the
  // settings rules give it; the resource limits on the first read of the
  // process only.
  for (std::size_t i = 0; i < S::kKeyCount; ++i) {
    const KeyId id = static_cast<KeyId>(i);
    if (S::SettingsKey(id).firstReadOnly && !g_bFirstReadConfig) continue;
    S::Reading reading = settings.Read(id);  // its list items are moved into the list
    switch (id) {
      case KeyId::kCurrentVersion:
        m_strCurrentVersion = reading.text;
        break;
      case KeyId::kInstallModule:
        m_strInstallModule = reading.text;
        if (m_strInstallModule.empty()) result = false;
        break;
      case KeyId::kLogLevel:
        m_nLogLevel = reading.number;
        kqt::CLogMessage::GetInstance()->SetLogLevel(m_nLogLevel);
        break;
      case KeyId::kLogMaxSize:
        m_llLogMaxSize = reading.number;
        break;
      case KeyId::kMaxCpuUse:
        m_dMaxCpuUse = reading.number;
        break;
      case KeyId::kMaxMemUse:
        m_nMaxMemUse = reading.number;
        break;
      case KeyId::kProtectUpdate:
        m_bProtectUpdate = reading.flag;
        break;
      case KeyId::kProtectOruHids:
        m_bProtectOruHids = reading.flag;
        break;
      case KeyId::kSendFile:
        m_bSendFile = reading.flag;
        break;
      case KeyId::kUpdateLua:
        m_bUpdateLua = reading.flag;
        break;
      case KeyId::kConnectBeta:
        m_bConnectBeta = reading.flag;
        break;
      case KeyId::kVmCrashCheck:
        m_bVmCrashCheck = reading.flag;
        break;
      case KeyId::kVelseEnable:
        m_bVelseEnable = reading.flag;
        break;
      case KeyId::kVelseWafEnable:
        m_bVelseWafEnable = reading.flag;
        break;
      case KeyId::kWafRuleRefresh:
        m_nWafRuleRefresh = reading.number;
        break;
      case KeyId::kWafPortRefresh:
        m_nWafPortRefresh = reading.number;
        break;
      case KeyId::kWafConfig:
        m_strWafConfig = reading.text;
        break;
      case KeyId::kServiceServers:
      case KeyId::kUpdateServers: {
        std::vector<std::string>& list = id == KeyId::kServiceServers ? m_vecSrvHosts : m_vecUpdateHosts;
        S::MergeServerList(list, overridden ? overrides.Raw(S::SettingsKey(id).name) : nullptr,
                           std::move(reading.items));
        break;
      }
    }
  }
  g_bFirstReadConfig = false;

  return result;
}

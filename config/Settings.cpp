// The settings: their read from "cli_config.ini" and "domaincfg.ini", the
// getters, the two setters of the resource limits, and the client's version
// detail made of its version. The settings rules read the files into a
// record; the object keeps it under the settings lock, and every getter
// hands a field of it through unchanged.
#include "config/LayoutRules.h"
#include "config/QuarnConfig.h"
#include "config/SettingsRules.h"
#include "util/FileCom.h"
#include "util/LogMessage.h"
#include "util/ToolUtil.h"
#include "util/platform/ReadFile.h"

using kqt::CReadLockUtil;
using kqt::CWriteLockUtil;

namespace {

namespace S = quarn::settings;

// True until the first settings read of the process: only the first
// configuration object takes the CPU and memory limits from the file.
bool g_bFirstReadConfig = true;

// A settings file's text from one bounded read of a regular file, or false.
// The file is opened first and then examined, so a FIFO or device swapped in
// for it never blocks the read (which holds the settings lock); a file larger
// than the settings files' limit counts as unreadable.
bool ReadSettingsText(const std::string& path, std::string& text) {
  return kqt::sys::ReadRegularFile(path, S::kMostFileBytes, text) == kqt::sys::ReadStatus::kOk;
}

}  // namespace

bool CQuarnConfig::ReadConfig(const std::string& path) {
  CWriteLockUtil hold(m_rwLock);
  std::string settingsText, overrideText;
  const bool settingsRead = ReadSettingsText(path, settingsText);
  const bool overrideRead =
      ReadSettingsText(quarn::layout::OverrideFilePath(m_dirGlobalCfg.absolutePath()), overrideText);
  S::SettingsReading reading =
      S::ReadSettings(settingsRead ? &settingsText : nullptr, overrideRead ? &overrideText : nullptr,
                      std::move(*m_settings), g_bFirstReadConfig);
  *m_settings = std::move(reading.record);
  // Logged before the file's log level applies, as the file was not read.
  if (!reading.settingsLoaded)
    kqt::CLogMessage::GetInstance()->log(kqt::CLogMessage::kErrorLevel, "QuarnConfig", 283, "load config error: %s",
                                         path.c_str());
  kqt::CLogMessage::GetInstance()->SetLogLevel(m_settings->logLevel);
  g_bFirstReadConfig = false;
  return reading.complete;
}

std::string CQuarnConfig::GetCurrentVersion() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->currentVersion;
}

// "win32_<client version>_<size of this program's executable in bytes>".
std::string CQuarnConfig::GetVersionDetail() {
  const std::string version = GetCurrentVersion();
  kqt::CFileCom executable(kqt::CToolUtil::GetApplicationFilePath());
  executable.open(kqt::CFileCom::ReadOnly);
  return quarn::layout::VersionDetail(version, executable.size());
}

double CQuarnConfig::GetMaxCpuUse() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->maxCpuUse;
}

int CQuarnConfig::GetMaxMemUse() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->maxMemUse;
}

void CQuarnConfig::SetMaxCpuUse(double percent) {
  CWriteLockUtil hold(m_rwLock);
  m_settings->maxCpuUse = percent;
}

void CQuarnConfig::SetMaxMemUse(int megabytes) {
  CWriteLockUtil hold(m_rwLock);
  m_settings->maxMemUse = megabytes;
}

int CQuarnConfig::GetLogLevel() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->logLevel;
}

long long CQuarnConfig::GetLogFileMaxFile() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->logMaxSize;
}

std::string CQuarnConfig::GetInstallModule() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->installModule;
}

bool CQuarnConfig::IsProtectUpdate() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->protectUpdate;
}

bool CQuarnConfig::IsProtectOruHids() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->protectOruHids;
}

bool CQuarnConfig::IsSendFile() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->sendFile;
}

bool CQuarnConfig::IsUpdateLua() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->updateLua;
}

bool CQuarnConfig::IsConnectToBetaServerEnabeld() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->connectBeta;
}

bool CQuarnConfig::IsVmCrashCheckEnabled() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->vmCrashCheck;
}

bool CQuarnConfig::IsVelseEnabled() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->velseEnable;
}

bool CQuarnConfig::IsWafEnabled() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->velseWafEnable;
}

int CQuarnConfig::WafRuleRefreshInMinute() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->wafRuleRefresh;
}

int CQuarnConfig::WafPortRefreshInMinute() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->wafPortRefresh;
}

std::string CQuarnConfig::GetWafConfig() {
  CReadLockUtil hold(m_rwLock);
  return m_settings->wafConfig;
}

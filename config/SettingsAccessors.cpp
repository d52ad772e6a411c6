// Getters and the two setters of the settings: each holds the settings lock
// for its whole body and hands values through unchanged.
#include "config/QuarnConfig.h"

using kqt::CReadLockUtil;
using kqt::CWriteLockUtil;

std::string CQuarnConfig::GetCurrentVersion() {
  CReadLockUtil hold(m_rwLock);
  return m_strCurrentVersion;
}

double CQuarnConfig::GetMaxCpuUse() {
  CReadLockUtil hold(m_rwLock);
  return m_dMaxCpuUse;
}

int CQuarnConfig::GetMaxMemUse() {
  CReadLockUtil hold(m_rwLock);
  return m_nMaxMemUse;
}

void CQuarnConfig::SetMaxCpuUse(double percent) {
  CWriteLockUtil hold(m_rwLock);
  m_dMaxCpuUse = percent;
}

void CQuarnConfig::SetMaxMemUse(int megabytes) {
  CWriteLockUtil hold(m_rwLock);
  m_nMaxMemUse = megabytes;
}

int CQuarnConfig::GetLogLevel() {
  CReadLockUtil hold(m_rwLock);
  return m_nLogLevel;
}

long long CQuarnConfig::GetLogFileMaxFile() {
  CReadLockUtil hold(m_rwLock);
  return m_llLogMaxSize;
}

std::string CQuarnConfig::GetInstallModule() {
  CReadLockUtil hold(m_rwLock);
  return m_strInstallModule;
}

bool CQuarnConfig::IsProtectUpdate() {
  CReadLockUtil hold(m_rwLock);
  return m_bProtectUpdate;
}

bool CQuarnConfig::IsProtectOruHids() {
  CReadLockUtil hold(m_rwLock);
  return m_bProtectOruHids;
}

bool CQuarnConfig::IsSendFile() {
  CReadLockUtil hold(m_rwLock);
  return m_bSendFile;
}

bool CQuarnConfig::IsUpdateLua() {
  CReadLockUtil hold(m_rwLock);
  return m_bUpdateLua;
}

bool CQuarnConfig::IsConnectToBetaServerEnabeld() {
  CReadLockUtil hold(m_rwLock);
  return m_bConnectBeta;
}

bool CQuarnConfig::IsVmCrashCheckEnabled() {
  CReadLockUtil hold(m_rwLock);
  return m_bVmCrashCheck;
}

bool CQuarnConfig::IsVelseEnabled() {
  CReadLockUtil hold(m_rwLock);
  return m_bVelseEnable;
}

bool CQuarnConfig::IsWafEnabled() {
  CReadLockUtil hold(m_rwLock);
  return m_bVelseWafEnable;
}

int CQuarnConfig::WafRuleRefreshInMinute() {
  CReadLockUtil hold(m_rwLock);
  return m_nWafRuleRefresh;
}

int CQuarnConfig::WafPortRefreshInMinute() {
  CReadLockUtil hold(m_rwLock);
  return m_nWafPortRefresh;
}

std::string CQuarnConfig::GetWafConfig() {
  CReadLockUtil hold(m_rwLock);
  return m_strWafConfig;
}

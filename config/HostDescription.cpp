// The machine name, the system description and the platform tag. They are
// collected at construction and again whenever a getter finds its text
// empty; m_rwLockSysInfo keeps a reader from seeing a half-written text.
#include "config/QuarnConfig.h"
#include "config/WindowsDescription.h"
#include "config/platform/HostPlatform.h"
#include "util/LogMessage.h"
#include "util/ToolUtil.h"

void CQuarnConfig::InitSysInfo() {
  std::string machineName;
  if (!quarn::sys::CurrentHostPlatform().HostName(machineName)) machineName.clear();
  std::string sysInfo = GetWinVersion();
  std::string platInfo = quarn::PlatformTag(GetWinVersion(), kqt::CToolUtil::IsX64System());

  kqt::CWriteLockUtil hold(m_rwLockSysInfo);
  m_strMachineName.swap(machineName);
  m_strSysInfo.swap(sysInfo);
  m_strPlatInfo.swap(platInfo);
}

std::string CQuarnConfig::HostText(const std::string& member) {
  {
    kqt::CReadLockUtil hold(m_rwLockSysInfo);
    if (!member.empty()) return member;
  }
  InitSysInfo();
  kqt::CReadLockUtil hold(m_rwLockSysInfo);
  return member;
}

std::string CQuarnConfig::GetMachineName() { return HostText(m_strMachineName); }

std::string CQuarnConfig::GetSysInfo() { return HostText(m_strSysInfo); }

std::string CQuarnConfig::GetPlatInfo() { return HostText(m_strPlatInfo); }

std::string CQuarnConfig::GetWinVersion() {
  std::string result;
  try {
    std::string text;
    if (GetSysPlatform(text) && !text.empty()) result.swap(text);
  } catch (...) {
    kqt::CLogMessage::GetInstance()->WriteLogMessage("catch CQuarnConfig::GetWinVersion error",
                                                     kqt::CLogMessage::kErrorLevel);
  }
  return result;
}

bool CQuarnConfig::GetSysPlatform(std::string& text) {
  return quarn::AppendWindowsDescription(quarn::sys::CurrentHostPlatform().WindowsVersion(), text);
}

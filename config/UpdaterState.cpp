// The updater's version record, the version texts reported to the servers,
// and the running updater's process id.
#include "config/QuarnConfig.h"
#include "util/FileCom.h"
#include "util/FileUtil.h"
#include "util/ProcessUtil.h"
#include "util/StringUtil.h"
#include "util/ToolUtil.h"

namespace {
// The platform part of the version texts: the same on 32- and 64-bit Windows.
const char kPlatformPrefix[] = "win32_";
const char kNoUpdateVersion[] = "update_00_00";
const unsigned long long kRetryDelayMs = 500;
}  // namespace

bool CQuarnConfig::ReadUpdateVersion() {
  kqt::CMutexLockUtil hold(m_mutexUpdateVersion);
  std::string line;
  if (m_dirUpdate.exists() && kqt::CFileUtil::ReadLine(GetUpdateVersionFilePath(), line)) {
    m_strUpdateVersion = kqt::CStringUtil::stringTrimmed(line);
    return true;
  }
  m_strUpdateVersion = kNoUpdateVersion;
  return false;
}

std::string CQuarnConfig::GetUpdateVersion() {
  // The updater may be rewriting its record: give it one more chance. The
  // mutex is not held while waiting.
  if (!ReadUpdateVersion()) {
    kqt::CToolUtil::msleep(kRetryDelayMs);
    ReadUpdateVersion();
  }
  kqt::CMutexLockUtil hold(m_mutexUpdateVersion);
  return m_strUpdateVersion;
}

std::string CQuarnConfig::GetVersionDetail() {
  std::string detail = kPlatformPrefix + GetCurrentVersion();
  kqt::CFileCom executable(kqt::CToolUtil::GetApplicationFilePath());
  executable.open(kqt::CFileCom::ReadOnly);
  return detail + "_" + kqt::CStringUtil::IntToString(executable.size(), nullptr, 10);
}

std::string CQuarnConfig::GetUpdateVerDetail() {
  std::string detail = kPlatformPrefix + GetUpdateVersion();
  const long long size = static_cast<long long>(kqt::CFileUtil::GetFileSize(GetUpdateExePath()));
  return detail + "_" + kqt::CStringUtil::IntToString(size, nullptr, 10);
}

int CQuarnConfig::GetUpdatePid() {
  const std::vector<kqt::ProcessEntry> updaters = kqt::GetProcessUtil()->GetProcessListByName(GetUpdateExeName());
  return updaters.empty() ? 0 : static_cast<int>(updaters.front().pid);
}

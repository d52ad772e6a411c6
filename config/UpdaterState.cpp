// The updater's version record, the version texts reported to the servers,
// and the running updater's process id.
#include "config/LayoutRules.h"
#include "config/QuarnConfig.h"
#include "util/FileUtil.h"
#include "util/ProcessUtil.h"
#include "util/StringUtil.h"
#include "util/ToolUtil.h"

namespace {
const unsigned long long kRetryDelayMs = 500;
}  // namespace

bool CQuarnConfig::ReadUpdateVersion() {
  kqt::CMutexLockUtil hold(m_mutexUpdateVersion);
  return quarn::layout::ReadUpdateVersionRecord(m_dirUpdate.absolutePath(), m_strUpdateVersion);
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

std::string CQuarnConfig::GetUpdateVerDetail() {
  const std::string version = GetUpdateVersion();
  const long long size = static_cast<long long>(kqt::CFileUtil::GetFileSize(GetUpdateExePath()));
  return quarn::layout::VersionDetail(version, size);
}

int CQuarnConfig::GetUpdatePid() {
  const std::vector<kqt::ProcessEntry> updaters = kqt::GetProcessUtil()->GetProcessListByName(GetUpdateExeName());
  return updaters.empty() ? 0 : static_cast<int>(updaters.front().pid);
}

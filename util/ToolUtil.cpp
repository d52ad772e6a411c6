#include "util/ToolUtil.h"

#include "util/platform/Platform.h"

namespace kqt {

std::string CToolUtil::GetApplicationFilePath() { return sys::CurrentPlatform().ExecutablePath(); }

std::string CToolUtil::GetApplicationDirPath() {
  const std::string file = GetApplicationFilePath();
  const std::string::size_type slash = file.find_last_of('/');
  if (slash == std::string::npos) return std::string();
  std::string dir = file.substr(0, slash);
  // Keep a root a root: "/x" lies in "/", "C:/x.exe" in "C:/".
  if (dir.empty() || (dir.size() == 2 && dir[1] == ':')) dir += '/';
  return dir;
}

bool CToolUtil::IsX64System() { return sys::CurrentPlatform().IsOperatingSystem64Bit(); }

void CToolUtil::msleep(unsigned long long milliseconds) { sys::CurrentPlatform().SleepMilliseconds(milliseconds); }

}  // namespace kqt

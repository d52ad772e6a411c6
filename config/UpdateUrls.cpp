// The update server's host name and the URLs built on it. Fixed at build
// time: neither the settings nor the server lists change them.
#include "config/DeploymentDefaults.h"
#include "config/QuarnConfig.h"

std::string CQuarnConfig::GetUpdateServerPreDomain() { return quarn::kUpdateServerHost; }

std::string CQuarnConfig::GetPostSrvUrl() { return std::string("http://") + quarn::kUpdateServerHost + "/update"; }

std::string CQuarnConfig::GetDownLoadPlatformUrl() { return GetDownLoadPreUrl() + "win32/"; }

std::string CQuarnConfig::GetDownLoadPreUrl() {
  return std::string("http://") + quarn::kUpdateServerHost + "/download/";
}

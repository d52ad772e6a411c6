// The update server's host name and the URLs built on it (config/UrlRules).
#include "config/QuarnConfig.h"
#include "config/UrlRules.h"

std::string CQuarnConfig::GetUpdateServerPreDomain() { return quarn::urls::UpdateServer(); }

std::string CQuarnConfig::GetPostSrvUrl() { return quarn::urls::ReportUrl(); }

std::string CQuarnConfig::GetDownLoadPlatformUrl() { return quarn::urls::PlatformDownloadUrl(); }

std::string CQuarnConfig::GetDownLoadPreUrl() { return quarn::urls::DownloadUrl(); }

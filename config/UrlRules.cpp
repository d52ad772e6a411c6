#include "config/UrlRules.h"

#include "config/DeploymentDefaults.h"

namespace quarn {
namespace urls {

std::string UpdateServer() { return quarn::kUpdateServerHost; }

std::string ReportUrl() { return "http://" + UpdateServer() + "/update"; }

std::string DownloadUrl() { return "http://" + UpdateServer() + "/download/"; }

std::string PlatformDownloadUrl() { return DownloadUrl() + "win32/"; }

}  // namespace urls
}  // namespace quarn

// The update server and the URLs built on it: fixed when the library is
// built (deployment settings), changed by neither the settings files nor the
// server lists.
#ifndef QUARN_CONFIG_URLRULES_H
#define QUARN_CONFIG_URLRULES_H

#include <string>

namespace quarn {
namespace urls {

std::string UpdateServer();         // the update server's host name
std::string ReportUrl();            // "http://SERVER/update"
std::string DownloadUrl();          // "http://SERVER/download/"
std::string PlatformDownloadUrl();  // the download URL, "win32/"

}  // namespace urls
}  // namespace quarn

#endif

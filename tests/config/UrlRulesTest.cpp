// The update server and its URLs: the second of the default update
// servers, with fixed paths.
#include "config/UrlRules.h"

#include <gtest/gtest.h>

#include "config/DeploymentDefaults.h"

TEST(UrlRules, TheUpdateServerIsTheSecondDefaultUpdateServer) {
  // The second item of the deployment's default list, taken apart here.
  const std::string list = quarn::kDefaultUpdateServers;
  const std::string::size_type first = list.find('|');
  ASSERT_NE(first, std::string::npos);
  const std::string host = list.substr(first + 1, list.find('|', first + 1) - first - 1);
  ASSERT_FALSE(host.empty());
  EXPECT_EQ(quarn::urls::UpdateServer(), host);
  EXPECT_EQ(quarn::urls::ReportUrl(), "http://" + host + "/update");
  EXPECT_EQ(quarn::urls::DownloadUrl(), "http://" + host + "/download/");
  EXPECT_EQ(quarn::urls::PlatformDownloadUrl(), "http://" + host + "/download/win32/");
}

#include "cli/InstallationChoice.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace fs = std::filesystem;
using quarn_tools::ChooseInstallation;

TEST(InstallationChoice, TakesAnExecutableDirectoryOrTheOneBelowARoot) {
  quarn_test::TempDir dir;
  const std::string root = dir.path() + "/R";
  fs::create_directories(fs::path(root + "/client/bin/conf"));
  fs::create_directories(fs::path(root + "/globalcfg"));
  fs::create_directories(fs::path(root + "/quarn_update/old"));  // no conf: not a candidate
  quarn_test::WriteFile(root + "/client/readme.txt", "a file, not a directory");

  const quarn_tools::ChosenInstallation byExe = ChooseInstallation(root + "/client/bin");
  EXPECT_EQ(byExe.error, "");
  const quarn_tools::ChosenInstallation byRoot = ChooseInstallation(root);
  EXPECT_EQ(byRoot.error, "");
  EXPECT_EQ(byRoot.executableDir, byExe.executableDir);
  EXPECT_EQ(byRoot.executableDir.substr(byRoot.executableDir.size() - 13), "/R/client/bin");
  // A trailing separator and ".." name the same place.
  EXPECT_EQ(ChooseInstallation(root + "/client/../client/bin/").executableDir, byExe.executableDir);
}

TEST(InstallationChoice, SaysWhyNoDirectoryWasChosen) {
  quarn_test::TempDir dir;
  const std::string root = dir.path() + "/R";
  fs::create_directories(fs::path(root + "/client/bin/conf"));
  fs::create_directories(fs::path(root + "/client/tools/conf"));

  const quarn_tools::ChosenInstallation several = ChooseInstallation(root);
  EXPECT_EQ(several.executableDir, "");
  EXPECT_NE(several.error.find("several"), std::string::npos);
  EXPECT_NE(several.error.find("/R/client/bin"), std::string::npos) << several.error;
  EXPECT_NE(several.error.find("/R/client/tools"), std::string::npos) << several.error;

  // The client directory is one level too high to be E or R.
  const quarn_tools::ChosenInstallation neither = ChooseInstallation(root + "/client");
  EXPECT_EQ(neither.executableDir, "");
  EXPECT_NE(neither.error.find("neither"), std::string::npos) << neither.error;

  quarn_test::WriteFile(dir.path() + "/file", "x");
  EXPECT_NE(ChooseInstallation(dir.path() + "/file").error.find("is not a directory"), std::string::npos);
  EXPECT_NE(ChooseInstallation(dir.path() + "/missing").error.find("is not a directory"), std::string::npos);
  EXPECT_NE(ChooseInstallation("").error, "");
}

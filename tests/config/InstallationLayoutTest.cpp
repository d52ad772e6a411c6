// The installation's places, derived from the executable's directory.
#include <filesystem>
#include <set>

#include "tests/config/ConfigFixture.h"

namespace {
std::set<std::string> TreeBelow(const std::string& root) {
  std::set<std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    entries.insert(entry.path().generic_string());
  return entries;
}
}  // namespace

using Layout = ConfigFixture;

TEST_F(Layout, ThirteenPlacesOfAnExecutableTwoLevelsBelowTheRoot) {
  const std::string R = installation.root();
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetQuarnDir(), R);
  EXPECT_EQ(config.GetGlobalCfgDir(), R + "/globalcfg");
  EXPECT_EQ(config.GetUpdateDir(), R + "/quarn_update");
  EXPECT_EQ(config.GetClientDir(), R + "/client");
  EXPECT_EQ(config.GetCurrentDir(), R + "/client/bin");
  EXPECT_EQ(config.GetClientConfDir(), R + "/client/bin/conf");
  EXPECT_EQ(config.GetClientDataDir(), R + "/client/bin/data");
  EXPECT_EQ(config.GetConfigFilePath(), R + "/client/bin/conf/cli_config.ini");
  EXPECT_EQ(config.GetUpdateExeName(), "BrundavelUpdate.exe");
  EXPECT_EQ(config.GetUpdateExePath(), R + "/quarn_update/BrundavelUpdate.exe");
  EXPECT_EQ(config.GetUpdatePidFilePath(), R + "/quarn_update/pid.txt");
  EXPECT_EQ(config.GetUpCmdFilePath(), R + "/quarn_update/up_cmd.txt");
  EXPECT_EQ(config.GetUpdateVersionFilePath(), R + "/quarn_update/cur_version.txt");
}

// The places themselves are the layout rules' (LayoutRulesTest); here,
// what construction does with them on the disk.
TEST_F(Layout, ADeeperExecutableMakesNoDirectoryTree) {
  const std::string R = installation.root();
  installation.platform.executablePath = R + "/a/b/c/agent.exe";  // none of a/b/c exists
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetGlobalCfgDir(), R + "/a/globalcfg");
  // globalcfg is made only inside an existing root: no parents are created.
  EXPECT_FALSE(quarn_test::IsDirectory(R + "/a"));
}

TEST_F(Layout, GettersLeaveTheDiskAlone) {
  CQuarnConfig& config = Config();
  const std::set<std::string> before = TreeBelow(installation.root());
  config.GetQuarnDir();
  config.GetClientConfDir();
  config.GetClientDataDir();
  config.GetCurrentDir();
  config.GetGlobalCfgDir();
  config.GetUpdateDir();
  config.GetConfigFilePath();
  config.GetUpdateExePath();
  config.GetUpdatePidFilePath();
  config.GetUpCmdFilePath();
  config.GetUpdateVersionFilePath();
  EXPECT_EQ(TreeBelow(installation.root()), before);
  EXPECT_FALSE(quarn_test::IsDirectory(installation.binDir() + "/data"));
}

TEST_F(Layout, AnUnknownExecutablePathCreatesNothing) {
  // The places then stand on the working directory: one of our own.
  quarn_test::TempDir dir;
  quarn_test::MakeDirectories(dir.path() + "/a/b");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::path(dir.path() + "/a/b"));
  installation.platform.executablePath = "";  // the system does not say
  CQuarnConfig& config = Config();
  const std::string globalcfg = config.GetGlobalCfgDir();
  std::filesystem::current_path(before);
  EXPECT_EQ(globalcfg, dir.path() + "/globalcfg") << "the answers stay defined";
  EXPECT_FALSE(quarn_test::IsDirectory(dir.path() + "/globalcfg")) << "nothing is made above the working directory";
}

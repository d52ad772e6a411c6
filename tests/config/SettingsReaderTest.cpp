// Reading cli_config.ini and domaincfg.ini. Each test runs in a process of
// its own, so the first read of each test is the first of its process.
#include <cctype>
#include <climits>
#include <filesystem>

#include "config/DeploymentDefaults.h"
#include "tests/config/ConfigFixture.h"
#include "util/LogMessage.h"
#include "util/StringUtil.h"

using Hosts = std::vector<std::string>;

namespace {
Hosts DefaultServiceServers() { return kqt::CStringUtil::stringSplit(quarn::kDefaultServiceServers, "|"); }
Hosts DefaultUpdateServers() { return kqt::CStringUtil::stringSplit(quarn::kDefaultUpdateServers, "|"); }
Hosts Join(Hosts a, const Hosts& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
}  // namespace

using Settings = ConfigFixture;

TEST_F(Settings, WithoutAFileEverySettingHasItsDefault) {
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetMaxCpuUse(), 10.0);
  EXPECT_EQ(config.GetMaxMemUse(), 51200);
  EXPECT_EQ(config.GetLogLevel(), 4);
  EXPECT_EQ(config.GetLogFileMaxFile(), 1048576);
  EXPECT_EQ(config.GetInstallModule(), "");
  EXPECT_TRUE(config.IsProtectUpdate());
  EXPECT_TRUE(config.IsProtectOruHids());
  EXPECT_TRUE(config.IsSendFile());
  EXPECT_TRUE(config.IsUpdateLua());
  EXPECT_FALSE(config.IsConnectToBetaServerEnabeld());
  EXPECT_FALSE(config.IsVmCrashCheckEnabled());
  EXPECT_FALSE(config.IsVelseEnabled());
  EXPECT_FALSE(config.IsWafEnabled());
  EXPECT_EQ(config.WafRuleRefreshInMinute(), 720);
  EXPECT_EQ(config.WafPortRefreshInMinute(), 1440);
  EXPECT_EQ(config.GetWafConfig(), "");
  EXPECT_EQ(config.GetCurrentVersion(), "quarn_00_90");
  EXPECT_EQ(config.GetAllSrvUrl(), DefaultServiceServers());
  EXPECT_EQ(config.GetAllUpdateUrl(), DefaultUpdateServers());

  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 1u) << log.Text();
  EXPECT_NE(lines[0].find("[2] QuarnConfig:283 load config error: " + installation.settingsPath()), std::string::npos)
      << lines[0];
  EXPECT_FALSE(config.ReadConfig(installation.settingsPath()));
}

TEST_F(Settings, DefaultListsHaveTheirDeploymentShape) {
  const Hosts services = DefaultServiceServers(), updates = DefaultUpdateServers();
  ASSERT_EQ(services.size(), 4u);
  ASSERT_EQ(updates.size(), 5u);
  EXPECT_EQ(updates[1], quarn::kUpdateServerHost);
  for (const Hosts* list : {&services, &updates})
    EXPECT_EQ(list->back().find_first_not_of("0123456789."), std::string::npos) << list->back();
}

TEST_F(Settings, ResultNeedsALoadedFileThatNamesAnInstallModule) {
  EXPECT_TRUE(Read("defaultinstall=full\n"));
  EXPECT_EQ(Config().GetInstallModule(), "full");
  EXPECT_FALSE(Read("defaultinstall=\n"));
  EXPECT_FALSE(Read(""));  // an empty file loads, but names no module
  EXPECT_TRUE(log.Lines().empty()) << log.Text();
}

TEST_F(Settings, APathThatIsNotAFileIsALoadError) {
  EXPECT_FALSE(Config().ReadConfig(installation.confDir()));
  EXPECT_NE(log.Text().find("load config error: " + installation.confDir()), std::string::npos) << log.Text();
}

// The bounds themselves are the settings rules' (SettingsRulesTest); here,
// that the first read applies them.
TEST_F(Settings, TheLimitsAreBoundedOnTheFirstRead) {
  installation.WriteSettings("max_cpuuse=95\nmax_memuse=0x1E000\n");
  EXPECT_EQ(Config().GetMaxCpuUse(), 10.0);
  EXPECT_EQ(Config().GetMaxMemUse(), 122880);
}

TEST_F(Settings, LaterReadsLeaveTheLimitsAlone) {
  installation.WriteSettings("max_cpuuse=20\nmax_memuse=1000\n");
  EXPECT_EQ(Config().GetMaxCpuUse(), 20.0);
  Read("max_cpuuse=30\nmax_memuse=2000\n");
  EXPECT_EQ(Config().GetMaxCpuUse(), 20.0);
  EXPECT_EQ(Config().GetMaxMemUse(), 1000);
}

// Each key reaches its member, through the settings rules (whose rows are
// tested where they live, in SettingsRulesTest): a file that gives every
// key a value other than its default.
TEST_F(Settings, EveryKeyReachesItsGetter) {
  EXPECT_TRUE(
      Read("current_version=quarn_02_01\ndefaultinstall=full\nloglevel=0x3\nlogmaxsize=-1\n"
           "protectupdate=off\nprotectoruhids=No\nsendfile=0\nupdatelua=false\nconnect_beta=yes\n"
           "vm_crash_check=On\nvelse_enable=1\nvelse_waf_enable=True\nvelse_waf_rule_refresh=0\n"
           "velse_waf_port_refresh=2\nwaf_cfg = rule a  b \nsrv_domain=s\nupdate_srv_domain=u\n"));
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetCurrentVersion(), "quarn_02_01");
  EXPECT_EQ(config.GetInstallModule(), "full");
  EXPECT_EQ(config.GetLogLevel(), 3);
  EXPECT_EQ(kqt::CLogMessage::GetInstance()->GetLogLevel(), 3) << "handed to the logger";
  EXPECT_EQ(config.GetLogFileMaxFile(), -1LL);
  EXPECT_FALSE(config.IsProtectUpdate());
  EXPECT_FALSE(config.IsProtectOruHids());
  EXPECT_FALSE(config.IsSendFile());
  EXPECT_FALSE(config.IsUpdateLua());
  EXPECT_TRUE(config.IsConnectToBetaServerEnabeld());
  EXPECT_TRUE(config.IsVmCrashCheckEnabled());
  EXPECT_TRUE(config.IsVelseEnabled());
  EXPECT_TRUE(config.IsWafEnabled());
  EXPECT_EQ(config.WafRuleRefreshInMinute(), 720);  // bounded
  EXPECT_EQ(config.WafPortRefreshInMinute(), 2);
  EXPECT_EQ(config.GetWafConfig(), "rule a  b");
  // Construction read the file, and Read once more: each read appends the
  // lists' items.
  EXPECT_EQ(config.GetAllSrvUrl(), (Hosts{"s", "s"}));
  EXPECT_EQ(config.GetAllUpdateUrl(), (Hosts{"u", "u"}));
}

TEST_F(Settings, OnlyTheUnnamedSectionCountsAndKeyNamesIgnoreCase) {
  Read(
      "; loglevel=9\n"
      "# sendfile=0\n"
      "LogLevel = 2\n"
      "no equals sign here\n"
      "=orphan value\n"
      "[network]\n"
      "loglevel=7\n"
      "sendfile=false\n");
  EXPECT_EQ(Config().GetLogLevel(), 2);
  EXPECT_TRUE(Config().IsSendFile());
}

TEST_F(Settings, AByteOrderMarkDoesNotHideTheFirstKey) {
  EXPECT_TRUE(
      Read("\xEF\xBB\xBF"
           "defaultinstall=full\r\nloglevel=3\r\n"));
  EXPECT_EQ(Config().GetInstallModule(), "full");
  EXPECT_EQ(Config().GetLogLevel(), 3);
}

TEST_F(Settings, OverrideItemsComeFirstAndAreKeptAsSplit) {
  installation.WriteDomainOverride("srv_domain=x||y\nupdate_srv_domain=z\n");
  installation.WriteSettings("update_srv_domain=u1|u2\n");
  EXPECT_EQ(Config().GetAllSrvUrl(), Join({"x", "", "y"}, DefaultServiceServers()));
  EXPECT_EQ(Config().GetAllUpdateUrl(), (Hosts{"z", "u1", "u2"}));
}

TEST_F(Settings, RereadingAppendsAgainUnlessTheOverrideReplaces) {
  installation.WriteSettings("srv_domain=a|b\n");
  EXPECT_EQ(Config().GetAllSrvUrl(), (Hosts{"a", "b"}));
  Config().ReadConfig(installation.settingsPath());
  EXPECT_EQ(Config().GetAllSrvUrl(), (Hosts{"a", "b", "a", "b"}));
  installation.WriteDomainOverride("srv_domain=x\n");
  Config().ReadConfig(installation.settingsPath());
  EXPECT_EQ(Config().GetAllSrvUrl(), (Hosts{"x", "a", "b"}));
}

TEST_F(Settings, AnUnreadableOverrideIsPassedOverSilently) {
  quarn_test::WriteFile(installation.settingsPath(), "defaultinstall=full\n");
  std::error_code ignored;
  std::filesystem::create_directories(installation.globalCfgDir() + "/domaincfg.ini", ignored);
  EXPECT_TRUE(Config().ReadConfig(installation.settingsPath()));
  EXPECT_TRUE(log.Lines().empty()) << log.Text();
}

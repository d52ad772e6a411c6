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

struct LimitCase {
  const char* content;
  double cpu;
  int memory;
};

class ResourceLimits : public ConfigFixture, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(ResourceLimits, AreBoundedOnTheFirstRead) {
  installation.WriteSettings(GetParam().content);
  EXPECT_EQ(Config().GetMaxCpuUse(), GetParam().cpu);
  EXPECT_EQ(Config().GetMaxMemUse(), GetParam().memory);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ResourceLimits,
    ::testing::Values(LimitCase{"max_cpuuse=90", 90, 51200}, LimitCase{"max_cpuuse=91", 10, 51200},
                      LimitCase{"max_cpuuse=1", 1, 51200}, LimitCase{"max_cpuuse=0", 10, 51200},
                      LimitCase{"max_cpuuse=-5", 10, 51200}, LimitCase{"max_cpuuse=12.5", 10, 51200},
                      LimitCase{"max_memuse=122880", 10, 122880}, LimitCase{"max_memuse=122881", 10, 51200},
                      LimitCase{"max_memuse=0", 10, 51200}, LimitCase{"max_memuse=0x1E000", 10, 122880},
                      LimitCase{"max_memuse=4294967297", 10, 51200}),
    [](const ::testing::TestParamInfo<LimitCase>& info) {
      std::string name = info.param.content;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST_F(Settings, LaterReadsLeaveTheLimitsAlone) {
  installation.WriteSettings("max_cpuuse=20\nmax_memuse=1000\n");
  EXPECT_EQ(Config().GetMaxCpuUse(), 20.0);
  Read("max_cpuuse=30\nmax_memuse=2000\n");
  EXPECT_EQ(Config().GetMaxCpuUse(), 20.0);
  EXPECT_EQ(Config().GetMaxMemUse(), 1000);
}

TEST_F(Settings, RefreshPeriodsMustBePositive) {
  Read("velse_waf_rule_refresh=0\nvelse_waf_port_refresh=-1\n");
  EXPECT_EQ(Config().WafRuleRefreshInMinute(), 720);
  EXPECT_EQ(Config().WafPortRefreshInMinute(), 1440);
  Read("velse_waf_rule_refresh=1\nvelse_waf_port_refresh=2\n");
  EXPECT_EQ(Config().WafRuleRefreshInMinute(), 1);
  EXPECT_EQ(Config().WafPortRefreshInMinute(), 2);
}

TEST_F(Settings, SwitchesTakeTheirFirstCharacter) {
  struct Case {
    const char* value;
    int expected;  // -1: the key's default
  };
  const Case cases[] = {{"1", 1},          {"t", 1},      {"True", 1}, {"y", 1},  {"Y", 1},  {"On", 1}, {"oN", 1},
                        {"yes please", 1}, {"0", 0},      {"f", 0},    {"F", 0},  {"n", 0},  {"No", 0}, {"off", 0},
                        {"OFF", 0},        {"maybe", -1}, {"", -1},    {"o", -1}, {"2", -1}, {" ", -1}};
  for (const Case& c : cases) {
    Read(std::string("sendfile=") + c.value + "\nconnect_beta=" + c.value + "\n");
    EXPECT_EQ(Config().IsSendFile(), c.expected == -1 ? true : c.expected == 1) << "'" << c.value << "'";
    EXPECT_EQ(Config().IsConnectToBetaServerEnabeld(), c.expected == -1 ? false : c.expected == 1)
        << "'" << c.value << "'";
  }
}

TEST_F(Settings, IntegersAreDecimalOrHexSigned32BitWithNothingLeftOver) {
  struct Case {
    std::string value;
    int expected;
  };
  const std::vector<Case> cases = {
      {"3", 3},
      {"0x10", 16},
      {"0X1f", 31},
      {"0x", 4},
      {"-3", -3},
      {"+7", 7},
      {"12%", 4},
      {"1.5", 4},
      {"10k", 4},
      {"abc", 4},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"4294967297", INT_MAX},  // not 1: saturates on every system
      {"-4294967297", INT_MIN},
      {"0xFFFFFFFF", INT_MAX},
      {"0x100000001", INT_MAX},
      {std::string(61, '0') + "42", 42},  // 63 characters
      {std::string(62, '0') + "42", 4},   // 64 characters: too long
  };
  for (const Case& c : cases) {
    Read("loglevel=" + c.value + "\n");
    EXPECT_EQ(Config().GetLogLevel(), c.expected) << "'" << c.value << "'";
    EXPECT_EQ(kqt::CLogMessage::GetInstance()->GetLogLevel(), c.expected) << "handed to the logger";
  }
  Read("logmaxsize=-1\n");
  EXPECT_EQ(Config().GetLogFileMaxFile(), -1LL);
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

TEST_F(Settings, TextValuesAreTrimmedButKeptWhenEmpty) {
  EXPECT_EQ(Config().GetCurrentVersion(), "quarn_00_90");
  Read("current_version=\nwaf_cfg =   rule a  b   \n");
  EXPECT_EQ(Config().GetCurrentVersion(), "");
  EXPECT_EQ(Config().GetWafConfig(), "rule a  b");
  Read("defaultinstall=  full\t\n");
  EXPECT_EQ(Config().GetInstallModule(), "full");
}

TEST_F(Settings, AByteOrderMarkDoesNotHideTheFirstKey) {
  EXPECT_TRUE(
      Read("\xEF\xBB\xBF"
           "defaultinstall=full\r\nloglevel=3\r\n"));
  EXPECT_EQ(Config().GetInstallModule(), "full");
  EXPECT_EQ(Config().GetLogLevel(), 3);
}

TEST_F(Settings, SettingsListsDropEmptyItems) {
  installation.WriteSettings("srv_domain=a|b||c|\nupdate_srv_domain=u\n");
  EXPECT_EQ(Config().GetAllSrvUrl(), (Hosts{"a", "b", "c"}));
  EXPECT_EQ(Config().GetAllUpdateUrl(), (Hosts{"u"}));
}

TEST_F(Settings, AnEmptyListValueAppendsNothingAndNoDefaults) {
  installation.WriteSettings("srv_domain=\nupdate_srv_domain=\n");
  EXPECT_TRUE(Config().GetAllSrvUrl().empty());
  EXPECT_TRUE(Config().GetAllUpdateUrl().empty());
}

TEST_F(Settings, OverrideItemsComeFirstAndAreKeptAsSplit) {
  installation.WriteDomainOverride("srv_domain=x||y\nupdate_srv_domain=z\n");
  installation.WriteSettings("update_srv_domain=u1|u2\n");
  EXPECT_EQ(Config().GetAllSrvUrl(), Join({"x", "", "y"}, DefaultServiceServers()));
  EXPECT_EQ(Config().GetAllUpdateUrl(), (Hosts{"z", "u1", "u2"}));
}

TEST_F(Settings, AnOverrideWithoutValuesLeavesTheListsToTheSettings) {
  installation.WriteDomainOverride("srv_domain=\n[other]\nupdate_srv_domain=ignored\n");
  installation.WriteSettings("srv_domain=s\n");
  EXPECT_EQ(Config().GetAllSrvUrl(), (Hosts{"s"}));
  EXPECT_EQ(Config().GetAllUpdateUrl(), DefaultUpdateServers());
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

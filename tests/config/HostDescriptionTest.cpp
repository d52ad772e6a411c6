// The object's host texts over a substituted platform, and the real ones.

#include "support/TestThread.h"
#include "tests/config/ConfigFixture.h"

namespace {
quarn::sys::WindowsVersionInfo Windows7() { return quarn_test::machines::Windows7Sp1X64Ultimate().windows; }
const char kWindows7[] = "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 64-bit";
}  // namespace

using Host = ConfigFixture;

TEST_F(Host, TextsAreCollectedAtConstruction) {
  installation.platform.windowsVersion = Windows7;
  installation.platform.hostName = [](std::string& name) {
    name = "agent-host-01";
    return true;
  };
  installation.platform.operatingSystem64Bit = 1;
  CQuarnConfig& config = Config();
  const int queries = installation.platform.hostNameQueries.load();
  EXPECT_EQ(config.GetMachineName(), "agent-host-01");
  EXPECT_EQ(config.GetSysInfo(), kWindows7);
  EXPECT_EQ(config.GetPlatInfo(), std::string(kWindows7) + "_X64");
  EXPECT_EQ(installation.platform.hostNameQueries.load(), queries);  // served, not collected again
}

TEST_F(Host, AnEmptyTextIsCollectedAgainOnEveryCall) {
  installation.platform.hostName = [](std::string&) { return false; };
  installation.platform.windowsVersion = [] { return quarn::sys::WindowsVersionInfo(); };
  installation.platform.operatingSystem64Bit = 0;
  CQuarnConfig& config = Config();
  const int queries = installation.platform.hostNameQueries.load();
  EXPECT_EQ(config.GetMachineName(), "");
  EXPECT_EQ(config.GetSysInfo(), "");
  EXPECT_EQ(config.GetPlatInfo(), "_X86");  // never empty: the tag alone
  EXPECT_EQ(installation.platform.hostNameQueries.load(), queries + 2);

  installation.platform.windowsVersion = Windows7;
  EXPECT_EQ(config.GetSysInfo(), kWindows7);
  EXPECT_EQ(config.GetPlatInfo(), std::string(kWindows7) + "_X86");
}

TEST_F(Host, AFailureWhileDescribingIsLoggedAndGivesNothing) {
  CQuarnConfig& config = Config();
  installation.platform.windowsVersion = []() -> quarn::sys::WindowsVersionInfo { throw std::runtime_error("query"); };
  EXPECT_EQ(config.GetWinVersion(), "");
  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 2u) << log.Text();  // the missing settings file, then this
  EXPECT_NE(lines[1].find("[2] catch CQuarnConfig::GetWinVersion error"), std::string::npos) << lines[1];
}

TEST_F(Host, ReadersNeverSeeAHalfWrittenText) {
  std::atomic<int> version{0};
  installation.platform.windowsVersion = [&] {
    quarn::sys::WindowsVersionInfo info = Windows7();
    info.build = (version++ % 2) ? 7601 : 7600;
    return info;
  };
  installation.platform.hostName = [](std::string&) { return false; };  // forces a refresh on every call
  CQuarnConfig& config = Config();
  std::atomic<int> bad{0};
  std::vector<quarn_test::Thread> threads;
  threads.reserve(4);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        config.GetMachineName();
        const std::string text = config.GetSysInfo();
        if (text != kWindows7 && text != "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7600), 64-bit")
          ++bad;
      }
    });
  for (quarn_test::Thread& thread : threads) thread.join();
  EXPECT_EQ(bad.load(), 0);
}

using RealSystemHost = Host;

TEST_F(RealSystemHost, DescribesThisMachine) {
  installation.platform.realSystem = true;
  CQuarnConfig& config = Config();
  EXPECT_FALSE(config.GetMachineName().empty());
  const std::string tag = kqt::sys::NativePlatform().IsOperatingSystem64Bit() ? "_X64" : "_X86";
#if defined(_WIN32)
  EXPECT_EQ(config.GetSysInfo().rfind("Microsoft ", 0), 0u) << config.GetSysInfo();
  EXPECT_EQ(config.GetPlatInfo(), config.GetSysInfo() + tag);
#else
  EXPECT_EQ(config.GetSysInfo(), "");  // not Windows: nothing to describe
  EXPECT_EQ(config.GetWinVersion(), "");
  EXPECT_EQ(config.GetPlatInfo(), tag);
#endif
}

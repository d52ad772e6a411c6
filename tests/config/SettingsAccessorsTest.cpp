#include <atomic>

#include "support/TestThread.h"
#include "tests/config/ConfigFixture.h"

using Accessors = ConfigFixture;

TEST_F(Accessors, SettersStoreValuesUnbounded) {
  CQuarnConfig& config = Config();
  config.SetMaxCpuUse(95.5);
  EXPECT_EQ(config.GetMaxCpuUse(), 95.5);
  config.SetMaxCpuUse(-1.25);
  EXPECT_EQ(config.GetMaxCpuUse(), -1.25);
  config.SetMaxMemUse(0);
  EXPECT_EQ(config.GetMaxMemUse(), 0);
  config.SetMaxMemUse(-7);
  EXPECT_EQ(config.GetMaxMemUse(), -7);
}

TEST_F(Accessors, ReturnedTextsAreTheCallersOwnCopies) {
  Read("defaultinstall=full\nwaf_cfg=rules\nsrv_domain=a|b\n");
  std::string module = Config().GetInstallModule();
  std::string waf = Config().GetWafConfig();
  std::vector<std::string> servers = Config().GetAllSrvUrl();
  module += "-changed";
  waf.clear();
  servers.clear();
  EXPECT_EQ(Config().GetInstallModule(), "full");
  EXPECT_EQ(Config().GetWafConfig(), "rules");
  EXPECT_FALSE(Config().GetAllSrvUrl().empty());

  const std::string before = Config().GetInstallModule();
  Read("defaultinstall=minimal\n");
  EXPECT_EQ(before, "full");
  EXPECT_EQ(Config().GetInstallModule(), "minimal");
}

// Readers run beside ReadConfig and the setters and only ever see values
// that were stored as a whole.
TEST_F(Accessors, ReadersSeeWholeValuesWhileWritersRun) {
  const std::string fileA = installation.confDir() + "/a.ini";
  const std::string fileB = installation.confDir() + "/b.ini";
  quarn_test::WriteFile(fileA, "loglevel=1\nwaf_cfg=" + std::string(300, 'a') + "\nsrv_domain=p|q\n");
  quarn_test::WriteFile(fileB, "loglevel=3\nwaf_cfg=" + std::string(200, 'b') + "\nsrv_domain=p|q\n");
  installation.WriteSettings("srv_domain=p|q\n");
  CQuarnConfig& config = Config();

  std::atomic<bool> stop{false};
  std::atomic<int> bad{0};
  std::vector<quarn_test::Thread> readers;
  readers.reserve(3);
  for (int r = 0; r < 3; ++r) {
    readers.emplace_back([&] {
      while (!stop.load()) {
        const int level = config.GetLogLevel();
        const std::string waf = config.GetWafConfig();
        const double cpu = config.GetMaxCpuUse();
        const std::vector<std::string> servers = config.GetAllSrvUrl();
        if (level != 4 && level != 1 && level != 3) ++bad;
        if (!waf.empty() && waf != std::string(300, 'a') && waf != std::string(200, 'b')) ++bad;
        if (cpu != 10.0 && cpu != 25.0 && cpu != 50.0) ++bad;
        if (servers.size() % 2 != 0) ++bad;
        for (size_t i = 0; i < servers.size(); ++i)
          if (servers[i] != (i % 2 == 0 ? "p" : "q")) ++bad;
      }
    });
  }
  for (int i = 0; i < 150; ++i) {
    config.ReadConfig(i % 2 ? fileA : fileB);
    config.SetMaxCpuUse(i % 2 ? 25.0 : 50.0);
    config.SetMaxMemUse(i);
  }
  stop = true;
  for (quarn_test::Thread& reader : readers) reader.join();
  EXPECT_EQ(bad.load(), 0);
  EXPECT_EQ(config.GetAllSrvUrl().size(), 2u * 151u);
}

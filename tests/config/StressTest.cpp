// Sixteen threads for a bounded time: readers of every answer beside
// writers of every setter and of ReadConfig. Every answer must always be one
// of the values that were ever stored. Meant for ThreadSanitizer too.
#include <chrono>
#include <filesystem>
#include <set>

#include "support/TestThread.h"
#include "tests/config/ConfigFixture.h"
#include "util/LockUtil.h"

namespace {

using Clock = std::chrono::steady_clock;
const auto kDuration = std::chrono::milliseconds(1500);

template <class T>
bool OneOf(const T& value, const std::set<T>& allowed) {
  return allowed.count(value) != 0;
}

}  // namespace

class Stress : public ConfigFixture {};

TEST_F(Stress, EveryAnswerIsAValueThatWasStored) {
  // A fixed machine: its Windows and firmware table, and its addresses.
  const quarn_test::Machine& machine = quarn_test::machines::Windows7Sp1X64Ultimate();
  quarn_test::Use(machine, installation.platform);
  installation.platform.localAddresses = [] { return std::vector<std::string>{"8.8.8.8", "10.1.1.1"}; };
  installation.platform.skipSleep = true;
  std::filesystem::create_directories(installation.root() + "/quarn_update");
  quarn_test::WriteFile(installation.root() + "/quarn_update/cur_version.txt", "update_01_07\n");
  // The override replaces the lists on every read, so they do not grow.
  installation.WriteDomainOverride("srv_domain=x.example.com\nupdate_srv_domain=y.example.com\n");
  const std::string fileA = installation.confDir() + "/a.ini", fileB = installation.confDir() + "/b.ini";
  quarn_test::WriteFile(fileA, "defaultinstall=module-a\nloglevel=1\nwaf_cfg=" + std::string(100, 'a') +
                                   "\nsrv_domain=a1|a2\nupdate_srv_domain=\n");
  quarn_test::WriteFile(fileB, "defaultinstall=module-b\nloglevel=3\nwaf_cfg=" + std::string(50, 'b') +
                                   "\nsrv_domain=a1|a2\nupdate_srv_domain=\n");
  installation.WriteSettings(quarn_test::ReadFile(fileA));
  CQuarnConfig& config = Config();

  const std::set<std::string> modules = {"module-a", "module-b"};
  const std::set<std::string> wafs = {std::string(100, 'a'), std::string(50, 'b')};
  const std::set<int> levels = {1, 3};
  const std::set<double> cpus = {10.0, 12.5, 37.5};
  const std::set<int> memories = {51200, 1000, 2000};
  const std::set<std::string> identities = {"10.1.1.1", "172.16.9.9", "192.168.7.7"};
  const std::set<std::string> services = {"", "198.51.100.1", "198.51.100.2"};
  const std::set<std::string> uuids = {"", "uuid-one", "uuid-two"};
  const std::vector<std::string> serverList = {"x.example.com", "a1", "a2"};
  const std::vector<std::string> updateList = {"y.example.com"};
  const std::string biosUuid = machine.biosUuid;
  const std::string sysInfo = "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 64-bit";

  std::atomic<long> bad{0}, answers{0};
  std::atomic<bool> stop{false};
  kqt::CMutexUtil failuresLock;
  std::set<std::string> failures;  // which answers were wrong
  auto check = [&](bool ok, const char* what) {
    ++answers;
    if (ok) return;
    ++bad;
    kqt::CMutexLockUtil hold(failuresLock);
    failures.insert(what);
  };
  std::vector<quarn_test::Thread> threads;
  threads.reserve(16);
  for (int r = 0; r < 10; ++r) {
    threads.emplace_back([&] {
      while (!stop) {
        check(OneOf(config.GetInstallModule(), modules), "GetInstallModule");
        check(OneOf(config.GetWafConfig(), wafs), "GetWafConfig");
        check(OneOf(config.GetLogLevel(), levels), "GetLogLevel");
        check(OneOf(config.GetMaxCpuUse(), cpus), "GetMaxCpuUse");
        check(OneOf(config.GetMaxMemUse(), memories), "GetMaxMemUse");
        check(config.GetLogFileMaxFile() == 1048576, "GetLogFileMaxFile");
        check(config.IsSendFile() && config.IsProtectUpdate() && !config.IsWafEnabled(), "IsSendFile");
        check(config.WafRuleRefreshInMinute() == 720 && config.WafPortRefreshInMinute() == 1440,
              "WafRuleRefreshInMinute");
        check(config.GetCurrentVersion() == "quarn_00_90", "GetCurrentVersion");
        check(config.GetAllSrvUrl() == serverList, "GetAllSrvUrl");
        check(config.GetAllUpdateUrl() == updateList, "GetAllUpdateUrl");
        check(OneOf(config.GetIdentityIp(), identities), "GetIdentityIp");
        check(OneOf(config.GetServiceIp(), services), "GetServiceIp");
        check(OneOf(config.GetUuid(), uuids), "GetUuid");
        check(config.GetBiosUuid() == biosUuid, "GetBiosUuid");
        check(config.GetSysInfo() == sysInfo, "GetSysInfo");
        check(config.GetUpdateVersion() == "update_01_07", "GetUpdateVersion");
      }
    });
  }
  for (int w = 0; w < 6; ++w) {
    threads.emplace_back([&, w] {
      for (long i = 0; !stop; ++i) {
        switch ((w + i) % 6) {
          case 0:
            config.ReadConfig(i % 2 ? fileA : fileB);
            break;
          case 1:
            config.SetMaxCpuUse(i % 2 ? 12.5 : 37.5);
            break;
          case 2:
            config.SetMaxMemUse(i % 2 ? 1000 : 2000);
            break;
          case 3:
            config.SetIdentityIp(i % 3 == 0 ? "" : i % 3 == 1 ? "172.16.9.9" : "192.168.7.7");
            break;
          case 4:
            config.SetServiceIp(i % 2 ? "198.51.100.1" : "198.51.100.2");
            break;
          case 5:
            config.SetUuid(i % 2 ? "uuid-one" : "uuid-two");
            break;
        }
        quarn_test::SleepMs(0);  // settings change now and then, not without pause
      }
    });
  }
  const auto end = Clock::now() + kDuration;
  while (Clock::now() < end) quarn_test::SleepMs(20);
  stop = true;
  for (quarn_test::Thread& thread : threads) thread.join();
  EXPECT_EQ(bad.load(), 0) << "of " << answers.load() << " answers; wrong: " << ::testing::PrintToString(failures);
  EXPECT_GE(answers.load(), 10 * 17) << "every reader went round at least once";
}

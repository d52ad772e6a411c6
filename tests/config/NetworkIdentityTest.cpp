// The object's network operations over a substituted platform, and once over
// the real one.
#include <regex>

#include "support/TestThread.h"
#include "tests/config/ConfigFixture.h"

using Addresses = std::vector<std::string>;

class Network : public ConfigFixture {
 protected:
  void UseLocalAddresses(const Addresses& addresses) {
    installation.platform.localAddresses = [addresses] { return addresses; };
  }
  int Queries() const { return installation.platform.localAddressQueries.load(); }
};

TEST_F(Network, LocalListIsPassedOnUnfiltered) {
  UseLocalAddresses({"8.8.8.8", "127.0.0.1", "8.8.8.8", "192.168.0.7"});
  EXPECT_EQ(Config().GetLocalIpList(), (Addresses{"8.8.8.8", "127.0.0.1", "8.8.8.8", "192.168.0.7"}));
  EXPECT_EQ(Config().GetHostArray(), (std::list<std::string>{"8.8.8.8", "8.8.8.8", "192.168.0.7"}));
  EXPECT_EQ(Config().GetIdentityIpByHost(), "192.168.0.7");
}

TEST_F(Network, IdentityIsComputedOnceAndThenServed) {
  UseLocalAddresses({"10.1.2.3"});
  const int before = Queries();
  EXPECT_EQ(Config().GetIdentityIp(), "10.1.2.3");
  UseLocalAddresses({"192.168.9.9"});
  EXPECT_EQ(Config().GetIdentityIp(), "10.1.2.3");
  EXPECT_EQ(Queries() - before, 1);
}

TEST_F(Network, AnEmptyIdentityIsComputedAgainOnEveryCall) {
  UseLocalAddresses({"8.8.8.8"});
  const int before = Queries();
  EXPECT_EQ(Config().GetIdentityIp(), "");
  EXPECT_EQ(Config().GetIdentityIp(), "");
  EXPECT_EQ(Queries() - before, 2);
  UseLocalAddresses({"8.8.8.8", "172.20.0.5"});
  EXPECT_EQ(Config().GetIdentityIp(), "172.20.0.5");
}

TEST_F(Network, ASetIdentityIsServedUntilEmptied) {
  UseLocalAddresses({"10.0.0.1"});
  CQuarnConfig& config = Config();
  const int before = Queries();
  config.SetIdentityIp("1.2.3.4");
  EXPECT_EQ(config.GetIdentityIp(), "1.2.3.4");
  config.SetIdentityIp("not an address");  // stored as given
  EXPECT_EQ(config.GetIdentityIp(), "not an address");
  EXPECT_EQ(Queries(), before);
  config.SetIdentityIp("");
  EXPECT_EQ(config.GetIdentityIp(), "10.0.0.1");
  EXPECT_EQ(Queries(), before + 1);
}

TEST_F(Network, ServiceAddressIsKeptAsGiven) {
  EXPECT_EQ(Config().GetServiceIp(), "");
  Config().SetServiceIp("203.0.113.9");
  EXPECT_EQ(Config().GetServiceIp(), "203.0.113.9");
  Config().SetIdentityIp("10.9.9.9");
  EXPECT_EQ(Config().GetServiceIp(), "203.0.113.9");
}

TEST_F(Network, ConcurrentFirstCallsComputeOnceAndAgree) {
  UseLocalAddresses({"8.8.8.8", "192.168.3.4"});
  CQuarnConfig& config = Config();
  const int before = Queries();
  std::vector<std::string> seen(8);
  std::vector<quarn_test::Thread> threads;
  for (size_t i = 0; i < seen.size(); ++i)
    threads.emplace_back([&, i] {
      for (int round = 0; round < 50; ++round) seen[i] = config.GetIdentityIp();
    });
  for (quarn_test::Thread& thread : threads) thread.join();
  for (const std::string& identity : seen) EXPECT_EQ(identity, "192.168.3.4");
  EXPECT_EQ(Queries() - before, 1);
}

TEST_F(Network, ReadersSeeOnlyStoredIdentitiesWhileSettersRun) {
  UseLocalAddresses({"10.0.0.1"});
  CQuarnConfig& config = Config();
  std::atomic<bool> stop{false};
  std::atomic<int> bad{0};
  std::vector<quarn_test::Thread> readers;
  readers.reserve(4);
  for (int r = 0; r < 4; ++r)
    readers.emplace_back([&] {
      while (!stop) {
        const std::string identity = config.GetIdentityIp();
        if (identity != "10.0.0.1" && identity != "172.16.0.1" && identity != "192.168.100.200") ++bad;
        const std::string service = config.GetServiceIp();
        if (!service.empty() && service != "198.51.100.1" && service != "198.51.100.222") ++bad;
      }
    });
  for (int i = 0; i < 500; ++i) {
    config.SetIdentityIp(i % 3 == 0 ? "" : i % 3 == 1 ? "172.16.0.1" : "192.168.100.200");
    config.SetServiceIp(i % 2 ? "198.51.100.1" : "198.51.100.222");
  }
  stop = true;
  for (quarn_test::Thread& reader : readers) reader.join();
  EXPECT_EQ(bad.load(), 0);
}

TEST_F(Network, OneAddressOfANameIsDrawnByTheRandomNumber) {
  installation.platform.lookup = [](const std::string& name) {
    if (name == "three.example.com") return Addresses{"192.0.2.1", "192.0.2.2", "192.0.2.3"};
    if (name == "one.example.com") return Addresses{"198.51.100.7"};
    return Addresses{};
  };
  int draw = 0;
  installation.platform.random = [&] { return draw; };
  CQuarnConfig& config = Config();
  draw = 7;
  EXPECT_EQ(config.GetIpByDomain("three.example.com"), "192.0.2.2");
  draw = 9;
  EXPECT_EQ(config.GetIpByDomain("three.example.com"), "192.0.2.1");
  draw = -1;  // 4294967295 as unsigned: remainder 0
  EXPECT_EQ(config.GetIpByDomain("three.example.com"), "192.0.2.1");
  draw = -2;  // 4294967294: remainder 2
  EXPECT_EQ(config.GetIpByDomain("three.example.com"), "192.0.2.3");
  for (draw = 0; draw < 5; ++draw) EXPECT_EQ(config.GetIpByDomain("one.example.com"), "198.51.100.7");
  EXPECT_EQ(config.GetIpByDomain("none.example.com"), "");
  EXPECT_EQ(config.GetIpByDomain(""), "");
}

TEST_F(Network, ServerListsComeBackWithDuplicatesAndEmptyEntries) {
  installation.WriteDomainOverride("srv_domain=a.example.com||b.example.com|a.example.com\n");
  installation.WriteSettings("srv_domain=\n");
  EXPECT_EQ(Config().GetAllSrvUrl(), (Addresses{"a.example.com", "", "b.example.com", "a.example.com"}));
}

using RealSystemNetwork = Network;

TEST_F(RealSystemNetwork, LocalAddressesAreDottedAndAgreeWithTheIdentity) {
  installation.platform.realSystem = true;
  CQuarnConfig& config = Config();
  const std::regex dotted(R"((25[0-5]|2[0-4]\d|1?\d?\d)(\.(25[0-5]|2[0-4]\d|1?\d?\d)){3})");
  const Addresses local = config.GetLocalIpList();
  for (const std::string& address : local) EXPECT_TRUE(std::regex_match(address, dotted)) << address;
  EXPECT_EQ(config.GetIdentityIp(), config.GetIdentityIpByHost());
  ::testing::Test::RecordProperty("local_addresses", ::testing::PrintToString(local));
}

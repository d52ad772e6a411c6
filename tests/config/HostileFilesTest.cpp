// Files that are not what they should be: a FIFO, device or directory in
// place of a file the library reads, and files far larger than any real
// one. Each gives that file's "cannot be read" answer, at once.
#include <chrono>
#include <cstdio>

#include "tests/config/ConfigFixture.h"

namespace {
using Clock = std::chrono::steady_clock;

// A FIFO without a writer blocks a plain open() for ever.
void ReplaceByFifo(const std::string& path) {
  std::remove(path.c_str());
  if (!quarn_test::MakeFifo(path)) GTEST_SKIP() << "no FIFOs on this system";
}
}  // namespace

using HostileFiles = ConfigFixture;

TEST_F(HostileFiles, AFifoInPlaceOfTheSettingsFileIsALoadError) {
  installation.WriteSettings("defaultinstall=edr\n");
  ReplaceByFifo(installation.settingsPath());
  if (IsSkipped()) return;
  const Clock::time_point start = Clock::now();
  CQuarnConfig& config = Config();  // construction reads it too
  EXPECT_FALSE(config.ReadConfig(installation.settingsPath()));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10)) << "the read waited for a writer";
  EXPECT_EQ(config.GetInstallModule(), "");
  EXPECT_NE(log.Text().find("load config error: " + installation.settingsPath()), std::string::npos) << log.Text();
}

TEST_F(HostileFiles, AFifoInPlaceOfTheOverrideOrTheVersionRecordIsNoFile) {
  quarn_test::MakeDirectories(installation.globalCfgDir());
  quarn_test::MakeDirectories(installation.root() + "/quarn_update");
  ReplaceByFifo(installation.globalCfgDir() + "/domaincfg.ini");
  if (IsSkipped()) return;
  ReplaceByFifo(installation.root() + "/quarn_update/cur_version.txt");
  installation.WriteSettings("srv_domain=s.example.com\n");
  installation.platform.skipSleep = true;
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetAllSrvUrl(), std::vector<std::string>{"s.example.com"});
  EXPECT_EQ(config.GetUpdateVersion(), "update_00_00");
}

TEST_F(HostileFiles, ADeviceOrDirectoryInPlaceOfTheSettingsFileIsALoadError) {
  CQuarnConfig& config = Config();
#if defined(_WIN32)
  EXPECT_FALSE(config.ReadConfig("NUL"));
#else
  EXPECT_FALSE(config.ReadConfig("/dev/zero"));  // endless: read at all, it would never end
#endif
  EXPECT_FALSE(config.ReadConfig(installation.confDir()));
  EXPECT_EQ(config.GetCurrentVersion(), "quarn_00_90");
}

TEST_F(HostileFiles, ASettingsFileAboveOneMebibyteIsALoadErrorWithEveryDefault) {
  const std::string keys = "defaultinstall=edr\nloglevel=3\n";
  const size_t limit = size_t{1} << 20;
  // At the limit, with its keys at the very end: read.
  EXPECT_TRUE(Read(std::string(limit - keys.size(), '\n') + keys));
  EXPECT_EQ(Config().GetInstallModule(), "edr");
  // One byte more: refused as a whole, as an unreadable file.
  EXPECT_FALSE(Read(std::string(limit - keys.size() + 1, '\n') + keys));
  EXPECT_EQ(Config().GetInstallModule(), "");
  EXPECT_EQ(Config().GetLogLevel(), 4);
  EXPECT_NE(log.Text().find("load config error: "), std::string::npos);
}

TEST_F(HostileFiles, AnOverrideFileAboveOneMebibyteIsIgnored) {
  quarn_test::MakeDirectories(installation.globalCfgDir());
  installation.WriteDomainOverride("srv_domain=o.example.com" + std::string(size_t{1} << 20, ' ') + "\n");
  installation.WriteSettings("srv_domain=s.example.com\n");
  EXPECT_EQ(Config().GetAllSrvUrl(), std::vector<std::string>{"s.example.com"});
}

// Half a mebibyte of section name over 175,000 keys (just under the size
// limit): the INI reader alone would look the section up again for every
// key, comparing the whole name each time, for minutes, while every
// settings getter waits. The keys before the header are read as usual; the
// override file is read the same way. (ctest gives this test a time limit,
// which the quadratic read exceeds many times over.)
TEST_F(HostileFiles, ALongSectionNameOverManyKeysIsReadLikeAnyFile) {
  std::string file = "defaultinstall=edr\nloglevel=3\n[" + std::string(524000, 'S') + "]\n";
  std::string overrides = "srv_domain=o.example.com\n[" + std::string(524000, 'S') + "]\n";
  while (file.size() + 3 <= (size_t{1} << 20)) file += "a=\n";
  while (overrides.size() + 13 <= (size_t{1} << 20)) overrides += "srv_domain=\n";
  quarn_test::MakeDirectories(installation.globalCfgDir());
  installation.WriteDomainOverride(overrides);
  EXPECT_TRUE(Read(file));
  EXPECT_EQ(Config().GetInstallModule(), "edr");
  EXPECT_EQ(Config().GetLogLevel(), 3);
  EXPECT_EQ(Config().GetAllSrvUrl().front(), "o.example.com");
}

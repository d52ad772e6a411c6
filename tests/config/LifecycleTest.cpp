// Creating, sharing and removing the one configuration object.
#include <filesystem>
#include <new>

#include "tests/config/ConfigFixture.h"

using Lifecycle = ConfigFixture;

TEST_F(Lifecycle, GetInstanceNeverCreates) {
  EXPECT_EQ(CSingleton<CQuarnConfig>::GetInstance(), nullptr);
  CQuarnConfig* created = CSingleton<CQuarnConfig>::NewInstance();
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(CSingleton<CQuarnConfig>::GetInstance(), created);
  EXPECT_EQ(CSingleton<CQuarnConfig>::NewInstance(), created);
}

TEST_F(Lifecycle, ASecondNewInstanceConstructsNothing) {
  installation.WriteSettings("loglevel=3\n");
  CSingleton<CQuarnConfig>::NewInstance();
  installation.WriteSettings("loglevel=1\n");
  EXPECT_EQ(CSingleton<CQuarnConfig>::NewInstance()->GetLogLevel(), 3);
  EXPECT_EQ(installation.platform.socketStarts.load(), 1);
}

TEST_F(Lifecycle, RemoveWithoutAnInstanceDoesNothing) {
  CSingleton<CQuarnConfig>::RemoveInstance();
  EXPECT_EQ(CSingleton<CQuarnConfig>::GetInstance(), nullptr);
  EXPECT_EQ(installation.platform.socketCleanups.load(), 0);
}

TEST_F(Lifecycle, EverySocketStartIsEndedOnce) {
  CSingleton<CQuarnConfig>::NewInstance();
  EXPECT_EQ(installation.platform.socketStarts.load(), 1);
  EXPECT_EQ(installation.platform.socketCleanups.load(), 0);
  CSingleton<CQuarnConfig>::RemoveInstance();
  EXPECT_EQ(CSingleton<CQuarnConfig>::GetInstance(), nullptr);
  EXPECT_EQ(installation.platform.socketCleanups.load(), 1);
  CSingleton<CQuarnConfig>::RemoveInstance();
  EXPECT_EQ(installation.platform.socketCleanups.load(), 1);
}

TEST_F(Lifecycle, ALaterInstanceRereadsAllButTheLimits) {
  installation.WriteSettings("loglevel=3\nmax_cpuuse=20\nmax_memuse=1000\n");
  EXPECT_EQ(Config().GetMaxCpuUse(), 20.0);
  EXPECT_EQ(Config().GetMaxMemUse(), 1000);
  Config().SetMaxCpuUse(50.0);
  CSingleton<CQuarnConfig>::RemoveInstance();

  installation.WriteSettings("loglevel=2\nmax_cpuuse=30\nmax_memuse=2000\n");
  EXPECT_EQ(Config().GetLogLevel(), 2);
  EXPECT_EQ(Config().GetMaxCpuUse(), 10.0);  // neither the file nor the old setter's value
  EXPECT_EQ(Config().GetMaxMemUse(), 51200);
}

TEST_F(Lifecycle, GlobalConfigurationDirectoryIsCreatedOnlyWhenMissing) {
  ASSERT_FALSE(quarn_test::IsDirectory(installation.globalCfgDir()));
  Config();
  ASSERT_TRUE(quarn_test::IsDirectory(installation.globalCfgDir()));
  EXPECT_EQ(Config().GetGlobalCfgDir(), installation.globalCfgDir());
  quarn_test::WriteFile(installation.globalCfgDir() + "/marker", "kept");
  CSingleton<CQuarnConfig>::RemoveInstance();
  Config();
  EXPECT_EQ(quarn_test::ReadFile(installation.globalCfgDir() + "/marker"), "kept");
}

TEST_F(Lifecycle, AGlobalConfigurationPathTakenByAFileIsNotFatal) {
  quarn_test::WriteFile(installation.globalCfgDir(), "not a directory");
  installation.WriteSettings("defaultinstall=full\n");
  EXPECT_EQ(Config().GetGlobalCfgDir(), installation.globalCfgDir());
  EXPECT_EQ(Config().GetInstallModule(), "full");
  EXPECT_EQ(Config().GetAllSrvUrl().size(), 4u);
}

namespace {
// A platform that runs out of memory while construction asks for the
// executable's path.
class ExhaustedPlatform : public quarn_test::FakePlatform {
 public:
  std::string ExecutablePath() override { throw std::bad_alloc(); }
};
}  // namespace

TEST_F(Lifecycle, AFailedConstructionLeavesNoInstanceAndNoStartedSockets) {
  ExhaustedPlatform exhausted;
  {
    quarn_test::ScopedFakePlatform use(exhausted);
    EXPECT_THROW(CSingleton<CQuarnConfig>::NewInstance(), std::bad_alloc);
  }
  EXPECT_EQ(CSingleton<CQuarnConfig>::GetInstance(), nullptr);
  EXPECT_EQ(exhausted.socketStarts.load(), 1);
  EXPECT_EQ(exhausted.socketCleanups.load(), 1);
  EXPECT_NE(CSingleton<CQuarnConfig>::NewInstance(), nullptr);  // and the next attempt works
}

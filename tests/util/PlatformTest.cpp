// The platform seam and the utilities built on it: the real answers where a
// test can know them, and substituted ones.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/TestSupport.h"
#include "util/FileUtil.h"
#include "util/HostInfoUtil.h"
#include "util/ProcessUtil.h"
#include "util/ThreadUtil.h"
#include "util/ToolUtil.h"

#if defined(_WIN32)
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

using kqt::CToolUtil;
using quarn_test::FakePlatform;

namespace {
std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }
}  // namespace

TEST(RealSystemPlatform, ExecutablePathNamesThisProgram) {
  const std::string file = CToolUtil::GetApplicationFilePath();
  const std::string dir = CToolUtil::GetApplicationDirPath();
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(file.find('\\'), std::string::npos) << file;
  EXPECT_TRUE(kqt::CFileUtil::IsFile(file)) << file;
  EXPECT_EQ(file, dir + "/" + BaseName(file));
  EXPECT_EQ(BaseName(file).rfind("util_tests", 0), 0u) << file;
}

TEST(Platform, ApplicationDirectoryOfSubstitutedPaths) {
  FakePlatform fake;
  quarn_test::ScopedFakePlatform use(fake);
  fake.executablePath = "/opt/R/client/bin/agent";
  EXPECT_EQ(CToolUtil::GetApplicationDirPath(), "/opt/R/client/bin");
  fake.executablePath = "/agent";
  EXPECT_EQ(CToolUtil::GetApplicationDirPath(), "/");
  fake.executablePath = "C:/agent.exe";
  EXPECT_EQ(CToolUtil::GetApplicationDirPath(), "C:/");
  fake.executablePath = "C:/Program Files/R/client/bin/agent.exe";
  EXPECT_EQ(CToolUtil::GetApplicationDirPath(), "C:/Program Files/R/client/bin");
}

TEST(RealSystemPlatform, SubstituteIsRemovedWithItsScope) {
  const std::string real = CToolUtil::GetApplicationFilePath();
  {
    FakePlatform fake;
    fake.executablePath = "/fixed/agent";
    quarn_test::ScopedFakePlatform use(fake);
    EXPECT_EQ(CToolUtil::GetApplicationFilePath(), "/fixed/agent");
  }
  EXPECT_EQ(CToolUtil::GetApplicationFilePath(), real);
}

TEST(RealSystemPlatform, WordSizeOfTheOperatingSystem) {
  // A 32-bit Windows program is run in a 32-bit prefix and under WoW64;
  // each run says which it is.
  EXPECT_EQ(CToolUtil::IsX64System(), quarn_test::ExpectedSystemIs64Bit());
}

TEST(RealSystemProcessUtil, FindsThisProcessByItsExecutableName) {
  const std::string name = BaseName(CToolUtil::GetApplicationFilePath());
  const std::vector<kqt::ProcessEntry> found = kqt::GetProcessUtil()->GetProcessListByName(name);
  const unsigned int self = static_cast<unsigned int>(getpid());
  EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const kqt::ProcessEntry& e) { return e.pid == self; }))
      << "pid " << self << " not among " << found.size() << " processes named " << name;
  EXPECT_TRUE(kqt::GetProcessUtil()->GetProcessListByName("no-such-program-4711.exe").empty());
}

TEST(ProcessUtil, MatchesByExecutableOrFirstArgumentInListOrder) {
  FakePlatform fake;
  fake.processes = [] {
    return std::vector<kqt::sys::ProcessInfo>{
        {30, "BrundavelUpdate.exe", ""}, {10, "other.exe", ""}, {20, "wine64-preloader", "BrundavelUpdate.exe"}};
  };
  quarn_test::ScopedFakePlatform use(fake);
  const std::vector<kqt::ProcessEntry> found = kqt::GetProcessUtil()->GetProcessListByName("BrundavelUpdate.exe");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].pid, 30u);
  EXPECT_EQ(found[1].pid, 20u);
  EXPECT_TRUE(kqt::GetProcessUtil()->GetProcessListByName("").empty());
#if defined(_WIN32)
  EXPECT_EQ(kqt::GetProcessUtil()->GetProcessListByName("brundavelupdate.EXE").size(), 2u);
#else
  EXPECT_TRUE(kqt::GetProcessUtil()->GetProcessListByName("brundavelupdate.EXE").empty());
#endif
}

TEST(RealSystemHostInfoUtil, ADottedAddressResolvesToItselfWithoutAnyQuery) {
  EXPECT_EQ(kqt::CHostInfoUtil::GetIpListByDomain("192.0.2.7", 20), std::vector<std::string>{"192.0.2.7"});
  EXPECT_EQ(kqt::CHostInfoUtil::GetIpListByDomain("127.0.0.1", 20), std::vector<std::string>{"127.0.0.1"});
}

TEST(HostInfoUtil, CountBoundsTheListAndBadNamesGiveNothing) {
  FakePlatform fake;
  std::vector<std::string> asked;
  fake.lookup = [&](const std::string& name) {
    asked.push_back(name);
    std::vector<std::string> many;
    for (int i = 1; i <= 30; ++i) many.push_back("192.0.2." + std::to_string(i));
    return many;
  };
  quarn_test::ScopedFakePlatform use(fake);
  const std::vector<std::string> twenty = kqt::CHostInfoUtil::GetIpListByDomain("many.example.com", 20);
  ASSERT_EQ(twenty.size(), 20u);
  EXPECT_EQ(twenty.front(), "192.0.2.1");
  EXPECT_EQ(twenty.back(), "192.0.2.20");
  EXPECT_TRUE(kqt::CHostInfoUtil::GetIpListByDomain("many.example.com", 0).empty());
  EXPECT_TRUE(kqt::CHostInfoUtil::GetIpListByDomain("", 20).empty());
  EXPECT_TRUE(kqt::CHostInfoUtil::GetIpListByDomain(std::string("a\0b", 3), 20).empty());
  EXPECT_EQ(asked, std::vector<std::string>{"many.example.com"});  // the bad names never reach the resolver
}

TEST(ThreadUtil, RandomNumbersComeFromThePlatform) {
  FakePlatform fake;
  fake.random = [] { return -7; };
  quarn_test::ScopedFakePlatform use(fake);
  EXPECT_EQ(kqt::CThreadUtil::GetRandom(), -7);
}

TEST(RealSystemThreadUtil, RandomNumbersVary) {
  std::vector<int> draws;
  draws.reserve(16);
  for (int i = 0; i < 16; ++i) draws.push_back(kqt::CThreadUtil::GetRandom());
  std::sort(draws.begin(), draws.end());
  EXPECT_GT(std::unique(draws.begin(), draws.end()) - draws.begin(), 8);
}

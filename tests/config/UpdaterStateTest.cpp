// The updater's version record and process, the version texts, the URLs.
#include <chrono>
#include <filesystem>

#include "config/UrlRules.h"
#include "support/TestThread.h"
#include "tests/config/ConfigFixture.h"

class Updater : public ConfigFixture {
 protected:
  std::string UpdateDir() const { return installation.root() + "/quarn_update"; }
  void WriteRecord(const std::string& content) {
    std::filesystem::create_directories(UpdateDir());
    quarn_test::WriteFile(UpdateDir() + "/cur_version.txt", content);
  }
  unsigned long long Slept() const { return installation.platform.sleptMs.load(); }
  void SetUp() override { installation.platform.skipSleep = true; }
};

TEST_F(Updater, VersionIsTheTrimmedFirstLineOfTheRecord) {
  WriteRecord("  update_01_07 \t\r\nupdate_99_99\n");
  EXPECT_EQ(Config().GetUpdateVersion(), "update_01_07");
  WriteRecord("\nupdate_99_99\n");  // a blank first line is a version, the empty one
  EXPECT_EQ(Config().GetUpdateVersion(), "");
  WriteRecord("update_01_08");  // rewritten by the updater: read anew
  EXPECT_EQ(Config().GetUpdateVersion(), "update_01_08");
  EXPECT_EQ(Slept(), 0u);
}

TEST_F(Updater, NoRecordGivesTheDefaultAfterOneRetry) {
  WriteRecord("");
  EXPECT_EQ(Config().GetUpdateVersion(), "update_00_00");
  EXPECT_EQ(Slept(), 500u);
  std::filesystem::remove_all(UpdateDir());
  EXPECT_EQ(Config().GetUpdateVersion(), "update_00_00");
  EXPECT_EQ(Slept(), 1000u);
}

TEST_F(Updater, AMissingUpdaterDirectoryCostsHalfASecond) {
  installation.platform.skipSleep = false;
  CQuarnConfig& config = Config();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(config.GetUpdateVersion(), "update_00_00");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(490));
}

TEST_F(Updater, VersionDetailsCarryTheExecutablesSizes) {
  quarn_test::WriteFile(installation.platform.executablePath, std::string(512, 'x'));
  EXPECT_EQ(Config().GetVersionDetail(), "win32_quarn_00_90_512");
  WriteRecord("update_01_07\n");
  quarn_test::WriteFile(UpdateDir() + "/BrundavelUpdate.exe", std::string(1234, 'u'));
  EXPECT_EQ(Config().GetUpdateVerDetail(), "win32_update_01_07_1234");
  std::filesystem::remove(UpdateDir() + "/BrundavelUpdate.exe");
  EXPECT_EQ(Config().GetUpdateVerDetail(), "win32_update_01_07_0");
  Read("current_version=quarn_02_00\n");
  EXPECT_EQ(Config().GetVersionDetail(), "win32_quarn_02_00_512");
}

TEST_F(Updater, PidIsThatOfTheFirstListedUpdater) {
  std::vector<kqt::sys::ProcessInfo> running;
  installation.platform.processes = [&] { return running; };
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetUpdatePid(), 0);
  running = {{4, "System", ""}, {812, "BrundavelUpdate.exe", ""}};
  EXPECT_EQ(config.GetUpdatePid(), 812);
  running = {{950, "BrundavelUpdate.exe", ""}, {4, "System", ""}, {812, "BrundavelUpdate.exe", ""}};
  EXPECT_EQ(config.GetUpdatePid(), 950);
}

using RealSystemUpdater = Updater;

TEST_F(RealSystemUpdater, AnUpdaterProcessIsFoundWhileItRuns) {
  installation.platform.realSystem = true;  // the real process list
  quarn_test::TempDir dir;
  const std::string updater = dir.path() + "/BrundavelUpdate.exe";
  std::filesystem::copy_file(quarn_test::BuiltProgram("quarn_idle"), updater);
  CQuarnConfig& config = Config();
  {
    quarn_test::ChildProcess child(updater, "30000");
    ASSERT_NE(child.pid(), 0u);
    int found = 0;
    for (int attempt = 0; attempt < 100 && found != static_cast<int>(child.pid()); ++attempt) {
      found = config.GetUpdatePid();
      if (found != static_cast<int>(child.pid())) quarn_test::SleepMs(50);
    }
    EXPECT_EQ(found, static_cast<int>(child.pid()));
  }
  EXPECT_EQ(config.GetUpdatePid(), 0);
}

// The texts are the URL rules' (UrlRulesTest); here, that neither the
// settings, the override file nor the beta switch change what the object
// answers.
TEST_F(Updater, UrlsAreTheRulesWhateverTheSettingsSay) {
  installation.WriteSettings("update_srv_domain=other.example.org\nconnect_beta=1\n");
  installation.WriteDomainOverride("update_srv_domain=mirror.example.org\n");
  CQuarnConfig& config = Config();
  EXPECT_EQ(config.GetUpdateServerPreDomain(), quarn::urls::UpdateServer());
  EXPECT_EQ(config.GetPostSrvUrl(), quarn::urls::ReportUrl());
  EXPECT_EQ(config.GetDownLoadPreUrl(), quarn::urls::DownloadUrl());
  EXPECT_EQ(config.GetDownLoadPlatformUrl(), quarn::urls::PlatformDownloadUrl());
  EXPECT_NE(config.GetUpdateServerPreDomain(), "mirror.example.org");
}

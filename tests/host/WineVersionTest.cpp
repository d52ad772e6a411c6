// GetWinVersion and the way the SMBIOS table is obtained, end to end,
// through the real GetVersionExA and GetVersionExW of Wine. The
// program runs as copies named winver_<setting>.exe, and Wine pretends to
// be the Windows version <setting> for each copy (a per-program setting).
// The expected texts are written by hand from what Wine reports for each
// setting: the version, service pack, product type and product code.
#include <gtest/gtest.h>

#include <map>

#include "config/QuarnConfig.h"
#include "config/platform/HostPlatform.h"
#include "support/TestSupport.h"

namespace {

// What this copy's name says Wine pretends to be; empty for another name.
std::string WineSetting() {
  const std::string path = kqt::sys::NativePlatform().ExecutablePath();
  const std::string name = path.substr(path.find_last_of('/') + 1);
  const std::string prefix = "winver_", suffix = ".exe";
  if (name.rfind(prefix, 0) != 0 || name.size() <= prefix.size() + suffix.size()) return std::string();
  return name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
}

struct Expected {
  const char* amd64;  // on a 64-bit Wine
  const char* intel;  // on a 32-bit Wine
};

const std::map<std::string, Expected> kExpected = {
    {"win2k",
     {"Microsoft Windows 2000 Professional Service Pack 4 (build 2195)",
      "Microsoft Windows 2000 Professional Service Pack 4 (build 2195)"}},
    {"winxp",
     {"Microsoft Windows XP Professional Service Pack 3 (build 2600)",
      "Microsoft Windows XP Professional Service Pack 3 (build 2600)"}},
    // 5.2 workstation: the x64 edition by name on AMD64; on Intel the name
    // rule falls through to Server 2003, and a workstation gets no edition.
    {"winxp64",
     {"Microsoft Windows XP Professional x64 Edition Service Pack 2 (build 3790)",
      "Microsoft Windows Server 2003,  Service Pack 2 (build 3790)"}},
    {"win2003",
     {"Microsoft Windows Server 2003, Standard x64 Edition Service Pack 2 (build 3790)",
      "Microsoft Windows Server 2003, Standard Edition Service Pack 2 (build 3790)"}},
    // Product code 0x1C has no edition text.
    {"vista",
     {"Microsoft Windows Vista  Service Pack 2 (build 6002), 64-bit",
      "Microsoft Windows Vista  Service Pack 2 (build 6002), 32-bit"}},
    {"win2008",
     {"Microsoft Windows Server 2008 Standard Edition Service Pack 2 (build 6002), 64-bit",
      "Microsoft Windows Server 2008 Standard Edition Service Pack 2 (build 6002), 32-bit"}},
    // Wine reports win7 as a server and win2008r2 as a workstation.
    {"win7",
     {"Microsoft Windows Server 2008 R2 Standard Edition Service Pack 1 (build 7601), 64-bit",
      "Microsoft Windows Server 2008 R2 Standard Edition Service Pack 1 (build 7601), 32-bit"}},
    {"win2008r2",
     {"Microsoft Windows 7  Service Pack 1 (build 7601), 64-bit",
      "Microsoft Windows 7  Service Pack 1 (build 7601), 32-bit"}},
    // A program without a compatibility manifest is told 6.2 by 8.1 and 10.
    {"win8", {"Microsoft Windows 8  (build 9200), 64-bit", "Microsoft Windows 8  (build 9200), 32-bit"}},
    {"win81", {"Microsoft Windows 8  (build 9200), 64-bit", "Microsoft Windows 8  (build 9200), 32-bit"}},
    {"win10", {"Microsoft Windows 8  (build 9200), 64-bit", "Microsoft Windows 8  (build 9200), 32-bit"}},
};

}  // namespace

TEST(RealSystemWineVersion, DescriptionMatchesTheWindowsVersionWinePretends) {
  const std::string setting = WineSetting();
  if (setting.empty()) GTEST_SKIP() << "run as winver_<setting>.exe under Wine";
  ASSERT_EQ(kExpected.count(setting), 1u) << "no expected text for " << setting;
  // Stated by the run, not asked of the code under test: a 64-bit prefix
  // (also under WoW64) reports AMD64, a 32-bit one Intel.
  const bool amd64 = quarn_test::ExpectedSystemIs64Bit();
  const std::string expected = amd64 ? kExpected.at(setting).amd64 : kExpected.at(setting).intel;
  const std::string tag = amd64 ? "_X64" : "_X86";

  quarn_test::TempInstallation installation;
  installation.platform.realSystem = true;  // only the program's path is substituted
  CQuarnConfig* config = CSingleton<CQuarnConfig>::NewInstance();
  EXPECT_EQ(config->GetWinVersion(), expected);
  EXPECT_EQ(config->GetSysInfo(), expected);
  EXPECT_EQ(config->GetPlatInfo(), expected + tag);
  CSingleton<CQuarnConfig>::RemoveInstance();
}

// Windows before 5.2 has no firmware-table service: the table is looked for
// in physical memory, which Wine does not offer.
TEST(RealSystemWineVersion, SmbiosWayFollowsTheWindowsVersion) {
  const std::string setting = WineSetting();
  if (setting.empty()) GTEST_SKIP() << "run as winver_<setting>.exe under Wine";
  quarn_test::TempInstallation installation;
  installation.platform.realSystem = true;  // only the program's path is substituted
  quarn_test::CapturedLog log;
  CQuarnConfig* config = CSingleton<CQuarnConfig>::NewInstance();
  ::testing::internal::CaptureStdout();
  const std::string uuid = config->GetBiosUuid();
  const std::string printed = ::testing::internal::GetCapturedStdout();
  CSingleton<CQuarnConfig>::RemoveInstance();
  if (setting == "win2k" || setting == "winxp") {
    const std::string prefix = "Could not open \\device\\physicalmemory: ";
    EXPECT_EQ(printed.rfind(prefix, 0), 0u) << printed;
    EXPECT_GT(printed.size(), prefix.size() + 1) << "the system's text follows";
    EXPECT_EQ(uuid, "");
    EXPECT_NE(log.Text().find("get uuid failed!"), std::string::npos) << log.Text();
  } else {
    EXPECT_EQ(printed, "");
    EXPECT_EQ(uuid.size(), 36u) << uuid;
  }
}

// The version the system runs, which the inspector shows beside the one
// the library is told: the same up to Windows 8, 6.3 and 10.0 where a
// program without a manifest is told 6.2.
TEST(RealSystemWineVersion, TheTrueVersionIsWhatWinePretendsToRun) {
  const std::string setting = WineSetting();
  if (setting.empty()) GTEST_SKIP() << "run as winver_<setting>.exe under Wine";
  const quarn::sys::WindowsVersionInfo told = quarn::sys::NativeHostPlatform().WindowsVersion();
  const quarn::sys::RealWindowsVersion real = quarn::sys::NativeHostPlatform().TrueWindowsVersion();
  ASSERT_TRUE(real.known);
  if (setting == "win81") {
    EXPECT_EQ(real.major * 100 + real.minor, 603u);
  } else if (setting == "win10") {
    EXPECT_EQ(real.major * 100 + real.minor, 1000u);
  } else {
    EXPECT_EQ(real.major, told.major);
    EXPECT_EQ(real.minor, told.minor);
    EXPECT_EQ(real.build, told.build);
  }
  if (setting == "win81" || setting == "win10") {
    EXPECT_EQ(told.major * 100 + told.minor, 602u);
  }
}

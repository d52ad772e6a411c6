// Installations under directories whose names are not ASCII. Natively the
// names are bytes (Latin-1 bytes that are not UTF-8 included); under Wine
// they are texts of the ANSI code page, which Wine takes from the Unix
// locale: each case runs where the code page is its own (the suite
// registers it again with the locales of code pages 1252 and 932).
#include <gtest/gtest.h>

#if defined(_WIN32)
#include "util/platform/Win32.h"
#endif

#include "config/QuarnConfig.h"
#include "support/TestSupport.h"

using quarn_test::FakePlatform;
using quarn_test::IsDirectory;
using quarn_test::MakeDirectories;
using quarn_test::TempDir;
using quarn_test::WriteFile;

namespace {

// True where names of `codePage` can be written: under Windows when it is
// the ANSI code page; elsewhere always (bytes are bytes).
bool CodePageInForce(unsigned codePage) {
#if defined(_WIN32)
  return ::GetACP() == codePage;
#else
  (void)codePage;
  return true;
#endif
}

unsigned AnsiCodePage() {
#if defined(_WIN32)
  return ::GetACP();
#else
  return 0;
#endif
}

// Builds an installation below `parent`, with every file the library reads,
// and checks each answer that carries a path or comes from a file there.
void CheckInstallationBelow(const std::string& parent) {
  TempDir dir;
  const std::string R = dir.path() + "/" + parent + "/R";
  const std::string E = R + "/client/bin";
  MakeDirectories(E + "/conf");
  MakeDirectories(R + "/quarn_update");
  WriteFile(E + "/conf/cli_config.ini", "defaultinstall=edr\ncurrent_version=quarn_02_01\nloglevel=3\n");
  WriteFile(E + "/agent.exe", std::string(1234, 'x'));
  WriteFile(R + "/quarn_update/cur_version.txt", "update_03_04\r\n");
  WriteFile(R + "/quarn_update/BrundavelUpdate.exe", std::string(321, 'u'));
  ASSERT_FALSE(IsDirectory(R + "/globalcfg"));

  FakePlatform platform;
  platform.executablePath = E + "/agent.exe";
  platform.skipSleep = true;
  quarn_test::ScopedFakePlatform override(platform);

  CQuarnConfig& config = *CSingleton<CQuarnConfig>::NewInstance();
  EXPECT_EQ(config.GetQuarnDir(), R);
  EXPECT_EQ(config.GetGlobalCfgDir(), R + "/globalcfg");
  EXPECT_EQ(config.GetUpdateDir(), R + "/quarn_update");
  EXPECT_EQ(config.GetClientDir(), R + "/client");
  EXPECT_EQ(config.GetCurrentDir(), E);
  EXPECT_EQ(config.GetClientConfDir(), E + "/conf");
  EXPECT_EQ(config.GetClientDataDir(), E + "/data");
  EXPECT_EQ(config.GetConfigFilePath(), E + "/conf/cli_config.ini");
  EXPECT_EQ(config.GetUpdateExeName(), "BrundavelUpdate.exe");
  EXPECT_EQ(config.GetUpdateExePath(), R + "/quarn_update/BrundavelUpdate.exe");
  EXPECT_EQ(config.GetUpdatePidFilePath(), R + "/quarn_update/pid.txt");
  EXPECT_EQ(config.GetUpCmdFilePath(), R + "/quarn_update/up_cmd.txt");
  EXPECT_EQ(config.GetUpdateVersionFilePath(), R + "/quarn_update/cur_version.txt");
  EXPECT_TRUE(IsDirectory(R + "/globalcfg")) << "globalcfg is created beside client";

  EXPECT_EQ(config.GetInstallModule(), "edr");
  EXPECT_EQ(config.GetLogLevel(), 3);
  EXPECT_EQ(config.GetUpdateVersion(), "update_03_04");
  EXPECT_EQ(config.GetVersionDetail(), "win32_quarn_02_01_1234");
  EXPECT_EQ(config.GetUpdateVerDetail(), "win32_update_03_04_321");

  // The override file in the directory just created is read by the next
  // object.
  WriteFile(R + "/globalcfg/domaincfg.ini", "srv_domain=o1.example.com|o2.example.com\n");
  CSingleton<CQuarnConfig>::RemoveInstance();
  CQuarnConfig& again = *CSingleton<CQuarnConfig>::NewInstance();
  const std::vector<std::string> servers = again.GetAllSrvUrl();
  ASSERT_GE(servers.size(), 2u);
  EXPECT_EQ(servers[0], "o1.example.com");
  EXPECT_EQ(servers[1], "o2.example.com");
  EXPECT_EQ(again.GetInstallModule(), "edr");
  CSingleton<CQuarnConfig>::RemoveInstance();
}

}  // namespace

TEST(CodePage, InstallationBelowNamesOfCodePage1252) {
  if (!CodePageInForce(1252)) GTEST_SKIP() << "the ANSI code page is " << AnsiCodePage() << ", not 1252";
  // "Zürich/eur€": 0xFC and 0x80 are one letter each in 1252, and not UTF-8.
  CheckInstallationBelow("Z\xFCrich/eur\x80");
}

TEST(CodePage, InstallationBelowNamesOfCodePage932) {
  if (!CodePageInForce(932)) GTEST_SKIP() << "the ANSI code page is " << AnsiCodePage() << ", not 932";
  // "表/ソフト": both double-byte characters end in the byte 0x5C.
  CheckInstallationBelow("\x95\x5C/\x83\x5C\x83\x74\x83\x67");
}

// The places of an installation from its executable directory, as texts:
// path arithmetic, and the two questions the rules put to the disk.
#include "config/LayoutRules.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace L = quarn::layout;

namespace {

// E's places as "field=text" lines, for one comparison per row.
std::string Shown(const L::Places& p) {
  return "client=" + p.clientDir + "\nroot=" + p.root + "\nconf=" + p.confDir + "\ndata=" + p.dataDir +
         "\nsettings=" + p.configFile + "\nglobalcfg=" + p.globalCfg + "\noverride=" + p.overrideFile +
         "\nupdate=" + p.updateDir + "\nexe=" + p.updateExe + "\npid=" + p.updatePidFile +
         "\ncmd=" + p.updateCommandFile + "\nrecord=" + p.updateVersionFile + "\n";
}

}  // namespace

TEST(LayoutRules, PlacesFollowFromTheExecutableDirectory) {
#if defined(_WIN32)
  const std::string root = "C:/";
#else
  const std::string root = "/";
#endif
  const struct {
    std::string executableDir;
    std::string places;
  } rows[] = {
      {root + "opt/R/client/bin",
       "client=" + root + "opt/R/client\nroot=" + root + "opt/R\nconf=" + root + "opt/R/client/bin/conf\ndata=" + root +
           "opt/R/client/bin/data\nsettings=" + root + "opt/R/client/bin/conf/cli_config.ini\nglobalcfg=" + root +
           "opt/R/globalcfg\noverride=" + root + "opt/R/globalcfg/domaincfg.ini\nupdate=" + root +
           "opt/R/quarn_update\nexe=" + root + "opt/R/quarn_update/BrundavelUpdate.exe\npid=" + root +
           "opt/R/quarn_update/pid.txt\ncmd=" + root + "opt/R/quarn_update/up_cmd.txt\nrecord=" + root +
           "opt/R/quarn_update/cur_version.txt\n"},
      // Written with a trailing separator and a "." inside: the same places.
      {root + "opt/R/client/./bin/", ""},
      // One level below a root: the root stands for the client directory
      // and the root alike, and joins without a second separator.
      {root + "bin", "client=" + root + "\nroot=" + root + "\nconf=" + root + "bin/conf\ndata=" + root +
                         "bin/data\nsettings=" + root + "bin/conf/cli_config.ini\nglobalcfg=" + root +
                         "globalcfg\noverride=" + root + "globalcfg/domaincfg.ini\nupdate=" + root +
                         "quarn_update\nexe=" + root + "quarn_update/BrundavelUpdate.exe\npid=" + root +
                         "quarn_update/pid.txt\ncmd=" + root + "quarn_update/up_cmd.txt\nrecord=" + root +
                         "quarn_update/cur_version.txt\n"},
  };
  std::string previous;
  for (const auto& row : rows) {
    const std::string expected = row.places.empty() ? previous : row.places;
    EXPECT_EQ(Shown(L::DerivePlaces(row.executableDir)), expected) << row.executableDir;
    previous = expected;
  }
  EXPECT_EQ(L::DerivePlaces(root + "opt/R/client/bin").updateExeName, "BrundavelUpdate.exe");
}

TEST(LayoutRules, VersionDetailsCarryTheProgramsSize) {
  EXPECT_EQ(L::VersionDetail("quarn_01_05", 17544720), "win32_quarn_01_05_17544720");
  EXPECT_EQ(L::VersionDetail("", 0), "win32__0");
  EXPECT_EQ(L::VersionDetail("update_01_07", -1), "win32_update_01_07_-1");
}

// The record's first line, trimmed; nothing without the directory or a
// record that was read.
TEST(LayoutRules, TheUpdaterVersionIsTheRecordsFirstLineTrimmed) {
  struct Row {
    bool directory, read;
    const char* record;
    bool known;
    const char* version;
  };
  const Row rows[] = {
      {true, true, " update_01_07 \r\nnext\n", true, "update_01_07"},
      {true, true, "update_01_07", true, "update_01_07"},
      {true, true, "\nupdate_01_07\n", true, ""},
      {true, true, "a\rb\n", true, "a\rb"},
      {false, true, "update_01_07\n", false, "update_00_00"},
      {true, false, "update_01_07\n", false, "update_00_00"},
  };
  for (const Row& row : rows) {
    std::string version = "unchanged";
    EXPECT_EQ(L::UpdateVersionOfRecord(row.directory, row.read, row.record, version), row.known) << row.record;
    EXPECT_EQ(version, row.version) << row.record;
  }
}

// The two questions to the disk: nothing is created when the executable's
// directory is unknown, and the updater's record is read only from an
// updater directory that exists.
TEST(LayoutRules, AskTheDiskOnlyWhereTheySaySo) {
  quarn_test::TempDir dir;
  const std::string E = dir.path() + "/R/client/bin";
  quarn_test::MakeDirectories(E);
  const L::Places places = L::DerivePlaces(E);
  EXPECT_FALSE(quarn_test::IsDirectory(places.globalCfg)) << "deriving the places made nothing";
  EXPECT_TRUE(L::ConstructionCreatesGlobalCfg(E, places));
  EXPECT_FALSE(L::ConstructionCreatesGlobalCfg("", places));
  quarn_test::MakeDirectories(places.globalCfg);
  EXPECT_FALSE(L::ConstructionCreatesGlobalCfg(E, places));

  std::string version = "unchanged";
  EXPECT_FALSE(L::ReadUpdateVersionRecord(places.updateDir, version));
  EXPECT_EQ(version, "update_00_00");
  quarn_test::MakeDirectories(places.updateDir);
  quarn_test::WriteFile(places.updateVersionFile, " update_01_07 \r\nnext\n");
  EXPECT_TRUE(L::ReadUpdateVersionRecord(places.updateDir, version));
  EXPECT_EQ(version, "update_01_07");
}

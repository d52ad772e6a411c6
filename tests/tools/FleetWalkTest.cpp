// The fleet's walk of its folders: it ends whatever links a folder holds,
// enters each folder once, reads each file once, and says what it passed
// over; a path that names nothing is an error, not a clean fleet.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "fleet/BundleFiles.h"
#include "support/FleetBundles.h"
#include "support/TestSupport.h"
#include "util/ToolUtil.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Each skipped entry's reason, by its path below `dir`.
std::map<std::string, std::string> SkippedBelow(const quarn_tools::BundleFiles& found, const std::string& dir) {
  std::map<std::string, std::string> skipped;
  for (const auto& entry : found.skipped) skipped[entry.first.substr(dir.size() + 1)] = entry.second;
  return skipped;
}

TEST(FleetWalk, EndsInLinkLoopsAndSaysWhatItPassedOver) {
  quarn_test::TempDir temp;
  const std::string dir = temp.path() + "/fleet";
  fs::create_directories(dir + "/sub");
  quarn_test::WriteFile(dir + "/a.json", "{}");
  fs::create_directory_symlink("..", dir + "/sub/loop");       // back to the fleet
  fs::create_directory_symlink(".", dir + "/sub/self");        // to itself
  fs::create_directory_symlink("../sub", dir + "/sub/again");  // to itself, the long way
  fs::create_directory_symlink("/", dir + "/root");            // the whole file system
  fs::create_directory_symlink(temp.path(), dir + "/up");      // the folder that holds the fleet
  fs::create_symlink("nowhere.json", dir + "/dangling.json");
  fs::create_symlink("/dev/null", dir + "/device.json");
  ASSERT_EQ(mkfifo((dir + "/pipe.json").c_str(), 0600), 0);
  std::string deep = dir + "/d";
  for (int level = 1; level < 16; ++level) deep += "/d";  // 16 levels below the fleet
  fs::create_directories(deep + "/d");
  quarn_test::WriteFile(deep + "/d/deep.json", "{}");
  quarn_test::WriteFile(deep + "/shallow-enough.json", "{}");

  const quarn_tools::BundleFiles found = quarn_tools::FindBundleFiles({dir, dir + "//a.json", dir + "/a.json"});
  EXPECT_EQ(found.files, (std::vector<std::string>{dir + "/a.json", deep + "/shallow-enough.json"}));
  EXPECT_TRUE(found.missing.empty());
  const std::map<std::string, std::string> skipped = SkippedBelow(found, dir);
  const std::string deepBelow = deep.substr(dir.size() + 1) + "/d";
  const std::map<std::string, std::string> expected = {
      {"/a.json", "the same file as " + dir + "/a.json, read once"},
      {"a.json", "the same file as " + dir + "/a.json, read once"},
      {"dangling.json", "not a bundle: a link to nothing"},
      {"device.json", "not a bundle: a link to a character device"},
      {"pipe.json", "not a bundle: a FIFO"},
      {"root", "a link to a folder that holds the fleet's: not followed"},
      {"up", "a link to a folder that holds the fleet's: not followed"},
      {"sub/again", "a folder already searched (a link leads to it again)"},
      {"sub/loop", "a folder already searched (a link leads to it again)"},
      {"sub/self", "a folder already searched (a link leads to it again)"},
      {deepBelow, "too deep: folders are searched 16 levels down"}};
  EXPECT_EQ(skipped, expected);
}

// Run as root, every folder can be read: then the program runs as nobody.
TEST(FleetWalk, AnUnreadableFolderIsSaid) {
  quarn_test::TempDir temp;
  fs::create_directories(temp.path() + "/closed");
  fs::permissions(temp.path() + "/closed", fs::perms::none);
  if (geteuid() != 0) {
    const quarn_tools::BundleFiles found = quarn_tools::FindBundleFiles({temp.path()});
    fs::permissions(temp.path() + "/closed", fs::perms::owner_all);
    EXPECT_EQ(SkippedBelow(found, temp.path()), (std::map<std::string, std::string>{{"closed", "unreadable folder"}}));
    return;
  }
  if (std::system("command -v setpriv > /dev/null") != 0)
    GTEST_SKIP() << "run as root, and no setpriv to run as nobody";
  quarn_test::FleetMachinePlan plan;
  plan.name = "ONE";
  plan.uuid = quarn_test::UuidOf(1);
  plan.addresses = {"10.0.0.1"};
  quarn_test::WriteFile(temp.path() + "/one.json", quarn_test::FleetBundleText(plan));
  fs::permissions(temp.path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(temp.path() + "/one.json", fs::perms::owner_all | fs::perms::others_read);
  const std::string out = temp.path() + "/out";
  std::system(("setpriv --reuid 65534 --regid 65534 --clear-groups '" + kqt::CToolUtil::GetApplicationDirPath() +
               "/quarncfg' fleet '" + temp.path() + "' > '" + out + "' 2>&1")
                  .c_str());
  fs::permissions(temp.path() + "/closed", fs::perms::owner_all);
  EXPECT_NE(quarn_test::ReadFile(out).find("  " + temp.path() + "/closed: unreadable folder\n"), std::string::npos)
      << quarn_test::ReadFile(out);
}

// Status 2, with the path said, for a path that names nothing or a fleet
// with nothing to read; a fleet read, with a bad path beside it, is no fleet.
TEST(FleetWalk, APathThatNamesNothingIsAnError) {
  quarn_test::TempDir temp;
  fs::create_directories(temp.path() + "/empty");
  quarn_test::FleetMachinePlan plan;
  plan.name = "ONE";
  plan.uuid = quarn_test::UuidOf(1);
  plan.addresses = {"10.0.0.1"};
  quarn_test::WriteFile(temp.path() + "/one.json", quarn_test::FleetBundleText(plan));
  const std::string program = kqt::CToolUtil::GetApplicationDirPath() + "/quarncfg";
  const auto run = [&](const std::string& args) {
    const int status =
        std::system(("\"" + program + "\" fleet " + args + " > \"" + temp.path() + "/out\" 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run("\"" + temp.path() + "/one.json\""), 0) << quarn_test::ReadFile(temp.path() + "/out");
  EXPECT_EQ(run("\"" + temp.path() + "/one.json\" \"" + temp.path() + "/typo.json\""), 2);
  EXPECT_NE(quarn_test::ReadFile(temp.path() + "/out").find("typo.json: no such file or folder"), std::string::npos)
      << quarn_test::ReadFile(temp.path() + "/out");
  EXPECT_EQ(run("\"" + temp.path() + "/empty\""), 2);
  EXPECT_NE(quarn_test::ReadFile(temp.path() + "/out").find("no bundle"), std::string::npos);
  // Bundles that are all refused: what was refused said, and no clean fleet.
  quarn_test::WriteFile(temp.path() + "/empty/garbage.json", "not a bundle");
  EXPECT_EQ(run("\"" + temp.path() + "/empty\""), 2);
  const std::string refused = quarn_test::ReadFile(temp.path() + "/out");
  EXPECT_NE(refused.find("garbage.json"), std::string::npos) << refused;
  EXPECT_NE(refused.find("no bundle could be used"), std::string::npos) << refused;
  EXPECT_EQ(refused.find("No two machines share"), std::string::npos) << refused;
}

// Out of memory on one bundle, under a limit of address space: that bundle
// refused, the others read, no abort.
TEST(FleetWalk, ABundleThatNeedsMoreMemoryThanGivenIsRefusedAlone) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "not with a sanitizer: its shadow memory needs more address space than the limit";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  GTEST_SKIP() << "not with a sanitizer: its shadow memory needs more address space than the limit";
#endif
#endif
  quarn_test::TempDir temp;
  quarn_test::FleetMachinePlan plan;
  plan.name = "SOUND";
  plan.uuid = quarn_test::UuidOf(2);
  plan.addresses = {"10.0.0.2"};
  const std::string sound = quarn_test::FleetBundleText(plan);
  quarn_test::WriteFile(temp.path() + "/sound.json", sound);
  // Its recorded report says a million and a half texts were undecodable:
  // read, they cost several times their 60 MB.
  std::string texts;
  for (int i = 0; i < 1500000; ++i)
    texts += "\"/servers/service_servers/" + std::to_string(100000000 + i) + "\":\"ff\",";
  std::string big = sound;
  const std::size_t at = big.find("\"undecodable_texts\":{");
  ASSERT_NE(at, std::string::npos);
  big.insert(at + 21, texts.substr(0, big[at + 21] == '}' ? texts.size() - 1 : texts.size()));
  quarn_test::WriteFile(temp.path() + "/big.json", big);
  const std::string out = temp.path() + "/out";
  const int status = std::system(("ulimit -v 250000; '" + kqt::CToolUtil::GetApplicationDirPath() +
                                  "/quarncfg' fleet '" + temp.path() + "' > '" + out + "' 2>&1")
                                     .c_str());
  ASSERT_TRUE(WIFEXITED(status)) << quarn_test::ReadFile(out);
  EXPECT_EQ(WEXITSTATUS(status), 0) << quarn_test::ReadFile(out);
  EXPECT_NE(quarn_test::ReadFile(out).find("big.json: out of memory while reading it"), std::string::npos)
      << quarn_test::ReadFile(out);
  EXPECT_NE(quarn_test::ReadFile(out).find("Fleet of 2 bundles: 1 machine"), std::string::npos);
}

}  // namespace

#endif

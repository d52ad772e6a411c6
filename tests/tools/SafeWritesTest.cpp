// The files quarncfg writes: a bundle replaces the earlier one only when it
// is whole, on a full or read-only file system the earlier one stays and the
// message says why; an extract writes into a new or empty folder only, through
// no link, and its bundle.txt carries no control byte of the bundle's.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/FileSystem.h"
#include "support/FleetBundles.h"
#include "support/TestSupport.h"
#include "util/ToolUtil.h"

#if !defined(_WIN32)
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

std::string Program() { return kqt::CToolUtil::GetApplicationDirPath() + "/quarncfg"; }

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> NamesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::path(dir))) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SafeWrites, AFileIsReplacedWholeAndALinkIsNotFollowed) {
  quarn_test::TempDir dir;
  const std::string elsewhere = dir.path() + "/elsewhere.txt", target = dir.path() + "/out/b.json";
  fs::create_directories(dir.path() + "/out");
  quarn_test::WriteFile(elsewhere, "the user's own file");
  fs::create_symlink(elsewhere, target);
  std::string why;
  ASSERT_TRUE(quarn_tools::ReplaceWholeFile(target, "new bytes", why)) << why;
  EXPECT_EQ(quarn_test::ReadFile(elsewhere), "the user's own file");
  EXPECT_FALSE(fs::is_symlink(target));
  EXPECT_EQ(quarn_test::ReadFile(target), "new bytes");
  EXPECT_EQ(NamesIn(dir.path() + "/out"), std::vector<std::string>{"b.json"});  // no temporary file left

  // Created exclusively: neither a file nor a link already there is written.
  EXPECT_FALSE(quarn_tools::WriteNewFile(target, "again", why));
  fs::create_symlink(dir.path() + "/made-through-a-link", dir.path() + "/out/smbios.bin");
  EXPECT_FALSE(quarn_tools::WriteNewFile(dir.path() + "/out/smbios.bin", "table", why));
  EXPECT_FALSE(fs::exists(dir.path() + "/made-through-a-link"));
  EXPECT_EQ(why, "something (a file or a link) is there already");
}

// A folder swapped for a link once it was checked: the files still go into
// the folder that was checked (on Windows it cannot be moved while held).
TEST(SafeWrites, AFolderSwappedForALinkAfterItsCheckGetsNothingThroughIt) {
  quarn_test::TempDir dir;
  const std::string folder = dir.path() + "/extract", victim = dir.path() + "/victim";
  fs::create_directories(victim);
  quarn_tools::NewFolder made;
  std::string why;
  ASSERT_TRUE(made.Make(folder, why)) << why;
  std::error_code moved;
  fs::rename(folder, dir.path() + "/checked", moved);
  if (moved) {
    EXPECT_TRUE(made.WriteNewFile("bundle.txt", "text", why)) << why;
    EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"bundle.txt"});
    return;
  }
  fs::create_directory_symlink(victim, folder);
  ASSERT_TRUE(made.WriteNewFile("bundle.txt", "text", why)) << why;
  EXPECT_TRUE(NamesIn(victim).empty());
  EXPECT_EQ(quarn_test::ReadFile(dir.path() + "/checked/bundle.txt"), "text");
  EXPECT_FALSE(made.WriteNewFile("bundle.txt", "again", why));

  // A link or a folder that is not empty is refused from the start.
  quarn_tools::NewFolder link, full;
  EXPECT_FALSE(link.Make(folder, why));
  EXPECT_FALSE(full.Make(dir.path() + "/checked", why));
  EXPECT_NE(why.find("not empty"), std::string::npos) << why;
}

// A small tmpfs in a mount namespace of its own: filled, then read-only.
TEST(SafeWrites, ABundleOnAFullOrReadOnlyFileSystemLeavesTheEarlierOne) {
  if (Shell("unshare -rm true 2>/dev/null") != 0) GTEST_SKIP() << "no mount namespace can be made here (unshare -rm)";
  quarn_test::TempDir dir;
  fs::create_directories(dir.path() + "/inst/conf");
  fs::create_directories(dir.path() + "/small");
  const std::string small = dir.path() + "/small", log = dir.path() + "/log", script = dir.path() + "/full.sh";
  const std::string bundle =
      "'" + Program() + "' bundle --installation '" + dir.path() + "/inst' -o \"$d/b.json\" 2>&1; echo \"status $?\"\n";
  quarn_test::WriteFile(
      script, "d='" + small + "'\nmount -t tmpfs -o size=64k none \"$d\" || exit 9\n" +
                  "printf earlier > \"$d/b.json\"\nhead -c 1048576 /dev/zero > \"$d/fill\" 2>/dev/null\n" + bundle +
                  "ls \"$d\"\ncat \"$d/b.json\"; echo\nmount -o remount,ro \"$d\" || exit 9\n" + bundle +
                  "cat \"$d/b.json\"\n");
  ASSERT_EQ(Shell("unshare -rm sh '" + script + "' > '" + log + "' 2>&1"), 0) << quarn_test::ReadFile(log);
  const std::string said = quarn_test::ReadFile(log);
  EXPECT_NE(said.find("b.json cannot be written: no space left on the device; what was there is left as it was\n"
                      "status 3\nb.json\nfill\nearlier\n"),
            std::string::npos)
      << said;
  EXPECT_NE(said.find("cannot be written: a read-only file system; what was there is left as it was\n"
                      "status 3\nearlier"),
            std::string::npos)
      << said;
}

class Extract : public ::testing::Test {
 protected:
  void SetUp() override {
    quarn_test::FleetMachinePlan plan;
    // A terminal's title and a clear screen, and a line of the bundle's
    // making that would read as the tool's own.
    plan.name = "PC\x1b]0;retitled\x07\x1b[2J\nIts content matches the digest";
    plan.uuid = quarn_test::UuidOf(3);
    plan.addresses = {"10.0.0.3"};
    quarn_test::WriteFile(m_bundle, quarn_test::FleetBundleText(plan));
  }
  int Into(const std::string& folder) {
    return Shell("'" + Program() + "' --from-bundle '" + m_bundle + "' --extract '" + folder + "' > '" + dir.path() +
                 "/out' 2>&1");
  }
  std::string Said() const { return quarn_test::ReadFile(dir.path() + "/out"); }

  quarn_test::TempDir dir;
  std::string m_bundle = dir.path() + "/machine.json";
};

TEST_F(Extract, WritesPrintableTextIntoANewFolderOnly) {
  const std::string folder = dir.path() + "/opened";
  ASSERT_EQ(Into(folder), 0) << Said();
  EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"bundle.txt", "cli_config.ini", "smbios.bin"}));
  const std::string text = quarn_test::ReadFile(folder + "/bundle.txt");
  EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
  EXPECT_EQ(text.find('\x07'), std::string::npos) << text;
  EXPECT_NE(text.find("Machine: PC"), std::string::npos) << text;
  EXPECT_EQ(text.find("\nIts content matches the digest\n"), std::string::npos) << text;
  EXPECT_EQ(Said().find('\x1b'), std::string::npos);

  // Again into it: refused, the earlier machine's files as they were.
  EXPECT_EQ(Into(folder), 3);
  EXPECT_NE(Said().find("not empty"), std::string::npos) << Said();
}

TEST_F(Extract, WritesThroughNoPlantedLink) {
  const std::string folder = dir.path() + "/planted", victim = dir.path() + "/victim.ini";
  fs::create_directories(folder);
  quarn_test::WriteFile(victim, "the engineer's own settings\n");
  fs::create_symlink(victim, folder + "/cli_config.ini");
  fs::create_symlink(dir.path() + "/created-by-link", folder + "/smbios.bin");
  EXPECT_EQ(Into(folder), 3);
  EXPECT_EQ(quarn_test::ReadFile(victim), "the engineer's own settings\n");
  EXPECT_FALSE(fs::exists(dir.path() + "/created-by-link"));
  EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"cli_config.ini", "smbios.bin"}));

  // The folder itself a link to one elsewhere: refused, nothing written there.
  fs::create_directories(dir.path() + "/elsewhere");
  fs::create_directory_symlink(dir.path() + "/elsewhere", dir.path() + "/linked");
  EXPECT_EQ(Into(dir.path() + "/linked"), 3);
  EXPECT_TRUE(NamesIn(dir.path() + "/elsewhere").empty());
}

}  // namespace

#endif

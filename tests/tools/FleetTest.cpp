// The fleet view over a fleet made up for the purpose: cloned machines that
// share a UUID and a table, boards shipped with the placeholder UUID, two
// machines behind one identity address, one machine bundled twice, one whose
// settings differ, a broken bundle. Each group comes out exactly as planted,
// from plain bundles and from bundles redacted with one key.
#include "fleet/Fleet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "fleet/BundleFiles.h"
#include "support/FleetBundles.h"
#include "support/TestSupport.h"
#include "util/ToolUtil.h"

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace {

namespace fs = std::filesystem;
using quarn_test::FleetMachinePlan;
using Names = std::set<std::string>;

const char kKey[] = "one redaction key for the fleet!";

// The placeholder firmware ships before a maker fills the UUID in.
const std::array<unsigned char, 16> kUnfilled = {0x03, 0x00, 0x02, 0x00, 0x04, 0x00, 0x05, 0x00,
                                                 0x00, 0x06, 0x00, 0x07, 0x00, 0x08, 0x00, 0x09};

FleetMachinePlan Machine(const std::string& name, unsigned seed, const std::string& address) {
  FleetMachinePlan plan;
  plan.name = name;
  plan.uuid = quarn_test::UuidOf(seed);
  plan.serial = "SN-" + std::to_string(seed);
  plan.addresses = {address};
  return plan;
}

// The planted fleet, written under `dir` (some in a folder below it), plain
// or redacted with one key.
void WriteFleet(const std::string& dir, bool redacted) {
  std::vector<std::pair<std::string, FleetMachinePlan>> machines;
  // Three clones of one virtual machine: one table, renamed, readdressed.
  for (const char* clone : {"clone-a", "clone-b", "clone-c"}) {
    FleetMachinePlan plan = Machine(std::string("VM-") + clone, 7, "10.0.0." + std::to_string(clone[6] - 'a' + 10));
    machines.emplace_back(std::string("clones/") + clone + ".json", plan);
  }
  // Two boards that kept the placeholder UUID, each its own serial number.
  for (int board = 1; board <= 2; ++board) {
    FleetMachinePlan plan = Machine("BOARD-" + std::to_string(board), 100 + board, "10.0.1." + std::to_string(board));
    plan.uuid = kUnfilled;
    machines.emplace_back("board-" + std::to_string(board) + ".json", plan);
  }
  // Two machines behind one address.
  machines.emplace_back("nat-1.json", Machine("NAT-1", 201, "10.9.9.9"));
  machines.emplace_back("nat-2.json", Machine("NAT-2", 202, "10.9.9.9"));
  // One machine bundled twice, a week apart.
  FleetMachinePlan twice = Machine("TWICE", 301, "10.0.3.1");
  twice.madeAt = "2026-11-24T10:00:00Z";
  machines.emplace_back("twice-old.json", twice);
  twice.madeAt = "2026-12-01T10:00:00Z";
  machines.emplace_back("twice-new.json", twice);
  // One whose CPU limit is not the fleet's.
  FleetMachinePlan drift = Machine("DRIFT", 401, "10.0.4.1");
  drift.settings = "defaultinstall=full\nmax_cpuuse=50\n";
  machines.emplace_back("drift.json", drift);
  fs::create_directories(fs::path(dir + "/clones"));
  for (const auto& machine : machines)
    quarn_test::WriteFile(dir + "/" + machine.first,
                          quarn_test::FleetBundleText(machine.second, redacted ? kKey : std::string()));
  const std::string sound = quarn_test::FleetBundleText(Machine("BROKEN", 501, "10.0.5.1"));
  quarn_test::WriteFile(dir + "/broken.json", sound.substr(0, sound.size() / 2));
  quarn_test::WriteFile(dir + "/clones/notes.txt", "not a bundle, and not named as one\n");
}

std::string FileName(const std::string& path) { return fs::path(path).filename().string(); }

Names NamesOf(const quarn_tools::Fleet& fleet, const quarn_tools::SharedValue& group) {
  Names names;
  for (std::size_t i : group.machines) names.insert(FileName(fleet.Machines()[i].identity.bundle));
  return names;
}

quarn_tools::Fleet FleetOf(const std::string& dir) {
  quarn_tools::Fleet fleet;
  for (const std::string& file : quarn_tools::FindBundleFiles({dir}).files) {
    quarn_tools::MachineFacts facts;
    std::string error;
    if (quarn_tools::FactsOfBundle(file, facts, error))
      fleet.Add(std::move(facts));
    else
      fleet.AddRefused(file, error);
  }
  fleet.Finish();
  return fleet;
}

class FleetView : public ::testing::TestWithParam<bool> {};

TEST_P(FleetView, FindsEveryGroupAsPlanted) {
  quarn_test::TempDir dir;
  WriteFleet(dir.path(), GetParam());
  const quarn_tools::Fleet fleet = FleetOf(dir.path());

  EXPECT_EQ(fleet.BundlesRead(), 11u);
  EXPECT_EQ(fleet.Machines().size(), 9u);  // the machine bundled twice counts once
  ASSERT_EQ(fleet.Refused().size(), 1u);
  EXPECT_EQ(FileName(fleet.Refused()[0].first), "broken.json");

  ASSERT_EQ(fleet.SharedUuids().size(), 2u);
  std::map<Names, bool> uuids;  // the machines of each group, and whether its UUID is a placeholder
  for (const auto& group : fleet.SharedUuids()) uuids[NamesOf(fleet, group)] = group.placeholder;
  EXPECT_EQ(uuids, (std::map<Names, bool>{{{"clone-a.json", "clone-b.json", "clone-c.json"}, false},
                                          {{"board-1.json", "board-2.json"}, true}}));
  ASSERT_EQ(fleet.SharedChecksums().size(), 1u);
  EXPECT_EQ(NamesOf(fleet, fleet.SharedChecksums()[0]), (Names{"clone-a.json", "clone-b.json", "clone-c.json"}));
  ASSERT_EQ(fleet.SharedAddresses().size(), 1u);
  EXPECT_EQ(NamesOf(fleet, fleet.SharedAddresses()[0]), (Names{"nat-1.json", "nat-2.json"}));
  EXPECT_FALSE(fleet.SharedAddresses()[0].placeholder);

  ASSERT_EQ(fleet.Repeated().size(), 1u);
  std::vector<std::string> twice;
  for (const std::string& bundle : fleet.Repeated()[0].bundles) twice.push_back(FileName(bundle));
  EXPECT_EQ(twice, (std::vector<std::string>{"twice-new.json", "twice-old.json"}));  // the newest stands for it

  ASSERT_EQ(fleet.Drifts().size(), 1u);
  const quarn_tools::Drift& drift = fleet.Drifts()[0];
  EXPECT_STREQ(quarn::settings::Setting(drift.row).name, "max_cpu_use");
  EXPECT_EQ(fleet.Value(drift.majority).excerpt, "10.0");
  ASSERT_EQ(drift.machines.size(), 1u);
  const quarn_tools::FleetMachine& odd = fleet.Machines()[drift.machines[0]];
  EXPECT_EQ(FileName(odd.identity.bundle), "drift.json");
  EXPECT_EQ(fleet.Value(odd.values[drift.row]).excerpt, "50.0");
  EXPECT_STREQ(odd.origins[drift.row], "file");

  // Redacted, nothing of the machines' own is left to show.
  for (const quarn_tools::FleetMachine& machine : fleet.Machines()) {
    EXPECT_EQ(machine.identity.redacted, GetParam());
    EXPECT_EQ(machine.identity.machineName.rfind("host-", 0) == 0, GetParam()) << machine.identity.machineName;
  }
}

INSTANTIATE_TEST_SUITE_P(PlainAndRedacted, FleetView, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Redacted" : "Plain"; });

// Redacted with one key, the same values have the same pseudonyms across
// bundles; with two keys, they do not, and the clones no longer meet.
TEST(FleetView, BundlesRedactedWithDifferentKeysDoNotMeet) {
  quarn_test::TempDir dir;
  const FleetMachinePlan clone = Machine("VM", 7, "10.0.0.1");
  quarn_test::WriteFile(dir.path() + "/a.json", quarn_test::FleetBundleText(clone, kKey));
  quarn_test::WriteFile(dir.path() + "/b.json", quarn_test::FleetBundleText(clone, "another key, of another bundle"));
  const quarn_tools::Fleet fleet = FleetOf(dir.path());
  EXPECT_EQ(fleet.Machines().size(), 2u);
  EXPECT_TRUE(fleet.SharedUuids().empty());
  EXPECT_TRUE(fleet.Repeated().empty());
}

// quarncfg fleet, the program: the folder searched, exit status 1 for the
// shared identities, and the same groups in its JSON; collisions first in
// its text.
TEST(FleetView, TheProgramSaysWhichMachinesCollide) {
  quarn_test::TempDir dir;
  WriteFleet(dir.path() + "/fleet", false);
  const std::string output = dir.path() + "/out.txt";
#if defined(_WIN32)
  const std::string program = kqt::CToolUtil::GetApplicationDirPath() + "\\quarncfg.exe";
#else
  const std::string program = kqt::CToolUtil::GetApplicationDirPath() + "/quarncfg";
#endif
  const auto run = [&](const std::string& args) {
    std::string command = "\"" + program + "\" fleet \"" + dir.path() + "/fleet\" " + args + " > \"" + output + "\"";
#if defined(_WIN32)
    for (char& c : command)
      if (c == '/') c = '\\';
    return std::system(("\"" + command + "\"").c_str());
#else
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  };
  ASSERT_EQ(run("--json"), 1) << quarn_test::ReadFile(output);
  const nlohmann::json view = nlohmann::json::parse(quarn_test::ReadFile(output));
  EXPECT_EQ(view["schema_version"], 3);
  EXPECT_EQ(view["bundles"]["read"], 11);
  ASSERT_EQ(view["bundles"]["refused"].size(), 1u);
  EXPECT_EQ(view["machines"], 9);
  EXPECT_EQ(view["shared_identities"].size(), 2u);
  EXPECT_EQ(view["shared_checksums"].size(), 1u);
  ASSERT_EQ(view["shared_identity_addresses"].size(), 1u);
  EXPECT_EQ(view["shared_identity_addresses"][0]["value"], "10.9.9.9");
  EXPECT_EQ(view["shared_identity_addresses"][0]["machines"][0]["machine_name"], "NAT-1");
  EXPECT_EQ(view["repeated_bundles"].size(), 1u);
  ASSERT_EQ(view["drift"].size(), 1u);
  EXPECT_EQ(view["drift"][0]["setting"], "max_cpu_use");
  EXPECT_EQ(view["drift"][0]["majority"], 10.0);
  EXPECT_EQ(view["drift"][0]["machines"][0]["value"], 50.0);

  ASSERT_EQ(run(""), 1);
  const std::string text = quarn_test::ReadFile(output);
  const std::size_t uuids = text.find("Machines sharing a BIOS UUID"), drift = text.find("Setting max_cpu_use");
  EXPECT_NE(uuids, std::string::npos) << text;
  EXPECT_NE(drift, std::string::npos) << text;
  EXPECT_LT(uuids, drift);
  EXPECT_NE(text.find("00020003-0004-0005-0006-000700080009: 2 machines, a placeholder value"), std::string::npos)
      << text;

  // A fleet where no two machines meet: status 0.
  fs::remove_all(fs::path(dir.path() + "/fleet/clones"));
  fs::remove(fs::path(dir.path() + "/fleet/board-2.json"));
  EXPECT_EQ(run(""), 0) << quarn_test::ReadFile(output);
}

}  // namespace

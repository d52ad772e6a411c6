// The fleet's verdicts where a wrong one hides a collision or raises a false
// alarm: clones that kept one host name, a machine bundled again across a
// firmware update, machines without a table, bundles redacted with different
// keys, a tie in the drift's majority, a bundle without its digest.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "fleet/BundleFiles.h"
#include "fleet/Fleet.h"
#include "fleet/FleetReport.h"
#include "support/FleetBundles.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using quarn_test::FleetMachinePlan;

FleetMachinePlan Machine(const std::string& name, unsigned seed, std::vector<std::string> addresses) {
  FleetMachinePlan plan;
  plan.name = name;
  plan.uuid = quarn_test::UuidOf(seed);
  plan.serial = "SN-" + std::to_string(seed);
  plan.addresses = std::move(addresses);
  return plan;
}

class Planted {
 public:
  void Write(const std::string& file, const FleetMachinePlan& plan, const std::string& key = std::string(),
             const std::string& keyId = std::string()) {
    quarn_test::WriteFile(m_dir.path() + "/" + file, quarn_test::FleetBundleText(plan, key, keyId));
  }
  const quarn_tools::Fleet& Read() {
    for (const std::string& file : quarn_tools::FindBundleFiles({m_dir.path()}).files) {
      quarn_tools::MachineFacts facts;
      std::string error;
      if (quarn_tools::FactsOfBundle(file, facts, error))
        m_fleet.Add(std::move(facts));
      else
        m_fleet.AddRefused(file, error);
    }
    m_fleet.Finish();
    return m_fleet;
  }
  // The text form, or the JSON form read back.
  std::string Text() const { return Printed(false); }
  nlohmann::json Json() const { return nlohmann::json::parse(Printed(true)); }

 private:
  std::string Printed(bool json) const {
    std::FILE* out = std::tmpfile();
    if (json)
      quarn_tools::WriteFleetJson(m_fleet, out);
    else
      quarn_tools::PrintFleet(m_fleet, out);
    std::string text(static_cast<std::size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    text.resize(std::fread(&text[0], 1, text.size(), out));
    std::fclose(out);
    return text;
  }
  quarn_test::TempDir m_dir;
  quarn_tools::Fleet m_fleet;
};

std::string Joined(const std::vector<std::string>& notes) {
  std::string all;
  for (const std::string& note : notes) all += note + "\n";
  return all;
}

// Clones keep the name, UUID and table; the network gives each its own
// address. The same machine bundled again keeps its addresses too.
TEST(FleetVerdicts, ClonesThatKeptOneHostNameAreTwoMachines) {
  Planted fleet;
  FleetMachinePlan clone = Machine("VM", 7, {"10.0.0.1"});
  fleet.Write("clone-a.json", clone);
  clone.addresses = {"10.0.0.2"};
  clone.madeAt = "2026-12-02T10:00:00Z";
  fleet.Write("clone-b.json", clone);
  FleetMachinePlan again = Machine("AGAIN", 8, {"10.0.8.1", "192.168.8.1"});
  fleet.Write("again-old.json", again);
  again.madeAt = "2026-12-03T10:00:00Z";
  fleet.Write("again-new.json", again);
  FleetMachinePlan moved = again;
  moved.executableDir = "/srv/other/client/bin";  // a copy of the disk, installed elsewhere
  fleet.Write("again-moved.json", moved);

  const quarn_tools::Fleet& read = fleet.Read();
  EXPECT_EQ(read.Machines().size(), 4u);
  ASSERT_EQ(read.SharedUuids().size(), 2u);
  for (const quarn_tools::SharedValue& group : read.SharedUuids()) {
    EXPECT_EQ(group.machines.size(), 2u);
    EXPECT_TRUE(group.notes.empty()) << Joined(group.notes);
  }
  ASSERT_EQ(read.Repeated().size(), 1u);
  EXPECT_EQ(fs::path(read.Repeated()[0].bundles[0]).filename(), "again-new.json");
  EXPECT_EQ(read.Repeated()[0].bundles.size(), 2u);
  EXPECT_TRUE(read.Repeated()[0].notes.empty());
}

// Bundles that record no address of their own cannot tell a clone from the
// same machine again: two machines, said to be maybe one.
TEST(FleetVerdicts, BundlesThatCannotTellAreCountedApartWithANote) {
  Planted fleet;
  FleetMachinePlan plan = Machine("LONELY", 9, {"127.0.0.1"});
  fleet.Write("lonely-1.json", plan);
  plan.madeAt = "2026-12-05T10:00:00Z";
  fleet.Write("lonely-2.json", plan);
  const quarn_tools::Fleet& read = fleet.Read();
  EXPECT_EQ(read.Machines().size(), 2u);
  EXPECT_TRUE(read.Repeated().empty());
  ASSERT_EQ(read.SharedUuids().size(), 1u);
  const std::string notes = Joined(read.SharedUuids()[0].notes);
  EXPECT_NE(notes.find("lonely-1.json, "), std::string::npos) << notes;
  EXPECT_NE(notes.find("may be one machine bundled more than once"), std::string::npos) << notes;
  EXPECT_NE(fleet.Text().find("    note: "), std::string::npos) << fleet.Text();
}

std::string CorpusBlock(const std::string& machine) {
  const std::string path = std::string(QUARN_SMBIOS_TESTDATA) + "/" + machine + "/RSMB";
  return fs::exists(path) ? quarn_test::ReadFile(path) : std::string();
}

// The same laptop before and after a firmware update (SMBIOS 3.2, then
// 3.3): one machine, its table change said, no shared UUID.
TEST(FleetVerdicts, AFirmwareUpdateIsOneMachineWithItsTableChange) {
  const std::string before = CorpusBlock("surface-laptop3-rsmb-3.2"), after = CorpusBlock("surface-laptop3-rsmb-3.3");
  if (before.empty() || after.empty()) GTEST_SKIP() << "the SMBIOS corpus is not at " << QUARN_SMBIOS_TESTDATA;
  Planted fleet;
  FleetMachinePlan laptop = Machine("LAPTOP", 0, {"192.168.1.20"});
  laptop.block = before;
  laptop.madeAt = "2026-11-01T10:00:00Z";
  fleet.Write("laptop-before.json", laptop);
  laptop.block = after;
  laptop.madeAt = "2026-12-01T10:00:00Z";
  fleet.Write("laptop-after.json", laptop);
  const quarn_tools::Fleet& read = fleet.Read();
  ASSERT_TRUE(read.Refused().empty()) << read.Refused()[0].second;
  EXPECT_EQ(read.Machines().size(), 1u);
  EXPECT_TRUE(read.SharedUuids().empty());
  ASSERT_EQ(read.Repeated().size(), 1u);
  ASSERT_EQ(read.Repeated()[0].notes.size(), 1u);
  const std::string& note = read.Repeated()[0].notes[0];
  EXPECT_NE(note.find("its table changed"), std::string::npos) << note;
  EXPECT_LT(note.find("SMBIOS 3.2"), note.find("SMBIOS 3.3")) << note;  // the older table first
}

// Without a table the library sends the checksum of its zeroed buffer: a
// placeholder, said as one.
TEST(FleetVerdicts, MachinesWithoutATableShareAPlaceholderChecksum) {
  Planted fleet;
  for (int i = 1; i <= 2; ++i) {
    FleetMachinePlan plan = Machine("BARE-" + std::to_string(i), 20 + i, {"10.0.2." + std::to_string(i)});
    plan.block = "none";
    fleet.Write("bare-" + std::to_string(i) + ".json", plan);
  }
  fleet.Write("tabled.json", Machine("TABLED", 23, {"10.0.2.3"}));
  const quarn_tools::Fleet& read = fleet.Read();
  ASSERT_TRUE(read.Refused().empty()) << read.Refused()[0].second;
  EXPECT_TRUE(read.SharedUuids().empty());
  ASSERT_EQ(read.SharedChecksums().size(), 1u);
  EXPECT_TRUE(read.SharedChecksums()[0].placeholder);
  EXPECT_EQ(read.SharedChecksums()[0].machines.size(), 2u);
  EXPECT_NE(Joined(read.SharedChecksums()[0].notes).find("no SMBIOS table was read"), std::string::npos);
  EXPECT_EQ(fleet.Json()["shared_checksums"][0]["placeholder"], true);
}

// An SMBIOS 2.0 table prints its UUID as stored, a 2.4 one with its first
// fields swapped: different bytes, one text of the agent's.
TEST(FleetVerdicts, TheAgentsByteOrderMergingTwoUuidsIsExplained) {
  Planted fleet;
  FleetMachinePlan old = Machine("OLD", 30, {"10.0.3.1"});
  old.smbiosMinor = 0;
  FleetMachinePlan newer = Machine("NEWER", 31, {"10.0.3.2"});
  newer.smbiosMinor = 4;
  newer.uuid = old.uuid;
  std::reverse(newer.uuid.begin(), newer.uuid.begin() + 4);
  std::reverse(newer.uuid.begin() + 4, newer.uuid.begin() + 6);
  std::reverse(newer.uuid.begin() + 6, newer.uuid.begin() + 8);
  fleet.Write("old.json", old);
  fleet.Write("newer.json", newer);
  const quarn_tools::Fleet& read = fleet.Read();
  ASSERT_EQ(read.SharedUuids().size(), 1u);
  const quarn_tools::SharedValue& group = read.SharedUuids()[0];
  ASSERT_EQ(group.notes.size(), 1u);
  EXPECT_NE(group.notes[0].find("agent's byte order"), std::string::npos) << group.notes[0];
  EXPECT_NE(group.notes[0].find("(SMBIOS 2.0)"), std::string::npos) << group.notes[0];
  EXPECT_NE(group.notes[0].find("(SMBIOS 2.4)"), std::string::npos) << group.notes[0];
  const std::string& a = read.Machines()[group.machines[0]].identity.dmtfUuid;
  const std::string& b = read.Machines()[group.machines[1]].identity.dmtfUuid;
  EXPECT_NE(a, b);
}

// Plain bundles, bundles of two keys and bundles redacted without a key id
// cannot be compared: each machine marked, the groups said, and a setting's
// drift found only among bundles of one group (another key's pseudonym of
// the same value differs from this one's).
TEST(FleetVerdicts, BundlesOfDifferentRedactionsAreMarkedAndTheirGroupsSaid) {
  Planted fleet;
  const FleetMachinePlan plan = Machine("VM", 40, {"10.0.4.1"});
  FleetMachinePlan odd = Machine("VM2", 41, {"10.0.4.2"});
  odd.settings = "defaultinstall=full\nmax_cpuuse=50\n";  // in the drift, where each machine is listed
  const FleetMachinePlan third = Machine("VM3", 42, {"10.0.4.3"});
  fleet.Write("plain.json", plan);
  fleet.Write("key-a.json", plan, "the first key of the fleet, A", "aaaaaaaaaaaaaaaa");
  fleet.Write("key-a2.json", odd, "the first key of the fleet, A", "aaaaaaaaaaaaaaaa");
  fleet.Write("key-a3.json", third, "the first key of the fleet, A", "aaaaaaaaaaaaaaaa");
  fleet.Write("key-b.json", plan, "another key of the fleet, B", "bbbbbbbbbbbbbbbb");
  fleet.Write("no-id.json", odd, "a key nobody names, C", quarn_test::kWithoutKeyId);
  fleet.Write("no-id2.json", plan, "a key nobody names, C", quarn_test::kWithoutKeyId);
  const quarn_tools::Fleet& read = fleet.Read();
  EXPECT_EQ(read.Machines().size(), 7u);
  EXPECT_TRUE(read.SharedUuids().empty());  // one machine's UUID, under three redactions and none
  EXPECT_EQ(read.ComparabilityGroups(),
            (std::map<std::string, std::size_t>{{"", 1}, {"?", 2}, {"aaaaaaaaaaaaaaaa", 3}, {"bbbbbbbbbbbbbbbb", 1}}));
  const std::string text = fleet.Text();
  EXPECT_NE(text.find("cannot be compared with each other"), std::string::npos) << text;
  EXPECT_NE(text.find("redacted with key id aaaaaaaaaaaaaaaa: 3 machines"), std::string::npos) << text;
  EXPECT_NE(text.find("redacted without a key id: 2 machines"), std::string::npos) << text;
  const nlohmann::json json = fleet.Json();
  EXPECT_EQ(json["comparability_groups"].size(), 4u);
  // Only the odd machine of key A drifts: not the plain one against the
  // redacted, nor the two bundles without a key id against each other.
  ASSERT_FALSE(json["drift"].empty());
  for (const auto& drift : json["drift"]) {
    std::map<std::string, nlohmann::json> marks;
    for (const auto& machine : drift["machines"])
      marks[fs::path(machine["bundle"].get<std::string>()).filename().string()] = {machine["redacted"],
                                                                                   machine["key_id"]};
    EXPECT_EQ(marks, (std::map<std::string, nlohmann::json>{{"key-a2.json", {true, "aaaaaaaaaaaaaaaa"}}}))
        << drift.dump(1);
  }
}

// The majority of a setting is the fleet's, not the bundles' order's: on a
// tie, the least value, whichever bundles come first.
TEST(FleetVerdicts, ADriftTieIsBrokenByValue) {
  for (const bool fiftyFirst : {true, false}) {
    Planted fleet;
    for (int i = 0; i < 4; ++i) {
      FleetMachinePlan plan = Machine("M" + std::to_string(i), 50 + i, {"10.0.5." + std::to_string(i)});
      const bool fifty = (i < 2) == fiftyFirst;
      if (fifty) plan.settings = "defaultinstall=full\nmax_cpuuse=50\n";
      fleet.Write(std::string(1, static_cast<char>('a' + i)) + ".json", plan);
    }
    const quarn_tools::Fleet& read = fleet.Read();
    ASSERT_EQ(read.Drifts().size(), 1u);
    EXPECT_EQ(read.Value(read.Drifts()[0].majority).excerpt, "10.0") << fiftyFirst;
    EXPECT_EQ(read.Drifts()[0].machines.size(), 2u);
  }
}

// A text setting in the machine's code page (no UTF-8): the bundle read, and
// two such values told apart though each shows its byte replaced.
TEST(FleetVerdicts, ASettingInTheMachinesCodePageIsReadAndToldApart) {
  Planted fleet;
  for (int i = 0; i < 3; ++i) {
    FleetMachinePlan plan = Machine("CP" + std::to_string(i), 70 + i, {"10.0.7." + std::to_string(i)});
    plan.settings = std::string("defaultinstall=full\nwaf_cfg=caf") + (i < 2 ? "\xe9" : "\xe8") + "\n";
    fleet.Write("cp" + std::to_string(i) + ".json", plan);
  }
  const quarn_tools::Fleet& read = fleet.Read();
  EXPECT_TRUE(read.Refused().empty()) << fleet.Text();
  ASSERT_EQ(read.Machines().size(), 3u);
  ASSERT_EQ(read.Drifts().size(), 1u) << fleet.Text();
  ASSERT_EQ(read.Drifts()[0].machines.size(), 1u);
  EXPECT_EQ(fs::path(read.Machines()[read.Drifts()[0].machines[0]].identity.bundle).filename(), "cp2.json");
  EXPECT_NO_THROW(fleet.Json());
}

// A bundle whose digest was taken out can be edited unseen: used, and said.
TEST(FleetVerdicts, ABundleWithoutItsDigestIsNoted) {
  Planted fleet;
  FleetMachinePlan plan = Machine("NODIGEST", 60, {"10.0.6.1"});
  plan.digest = false;
  fleet.Write("no-digest.json", plan);
  fleet.Write("digest.json", Machine("DIGEST", 61, {"10.0.6.2"}));
  const quarn_tools::Fleet& read = fleet.Read();
  EXPECT_EQ(read.Machines().size(), 2u);
  ASSERT_EQ(read.WithoutDigest().size(), 1u);
  EXPECT_EQ(fs::path(read.WithoutDigest()[0]).filename(), "no-digest.json");
  EXPECT_NE(fleet.Text().find("Bundles without a digest"), std::string::npos);
  EXPECT_EQ(fleet.Json()["bundles"]["without_digest"].size(), 1u);
}

}  // namespace

// A machine recorded and replayed: on each named fake machine the report
// the library's object gives is recorded with the machine's inputs, written
// to a bundle, read back, and worked out again through the library's rules;
// the two reports agree field by field. Redaction keeps what the rules see.
#include "bundle/Replay.h"

#include <gtest/gtest.h>

#include <cctype>

#include "bundle/Bundle.h"
#include "bundle/MachineCollect.h"
#include "bundle/Redact.h"
#include "bundle/StylePaths.h"
#include "config/AddressRules.h"
#include "config/QuarnConfig.h"
#include "hwinfo/SmbiosParsing.h"
#include "report/Sections.h"
#include "support/Machines.h"
#include "support/TempInstallation.h"
#include "support/TestThread.h"

namespace {

using Json = nlohmann::json;  // as the record holds its report
using quarn_test::Machine;
using quarn_tools::MachineRecord;

// Every section the answers give, as the inspector writes them.
quarn_tools::CanonicalReport ReportOf(quarn_tools::Answers& answers) {
  quarn_tools::Report report;
  quarn_tools::AddSections(report, answers);
  return report.Canonical();
}

// A report as one document, to look into.
Json Doc(const quarn_tools::CanonicalReport& report) { return Json::parse(report.Text()); }

// The addresses of every class the identity walk knows, in an order where
// the choice is not the first one.
const std::vector<std::string> kAddresses = {"169.254.7.7", "127.0.0.1", "8.8.4.4",    "172.40.1.2",
                                             "172.20.5.6",  "10.9.8.7",  "192.168.1.1"};

// The object's report of `machine` in a temporary installation, and the
// record of what it came from.
MachineRecord Recorded(const Machine& machine, quarn_test::TempInstallation& installation) {
  quarn_test::Use(machine, installation.platform);
  installation.platform.hostName = [](std::string& name) {
    name = "WKS-0042";
    return true;
  };
  installation.platform.localAddresses = [] { return kAddresses; };
  installation.WriteSettings("defaultinstall=standard\nloglevel=2\nsendfile=0\nwaf_cfg=mode=block\n");
  installation.WriteDomainOverride("srv_domain=svc.example.com|192.0.2.9\n");
  installation.WriteUpdaterRecord(" update_02_01 \r\n");
  quarn_tools::InspectionPlan plan;
  plan.executableDir = installation.binDir();
  plan.places = quarn::layout::DerivePlaces(plan.executableDir);
  plan.resolveServers = false;
  quarn_tools::LiveAnswers live(plan, CSingleton<CQuarnConfig>::NewInstance());
  MachineRecord record = quarn_tools::CollectMachine(plan, ReportOf(live));
  CSingleton<CQuarnConfig>::RemoveInstance();
  return record;
}

// The record as a bundle carries it.
MachineRecord ThroughABundle(const MachineRecord& record) {
  MachineRecord read;
  std::string error;
  EXPECT_TRUE(quarn_tools::ReadBundle(quarn_tools::WriteBundle(record), read, error)) << error;
  return read;
}

quarn_tools::CanonicalReport Replayed(const MachineRecord& record) {
  quarn_tools::RecordAnswers answers(record);
  return ReportOf(answers);
}

std::string Described(const std::vector<quarn_tools::ReplayDifference>& differences) {
  std::string text;
  for (const auto& d : differences) text += d.field + ": recorded " + d.recorded + ", replayed " + d.replayed + "\n";
  return text;
}

class ReplayOnMachine : public ::testing::TestWithParam<const Machine*> {};

TEST_P(ReplayOnMachine, GivesTheReportTheLibrarysObjectGave) {
  quarn_test::TempInstallation installation;
  const MachineRecord record = ThroughABundle(Recorded(*GetParam(), installation));
  const quarn_tools::CanonicalReport replayedReport = Replayed(record);
  EXPECT_EQ(quarn_tools::CompareReplay(record.report, replayedReport, false).size(), 0u)
      << Described(quarn_tools::CompareReplay(record.report, replayedReport, false));
  // Not two empty reports: the machine's answers are in both.
  const Json replayed = Doc(replayedReport);
  EXPECT_EQ(replayed["hardware"]["bios_uuid"], GetParam()->biosUuid);
  EXPECT_EQ(replayed["network"]["identity_address"], "172.20.5.6");
  EXPECT_EQ(replayed["versions"]["updater_version"], "update_02_01");
  EXPECT_EQ(replayed["settings"]["log_level"], 2);
}

std::string MachineName(const ::testing::TestParamInfo<const Machine*>& info) {
  std::string name = info.param->name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Machines, ReplayOnMachine,
                         ::testing::Values(&quarn_test::machines::Windows7Sp1X64Ultimate(),
                                           &quarn_test::machines::WindowsXpSp3(),
                                           &quarn_test::machines::Server2003R2Enterprise(),
                                           &quarn_test::machines::HyperVGuestSmbios30(),
                                           &quarn_test::machines::XenGuest(), &quarn_test::machines::NoTable()),
                         MachineName);

const char kKey[] = "a redaction key of the test, 32b";

// Each address keeps its class (and the prefix that made it private), so
// the walk chooses the same place; the UUID's reasoning stays; the report
// recorded is that of the redacted inputs, checksum and all, so the replay
// is equal.
TEST(Redaction, KeepsWhatTheRulesSeeAndHidesTheIdentity) {
  quarn_test::TempInstallation installation;
  const MachineRecord original = Recorded(quarn_test::machines::Windows7Sp1X64Ultimate(), installation);
  MachineRecord redacted = original;
  quarn_tools::RedactRecord(redacted, kKey, true);
  redacted = ThroughABundle(redacted);

  EXPECT_EQ(redacted.machineName.rfind("host-", 0), 0u) << redacted.machineName;
  ASSERT_EQ(redacted.localAddresses.size(), kAddresses.size());
  const quarn::IdentityExplanation before = quarn::ExplainIdentityIp(original.localAddresses);
  const quarn::IdentityExplanation after = quarn::ExplainIdentityIp(redacted.localAddresses);
  for (std::size_t i = 0; i < kAddresses.size(); ++i) {
    EXPECT_EQ(after.verdicts[i].kind, before.verdicts[i].kind) << kAddresses[i];
    EXPECT_STREQ(after.verdicts[i].prefix ? after.verdicts[i].prefix : "",
                 before.verdicts[i].prefix ? before.verdicts[i].prefix : "")
        << kAddresses[i];
    const bool kept = kAddresses[i] == "127.0.0.1";
    EXPECT_EQ(redacted.localAddresses[i] == kAddresses[i], kept) << redacted.localAddresses[i];
  }
  const std::string dump = quarn_tools::WriteBundle(redacted);
  for (const char* secret : {"WKS-0042", "10.9.8.7", "172.20.5.6", "8.8.4.4", "33221100-5544-7766-8899-aabbccddeeff"})
    EXPECT_EQ(dump.find(secret), std::string::npos) << secret << " is still in the bundle";

  const quarn_tools::CanonicalReport replayedReport = Replayed(redacted);
  const Json replayed = Doc(replayedReport), was = Doc(original.report), recorded = Doc(redacted.report);
  EXPECT_EQ(replayed["network"]["identity_address"], recorded["network"]["identity_address"]);
  EXPECT_EQ(replayed["hardware"]["uuid_fields_swapped"], was["hardware"]["uuid_fields_swapped"]);
  EXPECT_EQ(replayed["hardware"]["uuid_forms_differ"], was["hardware"]["uuid_forms_differ"]);
  EXPECT_NE(replayed["hardware"]["bios_uuid"], was["hardware"]["bios_uuid"]);
  const std::vector<quarn_tools::ReplayDifference> differences =
      quarn_tools::CompareReplay(redacted.report, replayedReport, redacted.redacted);
  EXPECT_TRUE(differences.empty()) << Described(differences);
  EXPECT_NE(recorded["hardware"]["table_checksum"], was["hardware"]["table_checksum"]);
}

// A placeholder UUID is no identity: it stays, and so does what the report
// says of it.
TEST(Redaction, LeavesAPlaceholderUuidAsItIs) {
  quarn_test::TempInstallation installation;
  quarn_test::UseFirmwareTable(
      installation.platform, 2, 7,
      quarn_test::Concat({quarn_test::SystemInformation(quarn_test::Bytes(16, 0)), quarn_test::EndOfTable()}));
  MachineRecord record;
  record.firmware.firmwareService = true;
  record.firmware.blockGiven = true;
  const quarn::sys::FirmwareBlock block = installation.platform.firmwareBlock();
  record.firmware.block.assign(block.bytes.begin(), block.bytes.end());
  const std::string uuid = record.firmware.block.substr(8 + 8, 16);
  quarn_tools::RedactRecord(record, kKey, true);
  EXPECT_EQ(record.firmware.block.substr(8 + 8, 16), uuid);
}

// The layout of a recorded installation by its own system's path rules,
// wherever it is replayed.
TEST(StylePaths, DeriveARecordedSystemsPlaces) {
  quarn_tools::PathStyleRecord windows932{true, "\x95"};
  struct Row {
    quarn_tools::PathStyleRecord style;
    std::string executableDir, root, settingsFile;
  };
  const Row rows[] = {
      {windows932, "C:\\Q\\\x95\\\\client\\bin", "C:/Q/\x95\\", "C:/Q/\x95\\/client/bin/conf/cli_config.ini"},
      {windows932, "//srv/share/client/bin", "//srv/share", "//srv/share/client/bin/conf/cli_config.ini"},
      {windows932, "C:/bin", "C:/", "C:/bin/conf/cli_config.ini"},
      {quarn_tools::PathStyleRecord{false, ""}, "/opt/R/client/bin/", "/opt/R",
       "/opt/R/client/bin/conf/cli_config.ini"},
      {quarn_tools::PathStyleRecord{false, ""}, "/opt/a\\b/client/bin", "/opt/a\\b",
       "/opt/a\\b/client/bin/conf/cli_config.ini"},
  };
  for (const Row& row : rows) {
    const quarn_tools::StylePaths paths(row.style);
    const quarn::layout::Places places = quarn::layout::DerivePlaces(row.executableDir, paths);
    EXPECT_EQ(places.root, row.root) << row.executableDir;
    EXPECT_EQ(places.configFile, row.settingsFile) << row.executableDir;
  }
}

// Styles of two code pages at once, on one thread: each keeps its own lead
// bytes (0x95 begins a character in 932, so the backslash after it is no
// separator there).
TEST(StylePaths, TwoStylesOnOneThreadKeepTheirOwnLeadBytes) {
  const quarn_tools::StylePaths paths932(quarn_tools::PathStyleRecord{true, "\x95"});
  const quarn_tools::StylePaths paths1252(quarn_tools::PathStyleRecord{true, ""});
  const std::string executableDir = "C:\\Q\\\x95\\\\client\\bin";
  EXPECT_EQ(quarn::layout::DerivePlaces(executableDir, paths932).root, "C:/Q/\x95\\");
  EXPECT_EQ(quarn::layout::DerivePlaces(executableDir, paths1252).root, "C:/Q/\x95");
}

// The fleet view replays machines of different code pages side by side: a
// style made on another thread leaves this thread's lead bytes alone.
TEST(StylePaths, AStyleOnAnotherThreadKeepsThisOnesLeadBytes) {
  const quarn_tools::StylePaths paths932(quarn_tools::PathStyleRecord{true, "\x95"});
  quarn_test::Thread([] { const quarn_tools::StylePaths paths1252(quarn_tools::PathStyleRecord{true, ""}); }).join();
  EXPECT_EQ(quarn::layout::DerivePlaces("C:\\Q\\\x95\\\\client\\bin", paths932).root, "C:/Q/\x95\\");
}

}  // namespace

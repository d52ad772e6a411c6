// A redacted bundle, as a customer's privacy reviewer reads it: nothing
// that names the machine, its owner, its users or the customer is left,
// whatever the table; and the replay still walks the same table, makes the
// same identity choice and gives the same reasoning on the UUID.
#include "bundle/Redact.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

#include "bundle/Bundle.h"
#include "bundle/Pseudonyms.h"
#include "bundle/RedactTable.h"
#include "bundle/RedactText.h"
#include "bundle/Replay.h"
#include "config/AddressRules.h"
#include "hwinfo/SmbiosParsing.h"
#include "report/Sections.h"
#include "support/SmbiosCorpus.h"
#include "support/SmbiosTables.h"

namespace {

using Json = nlohmann::json;
using quarn_tools::MachineRecord;

const char kCorpus[] = QUARN_SMBIOS_TESTDATA;
const char kKey[] = "a redaction key of the test, 32b";
const quarn_tools::PathStyleRecord kPosix{false, ""};
const quarn_tools::PathStyleRecord kWindows932{true,
                                               "\x81\x82\x83\x84\x88\x89\x8a\x8b\x8c\x8d\x8e\x8f\x90\x91\x92"
                                               "\x93\x94\x95\x96\x97\x98\x99\x9a\x9b\x9c\x9d\x9e\x9f\xe0\xe1"};

// The strings a table marks as identifying, by this test's own reading of
// the SMBIOS reference: the serial numbers and asset tags of the system,
// baseboard, chassis, processors, memory modules, batteries and power
// supplies, and every OEM string and configuration option. Left out: the
// fillers, texts too short to search for, and texts the table gives in
// another field too ("NO DIMM" as a module's serial and as its locator):
// they name nobody.
// Strings firmware ships unfilled, and that name nobody: "To Be Filled By
// O.E.M.", "No Asset Information", one character again and again.
bool IsFiller(const std::string& text) {
  std::string plain;
  for (char c : text)
    if (std::isalnum(static_cast<unsigned char>(c)))
      plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const char* const kFillers[] = {"tobefilledbyoem",
                                         "fillbyoem",
                                         "noassetinformation",
                                         "noassettag",
                                         "notspecified",
                                         "defaultstring",
                                         "systemserialnumber",
                                         "chassisserialnumber",
                                         "baseboardserialnumber",
                                         "notavailable",
                                         "unknown",
                                         "none",
                                         "serialnumber",
                                         "assettag",
                                         "0123456789",
                                         "asset1234567890"};
  if (plain.size() < 4 || plain.find_first_not_of(plain[0]) == std::string::npos) return true;
  for (const char* filler : kFillers)
    if (plain == filler) return true;
  return false;
}

// Each structure's type and formatted length, by where it starts.
std::vector<std::pair<std::size_t, int>> Walk(const std::string& block) {
  std::vector<std::pair<std::size_t, int>> walk;
  for (std::size_t at = 8; at + 4 <= block.size();) {
    const int length = static_cast<unsigned char>(block[at + 1]);
    if (length < 4 || at + static_cast<std::size_t>(length) > block.size()) break;
    walk.emplace_back(at, static_cast<unsigned char>(block[at]) * 256 + length);
    const std::size_t end = block.find(std::string(2, '\0'), at + static_cast<std::size_t>(length) - 1);
    if (end == std::string::npos) break;
    at = end + 2;
  }
  return walk;
}

// Every string of every structure of the table in a firmware block.
std::set<std::string> TableStrings(const std::string& block) {
  std::set<std::string> strings;
  for (const auto& structure : Walk(block)) {
    std::size_t at = structure.first + static_cast<std::size_t>(structure.second % 256);
    while (at < block.size() && block[at] != '\0') {
      const std::size_t end = block.find('\0', at);
      if (end == std::string::npos) break;
      strings.insert(block.substr(at, end - at));
      at = end + 1;
    }
  }
  return strings;
}

std::vector<std::string> IdentifyingStrings(const std::vector<unsigned char>& table) {
  static const std::pair<int, int> kFields[] = {{1, 0x07}, {2, 0x07},  {2, 0x08},  {3, 0x07},  {3, 0x08},  {4, 0x20},
                                                {4, 0x21}, {17, 0x18}, {17, 0x19}, {22, 0x07}, {39, 0x08}, {39, 0x09}};
  std::vector<std::string> found;
  std::set<std::string> elsewhere;
  for (std::size_t at = 0; at + 4 <= table.size();) {
    const int type = table[at], length = table[at + 1];
    if (length < 4 || at + length > table.size()) break;
    std::vector<std::string> strings;
    std::size_t p = at + length;
    while (p < table.size() && table[p] != 0) {
      std::string text;
      while (p < table.size() && table[p] != 0) text += static_cast<char>(table[p++]);
      strings.push_back(text);
      ++p;
    }
    p = p < table.size() && p == at + length ? p + 2 : p + 1;
    std::vector<int> numbers;
    if (type == 11 || type == 12)
      for (std::size_t i = 1; i <= strings.size(); ++i) numbers.push_back(static_cast<int>(i));
    for (const auto& field : kFields)
      if (field.first == type && field.second < length)
        numbers.push_back(table[at + static_cast<std::size_t>(field.second)]);
    for (std::size_t i = 0; i < strings.size(); ++i)
      if (std::find(numbers.begin(), numbers.end(), static_cast<int>(i + 1)) == numbers.end())
        elsewhere.insert(strings[i]);
    for (int number : numbers) {
      if (number < 1 || number > static_cast<int>(strings.size())) continue;
      const std::string& text = strings[static_cast<std::size_t>(number - 1)];
      if (!IsFiller(text)) found.push_back(text);
    }
    at = p;
  }
  found.erase(
      std::remove_if(found.begin(), found.end(), [&](const std::string& text) { return elsewhere.count(text); }),
      found.end());
  return found;
}

// The corpus table of `dump` as the firmware-table service gives it.
std::vector<unsigned char> BlockOf(const quarn_test::Dump& dump) {
  const std::string dir = std::string(kCorpus) + "/" + dump.name;
  if (dump.sourceFormat == "rsmb") return quarn_test::FileBytes(dir + "/RSMB");
  unsigned major = 0, minor = 0;
  std::sscanf(dump.version.c_str(), "%u.%u", &major, &minor);
  return quarn_test::FirmwareBlockBytes(static_cast<unsigned char>(major), static_cast<unsigned char>(minor),
                                        quarn_test::FileBytes(dir + "/DMI"));
}

quarn_tools::CanonicalReport Replayed(const MachineRecord& record) {
  quarn_tools::RecordAnswers answers(record);
  quarn_tools::Report report;
  quarn_tools::AddSections(report, answers);
  return report.Canonical();
}

Json Doc(const quarn_tools::CanonicalReport& report) { return Json::parse(report.Text()); }

// A machine of the corpus, recorded as if its library had answered what the
// rules give; in a user's and a company's folder, with servers of the
// company's domain.
MachineRecord RecordOf(const std::vector<unsigned char>& block) {
  MachineRecord record;
  record.madeBy = "quarncfg 1.0.0";
  record.executableDir = "/home/jane.doe/AcmeCorp/quarn/client/bin";
  record.pathStyle = kPosix;
  record.globalCfgState = "existed";
  record.machineNameKnown = true;
  record.machineName = "ACME-WKS-0042";
  record.localAddresses = {"10.20.30.40", "192.168.7.7"};
  record.settingsFile = {"/home/jane.doe/AcmeCorp/quarn/client/bin/conf/cli_config.ini",
                         quarn_tools::CheckedFile::Status::kRead,
                         "; settings of AcmeCorp\ndefaultinstall=full\nsrv_domain=svc.acmecorp.example|10.1.1.1\n"};
  record.firmware.firmwareService = true;
  record.firmware.blockGiven = true;
  record.firmware.block.assign(block.begin(), block.end());
  record.report = Replayed(record);
  return record;
}

class RedactedTableOf : public ::testing::TestWithParam<quarn_test::Dump> {};

TEST_P(RedactedTableOf, CarriesNoneOfItsIdentifyingStringsAndReplaysTheSame) {
  const std::vector<unsigned char> block = BlockOf(GetParam());
  ASSERT_GT(block.size(), 8u) << "no table for " << GetParam().name;
  const std::vector<std::string> secrets =
      IdentifyingStrings(std::vector<unsigned char>(block.begin() + 8, block.end()));
  const MachineRecord original = RecordOf(block);
  MachineRecord redacted = original;
  quarn_tools::RedactRecord(redacted, kKey, true);
  const std::string text = quarn_tools::WriteBundle(redacted);
  MachineRecord read;
  std::string error;
  ASSERT_TRUE(quarn_tools::ReadBundle(text, read, error)) << error;

  const std::set<std::string> strings = TableStrings(read.firmware.block);
  for (const std::string& secret : secrets) {
    EXPECT_EQ(strings.count(secret), 0u) << "\"" << secret << "\" is still in the table";
    EXPECT_EQ(text.find(secret), std::string::npos) << "\"" << secret << "\" is still in the bundle";
  }
  for (const char* secret : {"jane.doe", "AcmeCorp", "acmecorp", "ACME-WKS-0042", "10.20.30.40", "192.168.7.7"})
    EXPECT_EQ(text.find(secret), std::string::npos) << secret;

  // The same walk: structures of the same types and lengths, the same
  // table size; the same reasoning on the UUID; the same identity choice.
  ASSERT_EQ(read.firmware.block.size(), original.firmware.block.size());
  EXPECT_EQ(Walk(read.firmware.block), Walk(original.firmware.block));
  const Json before = Doc(original.report)["hardware"], after = Doc(Replayed(read))["hardware"];
  for (const char* field : {"smbios_version", "table_size", "uuid_fields_swapped", "uuid_forms_differ"})
    EXPECT_EQ(after[field], before[field]) << field;
  EXPECT_EQ(after["uuid_placeholder"].is_null(), before["uuid_placeholder"].is_null());
  EXPECT_EQ(after["bios_uuid"] == before["bios_uuid"], !before["uuid_placeholder"].is_null());
  EXPECT_EQ(Doc(Replayed(read))["network"]["identity_address"].get<std::string>().rfind("10.", 0), 0u);
  for (const quarn_tools::ReplayDifference& difference :
       quarn_tools::CompareReplay(read.report, Replayed(read), read.redacted))
    EXPECT_FALSE(difference.why.empty()) << difference.field << ": " << difference.recorded << " / "
                                         << difference.replayed;
}

std::string TestName(const ::testing::TestParamInfo<quarn_test::Dump>& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Machines, RedactedTableOf, ::testing::ValuesIn(quarn_test::Manifest(kCorpus)), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(RedactedTableOf);

// Whatever the table's bytes, the redaction sees the structures the library
// sees: after a structure whose length byte is below the header's four
// bytes, and in a last structure whose strings run past the end, the UUID
// and the serial number the library reads are replaced.
TEST(RedactedTable, FollowsTheLibrarysWalk) {
  using quarn_test::Bytes;
  const Bytes uuid = quarn_test::CountingUuid();
  Bytes rest = {0, 0, 0, 1};  // the serial number is the first string
  rest.insert(rest.end(), uuid.begin(), uuid.end());
  rest.insert(rest.end(), {6, 0, 0});
  Bytes system = quarn_test::Structure(1, rest);
  system.erase(system.end() - 2, system.end());
  for (char c : std::string("SN-SECRET-1")) system.push_back(static_cast<unsigned char>(c));
  system.push_back(0);  // no second zero: the set runs past the table
  const Bytes table = quarn_test::Concat({{0x80, 2, 0, 0}, system});
  Bytes redacted = table;
  const quarn_tools::Pseudonyms pseudonyms(kKey, kPosix);
  quarn_tools::RedactTable(redacted.data(), redacted.size(), pseudonyms);

  unsigned char read[16];
  ASSERT_TRUE(quarn::smbios::TableUuidBytes(table.data(), table.size(), read));
  ASSERT_TRUE(std::equal(read, read + 16, uuid.begin()));
  ASSERT_TRUE(quarn::smbios::TableUuidBytes(redacted.data(), redacted.size(), read));
  EXPECT_FALSE(std::equal(read, read + 16, uuid.begin()));
  const unsigned char* structure = quarn::smbios::FindStructure(redacted.data(), redacted.size(), 1);
  ASSERT_NE(structure, nullptr);
  const char* serial = quarn::smbios::StructureString(structure, redacted.data() + redacted.size(), 1);
  ASSERT_NE(serial, nullptr);
  EXPECT_EQ(std::strlen(serial), 11u);
  EXPECT_STRNE(serial, "SN-SECRET-1");
}

// A short text may not draw itself as its pseudonym.
TEST(Pseudonyms, OfATableStringIsNeverTheString) {
  const quarn_tools::Pseudonyms pseudonyms(kKey, kPosix);
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (char a : alphabet)
    for (char b : alphabet) {
      const std::string text{a, b};
      ASSERT_NE(pseudonyms.TableString(text), text);
    }
}

// The same value has the same pseudonym under one key, in any bundle; under
// another key another.
TEST(Pseudonyms, AreKeyedAndKeepWhatTheRulesSee) {
  const quarn_tools::Pseudonyms one(kKey, kPosix), again(kKey, kPosix),
      other("another key of the test, 32 bytes", kPosix);
  EXPECT_EQ(one.MachineName("WKS-0042"), again.MachineName("WKS-0042"));
  EXPECT_NE(one.MachineName("WKS-0042"), other.MachineName("WKS-0042"));
  EXPECT_NE(one.MachineName("WKS-0042"), one.MachineName("WKS-0043"));
  EXPECT_EQ(one.Address("10.1.2.3"), again.Address("10.1.2.3"));
  const struct {
    const char* address;
    const char* prefix;
  } classes[] = {{"10.1.2.3", "10."},         {"172.20.1.2", "172.20."},  {"192.168.4.4", "192.168."},
                 {"169.254.3.3", "169.254."}, {"127.0.0.1", "127.0.0.1"}, {"255.255.255.255", "255.255.255.255"}};
  for (const auto& row : classes) EXPECT_EQ(one.Address(row.address).rfind(row.prefix, 0), 0u) << row.address;
  const std::string fallback = one.Address("172.40.1.1"), publicOne = one.Address("8.8.8.8");
  EXPECT_EQ(fallback.rfind("172.", 0), 0u);
  EXPECT_EQ(quarn::ExplainIdentityIp({fallback}).verdicts.front().kind, quarn::IdentityVerdict::kFallback172);
  EXPECT_EQ(quarn::ExplainIdentityIp({publicOne}).verdicts.front().kind, quarn::IdentityVerdict::kPublic);

  // Byte classes: letters of their case, digits, punctuation kept; in code
  // page 932 a double-byte character stays one, its 0x5C trail byte too.
  const std::string reshaped = one.Reshaped("folder", "Jane.Doe-42_x");
  ASSERT_EQ(reshaped.size(), 13u);
  EXPECT_TRUE(std::isupper(static_cast<unsigned char>(reshaped[0])) &&
              std::islower(static_cast<unsigned char>(reshaped[1])));
  EXPECT_EQ(reshaped.substr(4, 1), ".");
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(reshaped[9])) &&
              std::isdigit(static_cast<unsigned char>(reshaped[10])));
  const quarn_tools::Pseudonyms japanese(kKey, kWindows932);
  const std::string kanji = japanese.Reshaped("folder", "\x95\x5c\x8e\xa6");  // 表示
  ASSERT_EQ(kanji.size(), 4u);
  EXPECT_NE(kWindows932.leadBytes.find(kanji[0]), std::string::npos);
  EXPECT_EQ(kanji[1], '\x5c');
  EXPECT_NE(kWindows932.leadBytes.find(kanji[2]), std::string::npos);
  const std::string utf8 = one.Reshaped("folder", "J\xc3\xbcrgen \xe8\xa1\xa8");
  EXPECT_EQ(utf8.size(), 11u);
  EXPECT_EQ(static_cast<unsigned char>(utf8[1]), 0xC3);
  EXPECT_EQ(static_cast<unsigned char>(utf8[8]), 0xE4);
}

// A path's folders, but for the layout's and the system's; a server's
// labels, but for its scheme, port and public top-level domain; an address
// of its class; a settings file's free texts, its keys and read values kept.
TEST(RedactText, KeepsTheShapeTheRulesAndTheCheckSee) {
  const quarn_tools::Pseudonyms pseudonyms(kKey, kWindows932);
  quarn_tools::PathRedaction paths(pseudonyms, kWindows932);
  const std::string exe = paths.Path("C:\\Users\\jane.doe\\AcmeCorp\\Quarn\\client\\bin");
  EXPECT_EQ(exe.substr(0, 9), "C:\\Users\\");
  EXPECT_EQ(exe.size(), 43u);
  EXPECT_EQ(exe.substr(exe.size() - 11), "\\client\\bin");
  EXPECT_EQ(exe.find("jane"), std::string::npos);
  const std::string message = quarn_tools::ReplacePrefixes(
      "making it would create C:\\Users\\jane.doe\\AcmeCorp\\Quarn\\globalcfg", paths.Prefixes());
  EXPECT_EQ(message.find("AcmeCorp"), std::string::npos) << message;
  EXPECT_EQ(quarn_tools::ReplacePrefixes("C:\\Users\\jane.doe2", paths.Prefixes()), "C:\\Users\\jane.doe2");

  const auto server = [&](const char* item) { return quarn_tools::ServerPseudonym(item, pseudonyms); };
  const std::string host = server("svc-1.acme.com");
  EXPECT_EQ(host.size(), 14u);
  EXPECT_EQ(host[3], '-');  // digits stay digits, the hyphen and the dots where they were
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(host[4])));
  EXPECT_EQ(host[5], '.');
  EXPECT_EQ(host.substr(host.size() - 4), ".com");
  EXPECT_EQ(server("http://svc.acme.com:8080/x").substr(0, 7), "http://");
  EXPECT_EQ(server("svc.acme.com:8443").substr(12), ":8443");
  EXPECT_EQ(server("a b.acme.com").find(' '), 1u);
  EXPECT_EQ(server("svc_b.acme.com").find('_'), 3u);
  EXPECT_EQ(server("update.example.com"), quarn_tools::ServerPseudonym("update.example.com", pseudonyms));
  EXPECT_EQ(server("10.1.2.3").rfind("10.", 0), 0u);
  const std::string bad = server("256.1.1.1");
  EXPECT_GE(std::stoi(bad.substr(0, 3)), 256);
  EXPECT_EQ(server("2001:db8::1").find("::"), 8u);

  std::map<std::string, std::string> servers;
  const std::string settings =
      "\xEF\xBB\xBF; Acme's settings\ndefaultinstall=full\nloglevl=3\nsrv_domain=svc.acme.com||10.9.9.9\n"
      "[Acme]\nwaf_cfg=acme\njust text\n";
  const std::string redacted = quarn_tools::RedactSettingsText(settings, false, pseudonyms, servers);
  EXPECT_EQ(redacted.find("Acme"), std::string::npos) << redacted;
  EXPECT_EQ(redacted.find("acme"), std::string::npos) << redacted;
  EXPECT_EQ(redacted.substr(0, 4), "\xEF\xBB\xBF;");
  // Key names stay; a setting's value stays where the library reads it, an
  // unknown key's value is replaced.
  EXPECT_NE(redacted.find("\ndefaultinstall=full\nloglevl="), std::string::npos) << redacted;
  EXPECT_NE(redacted.find("\nsrv_domain="), std::string::npos) << redacted;
  EXPECT_NE(redacted.find("||10."), std::string::npos) << redacted;
  EXPECT_EQ(std::count(redacted.begin(), redacted.end(), '\n'), std::count(settings.begin(), settings.end(), '\n'));
  EXPECT_EQ(servers.size(), 2u);
}

}  // namespace

// A redacted bundle, as a customer's privacy reviewer reads it: of the
// table, the settings files, the paths and the host, only what the
// allow-list names is left, in no form at all; and the replay of the
// redacted bundle is equal, its check gives the original's codes and lines.
#include "bundle/Redact.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

#include "bundle/Base64.h"
#include "bundle/Bundle.h"
#include "bundle/Pseudonyms.h"
#include "bundle/RedactTable.h"
#include "bundle/Replay.h"
#include "config/AddressRules.h"
#include "hwinfo/SmbiosParsing.h"
#include "lint/SettingsCheck.h"
#include "report/Sections.h"
#include "report/Utf8Text.h"
#include "support/SmbiosCorpus.h"
#include "support/SmbiosTables.h"

namespace {

using Json = nlohmann::json;
using quarn_test::Bytes;
using quarn_tools::MachineRecord;

const char kCorpus[] = QUARN_SMBIOS_TESTDATA;
const char kKey[] = "a redaction key of the test, 32b";
const quarn_tools::PathStyleRecord kPosix{false, ""};
const quarn_tools::PathStyleRecord kWindows932{true,
                                               "\x81\x82\x83\x84\x88\x89\x8a\x8b\x8c\x8d\x8e\x8f\x90\x91\x92"
                                               "\x93\x94\x95\x96\x97\x98\x99\x9a\x9b\x9c\x9d\x9e\x9f\xe0\xe1"};

// The strings that may leave, by this test's reading of the SMBIOS
// reference: the BIOS's vendor, version and date, the makers and product
// names of system, board and chassis, the processor's maker and version.
bool KeptField(int type, int offset) {
  static const std::set<std::pair<int, int>> kKept = {{0, 4}, {0, 5}, {0, 8}, {1, 4}, {1, 5},
                                                      {2, 4}, {2, 5}, {3, 4}, {4, 7}, {4, 16}};
  return kKept.count({type, offset}) != 0;
}

struct Walked {
  std::size_t at, formatted;
  int type;
  std::vector<std::pair<std::size_t, std::string>> strings;  // where each starts, and its text
};

// The structures as the library walks them (StructureEnd), with their
// strings read independently: runs of bytes that are not zero.
std::vector<Walked> Walk(const Bytes& table) {
  std::vector<Walked> walk;
  for (std::size_t at = 0; at + 1 < table.size();) {
    const std::size_t end = quarn::smbios::StructureEnd(table.data(), table.size(), at);
    Walked structure{at, table[at + 1], table[at], {}};
    const std::size_t to = end ? end - 2 : table.size();
    for (std::size_t p = std::min(table.size(), at + table[at + 1]); p < to;) {
      if (table[p] == 0) {
        ++p;
        continue;
      }
      const std::size_t start = p;
      while (p < to && table[p] != 0) ++p;
      structure.strings.emplace_back(start, std::string(table.begin() + start, table.begin() + p));
    }
    walk.push_back(structure);
    if (end == 0) break;
    at = end;
  }
  return walk;
}

// The texts of the table the allow-list lets out, and every other string.
void SplitStrings(const Bytes& table, std::set<std::string>& kept, std::set<std::string>& secret) {
  for (const Walked& s : Walk(table)) {
    std::set<std::size_t> numbers;
    for (std::size_t offset = 4; offset < s.formatted && s.at + offset < table.size(); ++offset)
      if (KeptField(s.type, static_cast<int>(offset))) numbers.insert(table[s.at + offset]);
    for (std::size_t i = 0; i < s.strings.size(); ++i)
      (numbers.count(i + 1) ? kept : secret).insert(s.strings[i].second);
  }
  for (const std::string& text : kept) secret.erase(text);
}

std::string Hex(const std::string& bytes, bool upper) {
  std::string out;
  for (unsigned char c : bytes) {
    char two[3];
    std::snprintf(two, sizeof two, upper ? "%02X" : "%02x", c);
    out += two;
  }
  return out;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The UTF-16 code units of a UTF-8 text, each as two bytes in the order
// asked.
std::string Utf16(const std::string& text, bool littleEndian) {
  std::string out;
  const auto unit = [&](unsigned value) {
    const char high = static_cast<char>(value >> 8), low = static_cast<char>(value & 0xFF);
    out += littleEndian ? low : high;
    out += littleEndian ? high : low;
  };
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = std::max<std::size_t>(1, quarn_tools::Utf8SequenceLength(text, at));
    unsigned point = static_cast<unsigned char>(text[at]) & (length == 1 ? 0xFF : 0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) point = point << 6 | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    if (point >= 0x10000) {
      unit(0xD800 + ((point - 0x10000) >> 10));
      unit(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      unit(point);
    }
    at += length;
  }
  return out;
}

// Every form a token could take in a bundle: as it is, in either case, as
// hexadecimal (either case, its bytes in either order), as UTF-16 (either
// order).
std::vector<std::string> FormsOf(const std::string& token) {
  const std::string reversed(token.rbegin(), token.rend());
  return {Lower(token), Hex(token, false), Hex(reversed, false), Lower(Utf16(token, true)), Lower(Utf16(token, false))};
}

// The bundle's text, and every base64 field decoded, in lower case.
std::vector<std::string> Haystacks(const std::string& bundle) {
  std::vector<std::string> stacks = {Lower(bundle)};
  std::vector<const Json*> todo;
  const Json document = Json::parse(bundle);
  todo.push_back(&document);
  while (!todo.empty()) {
    const Json* value = todo.back();
    todo.pop_back();
    if (value->is_object() && value->contains("base64") && (*value)["base64"].is_string()) {
      std::string bytes;
      if (quarn_tools::Base64Decode((*value)["base64"].get<std::string>(), bytes)) stacks.push_back(Lower(bytes));
    }
    if (value->is_structured())
      for (const Json& item : *value) todo.push_back(&item);
  }
  return stacks;
}

// The first token left in any form anywhere, or "".
std::string LeftOver(const std::string& bundle, const std::set<std::string>& tokens) {
  const std::vector<std::string> stacks = Haystacks(bundle);
  for (const std::string& token : tokens)
    for (const std::string& form : FormsOf(token))
      for (const std::string& stack : stacks)
        if (stack.find(form) != std::string::npos) return token;
  return std::string();
}

quarn_tools::CanonicalReport Replayed(const MachineRecord& record) {
  quarn_tools::RecordAnswers answers(record);
  quarn_tools::Report report;
  quarn_tools::AddSections(report, answers);
  quarn_tools::LibraryOutput output;
  output.text = answers.Printed();
  quarn_tools::AddDiagnostics(report, output, "yes");
  return report.Canonical();
}

// A machine in a user's and a company's folder, with servers of the
// company's domain and the table of `block`; its report as the rules give it.
MachineRecord RecordOf(const Bytes& block, const std::string& settings = std::string()) {
  MachineRecord record;
  record.madeBy = "quarncfg 1.0.0";
  record.executableDir = "/home/jane.doe/AcmeCorp/quarn/client/bin";
  record.pathStyle = kPosix;
  record.globalCfgState = "existed";
  record.machineNameKnown = true;
  record.machineName = "ACME-WKS-0042";
  record.localAddresses = {"10.20.30.40", "192.168.7.7", "127.0.0.1"};
  record.settingsFile = {
      "/home/jane.doe/AcmeCorp/quarn/client/bin/conf/cli_config.ini", quarn_tools::CheckedFile::Status::kRead,
      settings.empty() ? "; settings of AcmeCorp\ndefaultinstall=full\nsrv_domain=svc.acmecorp.example|10.1.1.1\n"
                       : settings};
  record.firmware.firmwareService = true;
  record.firmware.blockGiven = true;
  record.firmware.block.assign(block.begin(), block.end());
  record.report = Replayed(record);
  return record;
}

// Redacted, written and read back.
MachineRecord Redacted(const MachineRecord& original, std::string& text, quarn_tools::RedactionLog* log = nullptr) {
  MachineRecord redacted = original;
  const quarn_tools::RedactionLog done = quarn_tools::RedactRecord(redacted, kKey, true);
  if (log) *log = done;
  text = quarn_tools::WriteBundle(redacted);
  MachineRecord read;
  std::string error;
  EXPECT_TRUE(quarn_tools::ReadBundle(text, read, error)) << error;
  return read;
}

void ExpectReplayEqual(const MachineRecord& read) {
  for (const quarn_tools::ReplayDifference& difference :
       quarn_tools::CompareReplay(read.report, Replayed(read), read.redacted))
    ADD_FAILURE() << difference.field << ": " << difference.recorded << " / " << difference.replayed;
}

// The table's every byte by the allow-list: the walk and the strings'
// places and lengths as they were; kept strings and their numbers as they
// were; every other formatted byte zero; the UUID another.
void ExpectTableByAllowList(const Bytes& before, const Bytes& after) {
  ASSERT_EQ(after.size(), before.size());
  const std::vector<Walked> was = Walk(before), is = Walk(after);
  ASSERT_EQ(is.size(), was.size());
  unsigned char uuid[16];
  const bool hadUuid = quarn::smbios::TableUuidBytes(before.data(), before.size(), uuid);
  for (std::size_t i = 0; i < was.size(); ++i) {
    const Walked &a = was[i], &b = is[i];
    ASSERT_EQ(b.at, a.at);
    ASSERT_EQ(b.type, a.type);
    ASSERT_EQ(b.formatted, a.formatted);
    ASSERT_EQ(b.strings.size(), a.strings.size());
    for (std::size_t s = 0; s < a.strings.size(); ++s)
      EXPECT_EQ(b.strings[s].second.size(), a.strings[s].second.size());
    for (std::size_t offset = 4; offset < a.formatted && a.at + offset < before.size(); ++offset) {
      const unsigned char x = before[a.at + offset], y = after[a.at + offset];
      const bool uuidByte = a.type == 1 && a.formatted >= 24 && offset >= 8 && offset < 24;
      const bool number = KeptField(a.type, static_cast<int>(offset)) && x >= 1 && x <= a.strings.size();
      if (!uuidByte) {
        EXPECT_EQ(y, number ? x : 0) << "type " << a.type << " offset " << offset;
      }
    }
  }
  unsigned char made[16];
  if (hadUuid && !quarn::smbios::UuidPlaceholder(uuid)) {
    ASSERT_TRUE(quarn::smbios::TableUuidBytes(after.data(), after.size(), made));
    EXPECT_NE(std::memcmp(uuid, made, 16), 0);
  }
}

Bytes TableOfBlock(const std::string& block) { return Bytes(block.begin() + 8, block.end()); }

// The corpus table of `dump` as the firmware-table service gives it.
Bytes BlockOf(const quarn_test::Dump& dump) {
  const std::string dir = std::string(kCorpus) + "/" + dump.name;
  if (dump.sourceFormat == "rsmb") return quarn_test::FileBytes(dir + "/RSMB");
  unsigned major = 0, minor = 0;
  std::sscanf(dump.version.c_str(), "%u.%u", &major, &minor);
  return quarn_test::FirmwareBlockBytes(static_cast<unsigned char>(major), static_cast<unsigned char>(minor),
                                        quarn_test::FileBytes(dir + "/DMI"));
}

class RedactedTableOf : public ::testing::TestWithParam<quarn_test::Dump> {};

TEST_P(RedactedTableOf, LeavesOnlyTheAllowListAndReplaysEqual) {
  const Bytes block = BlockOf(GetParam());
  ASSERT_GT(block.size(), 8u) << "no table for " << GetParam().name;
  const Bytes table(block.begin() + 8, block.end());
  std::set<std::string> kept, secret, tokens;
  SplitStrings(table, kept, secret);
  // Searched for: what is long enough not to be found by chance in other
  // bytes, and not a part of a text that is let out ("ProLiant" as the
  // family, in "ProLiant DL580 G5" as the product name).
  for (const std::string& text : secret) {
    const bool inKept = std::any_of(kept.begin(), kept.end(), [&](const std::string& k) {
      return Lower(k).find(Lower(text)) != std::string::npos;
    });
    const bool words = std::count_if(text.begin(), text.end(),
                                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }) >= 6;
    if (words && !inKept) tokens.insert(text);
  }
  // Nor a word the bundle holds whatever the table ("Network").
  std::string text, control;
  Redacted(RecordOf(quarn_test::FirmwareBlockBytes(3, 0, quarn_test::EndOfTable())), control);
  for (std::string found; !(found = LeftOver(control, tokens)).empty();) tokens.erase(found);
  const MachineRecord read = Redacted(RecordOf(block), text);
  EXPECT_EQ(LeftOver(text, tokens), "");
  EXPECT_EQ(LeftOver(text, {"jane.doe", "AcmeCorp", "ACME-WKS-0042", "10.20.30.40", "192.168.7.7"}), "");
  ExpectTableByAllowList(table, TableOfBlock(read.firmware.block));
  std::set<std::string> keptAfter, secretAfter;
  SplitStrings(TableOfBlock(read.firmware.block), keptAfter, secretAfter);
  EXPECT_EQ(keptAfter, kept);
  ExpectReplayEqual(read);
}

std::string TestName(const ::testing::TestParamInfo<quarn_test::Dump>& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Machines, RedactedTableOf, ::testing::ValuesIn(quarn_test::Manifest(kCorpus)), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(RedactedTableOf);

TEST(RedactedTableCorpus, IsThereOrSaysWhy) {
  if (quarn_test::Manifest(kCorpus).empty())
    GTEST_SKIP() << "no SMBIOS corpus at " << kCorpus << ": its tables are not tried";
}

// A distinct token in every string and every formatted byte of a structure
// of every type: ASCII, Cyrillic and CJK strings; the kept fields number
// their strings. Only the kept strings are left.
TEST(RedactedTable, OfEveryTypeLeavesNoTokenButTheAllowList) {
  static const char* const kScripts[] = {"\xD0\x96\xD0\xB5\xD0\xBD\xD1\x8F", "\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4\xAA"};
  Bytes table;
  std::set<std::string> tokens, keep;
  std::vector<int> types;
  for (int type = 0; type <= 255; ++type)
    if (type <= 46 || type >= 126) types.push_back(type);
  for (int type : types) {
    const std::string mark = "Tk" + std::to_string(1000 + type);
    Bytes rest;
    for (int i = 0; rest.size() < 60; ++i)  // the formatted area: the token's bytes, again and again
      for (char c : mark + "f" + std::to_string(i % 10)) rest.push_back(static_cast<unsigned char>(c));
    rest.resize(60);
    std::vector<std::string> strings;
    for (int s = 0; s < 6; ++s) {
      strings.push_back(mark + "s" + std::to_string(s) + (s % 3 ? kScripts[s % 2] : "x"));
      tokens.insert(strings.back());
    }
    for (int offset = 4, number = 1; offset < 64; ++offset)
      if (KeptField(type, offset)) {
        rest[static_cast<std::size_t>(offset - 4)] = static_cast<unsigned char>(number);
        keep.insert(strings[static_cast<std::size_t>(number++ - 1)]);
      }
    Bytes structure = {static_cast<unsigned char>(type), 64, 0x34, 0x12};
    structure.insert(structure.end(), rest.begin(), rest.end());
    for (const std::string& s : strings) {
      structure.insert(structure.end(), s.begin(), s.end());
      structure.push_back(0);
    }
    structure.push_back(0);
    table.insert(table.end(), structure.begin(), structure.end());
    tokens.insert(mark + "f");
  }
  for (const std::string& text : keep) tokens.erase(text);
  const Bytes block = quarn_test::FirmwareBlockBytes(3, 0, table);
  std::string text;
  const MachineRecord read = Redacted(RecordOf(block), text);
  EXPECT_EQ(LeftOver(text, tokens), "");
  const Bytes after = TableOfBlock(read.firmware.block);
  ExpectTableByAllowList(table, after);
  std::set<std::string> keptAfter, secretAfter;
  SplitStrings(after, keptAfter, secretAfter);
  EXPECT_EQ(keptAfter, keep);
  ExpectReplayEqual(read);
}

// Whatever the bytes, the redaction walks as the library does: a
// structure shorter than its header, one whose strings run past the end
// (its UUID read all the same), a formatted length of 0.
TEST(RedactedTable, FollowsTheLibrarysWalk) {
  const Bytes uuid = quarn_test::CountingUuid();
  Bytes rest = {0, 0, 0, 1};  // the serial number is the first string
  rest.insert(rest.end(), uuid.begin(), uuid.end());
  rest.insert(rest.end(), {6, 0, 0});
  Bytes system = quarn_test::Structure(1, rest);
  system.erase(system.end() - 2, system.end());
  for (char c : std::string("SN-SECRET-1")) system.push_back(static_cast<unsigned char>(c));
  system.push_back(0);  // no second zero: the set runs past the table
  const Bytes table = quarn_test::Concat({{0x80, 2, 'A', 'B', 0, 0}, {0x05, 0, 'Q', 0, 0}, system});
  Bytes redacted = table;
  const quarn_tools::Pseudonyms pseudonyms(kKey, kPosix);
  quarn_tools::TableRedaction done;
  quarn_tools::RedactTable(redacted.data(), redacted.size(), pseudonyms, done);
  ExpectTableByAllowList(table, redacted);
  EXPECT_EQ(done.structures, 3u);
  EXPECT_EQ(done.uuidsReplaced, 1u);
  EXPECT_EQ(done.stringsReplaced, 3u);  // "AB", "Q" and the serial number
  EXPECT_EQ(std::search(redacted.begin(), redacted.end(), table.end() - 12, table.end() - 1), redacted.end());
  EXPECT_EQ(redacted[0], 0x80);
  EXPECT_EQ(redacted[6], 0x05);  // the type byte the walk reads as a string stays
}

// The settings files and the updater's record, with a token in every kind
// of text: none is left; the check of the redacted files gives the
// original's codes on the original's lines; the replay is equal.
TEST(RedactedSettings, LeaveOnlyKeysAndWholeValuesAndCheckTheSame) {
  const std::string settings =
      "\xEF\xBB\xBF; tokcomment Zorblax's settings \xD0\x96\xD0\xB5\xD0\xBD\xD1\x8F\xD0\x9A\n"
      "defaultinstall=tokinstall\n"
      "current_version=\"tokversion_01\"\n"
      "loglevl=3\n"
      "tokunknownkey=tokunknownvalue\n"
      "loglevel=4 ; toktrailing\n"
      "logmaxsize=0x200000\n"
      "max_cpuuse=25tokpercent\n"
      "protectupdate=ture\n"
      "sendfile=off\n"
      "waf_cfg=C:\\Users\\tokfolder\\\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4\xAA ; mode\n"
      "srv_domain=svc.tokserver.com|a|b|c|d|e|f|g|h|i|j||10.9.9.9|256.1.1.1|2001:db8::1|tok.example.com:8443\n"
      "tokpassedover line\n"
      "[toksection]\n"
      "loglevel=5\n";
  const Bytes block = quarn_test::FirmwareBlockBytes(2, 8, quarn_test::TableOfSize(200));
  MachineRecord original = RecordOf(block, settings);
  original.updaterVersionRecord = {"/home/jane.doe/AcmeCorp/quarn/quarn_update/cur_version.txt",
                                   quarn_tools::CheckedFile::Status::kRead, "update_01_02\ntokupdaterline\n"};
  original.updaterDirExists = true;
  original.report = Replayed(original);
  std::string text;
  quarn_tools::RedactionLog log;
  const MachineRecord read = Redacted(original, text, &log);
  EXPECT_EQ(LeftOver(text, {"tokcomment", "Zorblax", "tokinstall", "tokversion", "tokunknownkey", "tokunknownvalue",
                            "toktrailing", "tokpercent", "tokfolder", "tokserver", "tokpassedover", "toksection",
                            "tokupdaterline", "jane.doe", "AcmeCorp", "\xD0\x96\xD0\xB5\xD0\xBD\xD1\x8F\xD0\x9A",
                            "\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4\xAA"}),
            "");
  for (const char* kept : {"\nloglevl=", "loglevel=5", "sendfile=off", "logmaxsize=0x200000", "\nupdate_01_02\n"})
    EXPECT_NE((read.settingsFile.content + "\n" + read.updaterVersionRecord.content).find(kept), std::string::npos)
        << kept;

  const auto findings = [](const MachineRecord& record) {
    std::vector<std::pair<std::string, int>> codes;
    const auto checked = [](const quarn_tools::RecordedFile& file, const char* label) {
      return quarn_tools::CheckedFile{file.path, label, file.status, file.content};
    };
    for (const quarn_tools::Finding& f : quarn_tools::CheckSettings(checked(record.settingsFile, "cli_config.ini"),
                                                                    checked(record.overrideFile, "domaincfg.ini"))
                                             .findings)
      codes.emplace_back(f.code, f.line);
    return codes;
  };
  EXPECT_EQ(findings(read), findings(original));
  EXPECT_GT(findings(original).size(), 8u);
  ExpectReplayEqual(read);

  // Counted from what was done: 15 servers (the empty item is none); every kept
  // value named with its reason.
  EXPECT_EQ(log.replaced.at("server names"), 15u);
  EXPECT_EQ(log.replaced.at("machine name"), 1u);
  EXPECT_EQ(log.replaced.at("local addresses"), 2u);
  const Json redaction = Json::parse(text)["redaction"];
  ASSERT_TRUE(redaction["key_id"].is_string());
  EXPECT_EQ(redaction["key_id"].get<std::string>().size(), 16u);
  EXPECT_NE(std::find(redaction["replaced"].begin(), redaction["replaced"].end(), "server names: 15"),
            redaction["replaced"].end())
      << redaction.dump();
  bool keptLoopback = false;
  for (const auto& kept : log.kept) keptLoopback = keptLoopback || kept.value == "127.0.0.1";
  EXPECT_TRUE(keptLoopback);
}

// A permutation of each shape: never the value, two values never one, the
// same under one key in every bundle, another under another key; what
// `avoid` refuses never comes out.
TEST(Pseudonyms, AreAKeyedPermutationOfTheirShape) {
  const quarn_tools::Pseudonyms one(kKey, kPosix), again(kKey, kPosix),
      other("another key of the test, 32 bytes", kPosix);
  std::set<std::string> made;
  std::vector<std::string> values;
  for (char a = 'a'; a <= 'z'; ++a) {
    values.push_back(std::string(1, a));
    for (char b = 'a'; b <= 'z'; ++b)
      for (char c : {'a', 'q', 'z'}) values.push_back(std::string{a, b, c});
  }
  for (int n = 0; n < 3000; ++n) values.push_back("Svc-" + std::to_string(n) + "x");  // a shape of many values
  values.push_back("\xE5\xB1\xB1");                                                   // a CJK character
  values.push_back("\xF0\x9F\x98\x80\xD0\x96");                                       // U+1F600 and Cyrillic
  for (const std::string& value : values) {
    const std::string pseudonym = one.Reshaped(value);
    ASSERT_NE(pseudonym, value);
    ASSERT_EQ(pseudonym.size(), value.size());
    ASSERT_TRUE(made.insert(pseudonym).second) << value << " met another value's pseudonym";
    ASSERT_EQ(again.Reshaped(value), pseudonym);
  }
  EXPECT_NE(other.Reshaped("jane"), one.Reshaped("jane"));
  EXPECT_EQ(one.Reshaped("..-"), "..-");  // nothing to change
  const std::string refused = one.Reshaped("ab");
  EXPECT_NE(one.Reshaped("ab", [&](const std::string& s) { return s == refused; }), refused);
  EXPECT_EQ(one.KeyId(), again.KeyId());
  EXPECT_NE(one.KeyId(), other.KeyId());
}

TEST(Pseudonyms, KeepWhatTheRulesSee) {
  const quarn_tools::Pseudonyms one(kKey, kPosix);
  const struct {
    const char* address;
    const char* prefix;
  } classes[] = {{"10.1.2.3", "10."},         {"172.20.1.2", "172.20."},  {"192.168.4.4", "192.168."},
                 {"169.254.3.3", "169.254."}, {"127.0.0.1", "127.0.0.1"}, {"255.255.255.255", "255.255.255.255"}};
  for (const auto& row : classes) EXPECT_EQ(one.Address(row.address).rfind(row.prefix, 0), 0u) << row.address;
  EXPECT_NE(one.Address("10.1.2.3"), "10.1.2.3");
  const std::string fallback = one.Address("172.40.1.1"), publicOne = one.Address("8.8.8.8");
  EXPECT_EQ(quarn::ExplainIdentityIp({fallback}).verdicts.front().kind, quarn::IdentityVerdict::kFallback172);
  EXPECT_EQ(quarn::ExplainIdentityIp({publicOne}).verdicts.front().kind, quarn::IdentityVerdict::kPublic);
  std::set<std::string> addresses;
  for (int i = 0; i < 256; ++i) addresses.insert(one.Address("192.168.0." + std::to_string(i)));
  EXPECT_EQ(addresses.size(), 256u);

  const std::string reshaped = one.Reshaped("Jane.Doe-42_x");
  ASSERT_EQ(reshaped.size(), 13u);
  EXPECT_TRUE(std::isupper(static_cast<unsigned char>(reshaped[0])) &&
              std::islower(static_cast<unsigned char>(reshaped[1])));
  EXPECT_EQ(reshaped.substr(4, 1), ".");
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(reshaped[9])) &&
              std::isdigit(static_cast<unsigned char>(reshaped[10])));
  // Code page 932: a double-byte character stays one, its 0x5C trail too.
  const quarn_tools::Pseudonyms japanese(kKey, kWindows932);
  const std::string kanji = japanese.Reshaped("\x95\x5c\x8e\xa6");
  ASSERT_EQ(kanji.size(), 4u);
  EXPECT_NE(kWindows932.leadBytes.find(kanji[0]), std::string::npos);
  EXPECT_EQ(kanji[1], '\x5c');
  EXPECT_NE(kWindows932.leadBytes.find(kanji[2]), std::string::npos);
  const std::string utf8 = one.Reshaped("J\xc3\xbcrgen \xe8\xa1\xa8");
  EXPECT_EQ(utf8.size(), 11u);
  EXPECT_TRUE(quarn_tools::IsValidUtf8(utf8));
  EXPECT_FALSE(
      quarn_tools::IsValidUtf8(one.Reshaped("a\xe4"
                                            "b\x80")));

  const auto server = [&](const char* item) { return quarn_tools::ServerPseudonym(item, one); };
  const std::string host = server("svc-1.acme.com");
  EXPECT_EQ(host.size(), 14u);
  EXPECT_EQ(host[3], '-');
  EXPECT_EQ(host.substr(host.size() - 4), ".com");
  EXPECT_EQ(server("http://svc.acme.com:8080/x").substr(0, 7), "http://");
  EXPECT_EQ(server("svc.acme.com:8443").substr(12), ":8443");
  EXPECT_GE(std::stoi(server("256.1.1.1").substr(0, 3)), 256);
  EXPECT_EQ(server("2001:db8::1").find_first_not_of("0123456789abcdef:"), std::string::npos);
}

// Paths: the layout's and the system's folders stay, others become
// pseudonyms of their bytes' classes; texts holding a path follow it.
TEST(RedactText, PathsKeepTheLayout) {
  const quarn_tools::Pseudonyms pseudonyms(kKey, kWindows932);
  quarn_tools::RedactionLog log;
  quarn_tools::PathRedaction paths(pseudonyms, kWindows932, log);
  const std::string exe = paths.Path("C:\\Users\\jane.doe\\AcmeCorp\\Quarn\\client\\bin");
  EXPECT_EQ(exe.substr(0, 9), "C:\\Users\\");
  EXPECT_EQ(exe.size(), 43u);
  EXPECT_EQ(exe.substr(exe.size() - 11), "\\client\\bin");
  EXPECT_EQ(exe.find("jane"), std::string::npos);
  EXPECT_EQ(log.replaced.at("path folders"), 3u);
  const std::string message = quarn_tools::ReplacePrefixes(
      "making it would create C:\\Users\\jane.doe\\AcmeCorp\\Quarn\\globalcfg", paths.Prefixes());
  EXPECT_EQ(message.find("AcmeCorp"), std::string::npos) << message;
  EXPECT_EQ(quarn_tools::ReplacePrefixes("C:\\Users\\jane.doe2", paths.Prefixes()), "C:\\Users\\jane.doe2");
}

}  // namespace

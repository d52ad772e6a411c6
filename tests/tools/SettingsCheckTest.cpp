// The settings check: what it finds in a file, and that the values it shows
// are the ones the library itself takes from the same file.
#include "lint/SettingsCheck.h"

#include <SimpleIni.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <random>

#include "bundle/InstallationFiles.h"
#include "config/QuarnConfig.h"
#include "config/SettingsRules.h"
#include "lint/CheckReport.h"
#include "lint/IniLineScan.h"
#include "lint/NearestKey.h"
#include "lint/ServerItems.h"
#include "support/TestSupport.h"

using quarn_test::TempDir;
using quarn_test::WriteFile;
using quarn_tools::CheckedFile;
using quarn_tools::CheckResult;
using quarn_tools::Severity;

namespace {

CheckedFile Given(const std::string& label, const std::string& content) {
  CheckedFile file;
  file.path = "/etc/" + label;
  file.label = label;
  file.status = CheckedFile::Status::kRead;
  file.content = content;
  return file;
}

CheckedFile NoOverride() {
  CheckedFile file;
  file.label = "domaincfg.ini";
  return file;
}

std::map<std::string, int> Codes(const CheckResult& result) {
  std::map<std::string, int> codes;
  for (const quarn_tools::Finding& finding : result.findings) ++codes[finding.code];
  return codes;
}

const quarn_tools::Finding* FindingOf(const CheckResult& result, const std::string& code) {
  for (const quarn_tools::Finding& finding : result.findings)
    if (finding.code == code) return &finding;
  return nullptr;
}

// A setting as the check read it: its value as text, and its origin.
struct KeyView {
  std::string valueText, origin;
};
KeyView Key(const CheckResult& result, const std::string& name) {
  const quarn::settings::SettingRow* row = quarn::settings::FindSetting(name);
  if (!row) {
    ADD_FAILURE() << "no key " << name;
    return {};
  }
  return {quarn_tools::SettingValueText(result.reading, *row),
          quarn::settings::OriginName(result.reading.record.origin[quarn::settings::RowIndex(*row)])};
}

}  // namespace

TEST(SettingsCheck, EveryKindOfFindingIsReportedOnceWhereItIs) {
  const std::string settings =
      "\xEF\xBB\xBF"
      "loglevl=3\n"                           // 1 unknown, near loglevel
      "loglevel=abc\n"                        // 2 overridden by line 10
      "max_cpuuse=95\n"                       // 3 out of bounds
      "logmaxsize=10%\n"                      // 4 trailing characters
      "sendfile=maybe\n"                      // 5 not a boolean
      "protectupdate=\n"                      // 6 empty
      "velse_waf_rule_refresh=99999999999\n"  // 7 saturated
      "defaultinstall=\n"                     // 8 empty: the read reports false
      "srv_domain=a||b|a\n"                   // 9 empty item, repeated item
      "loglevel=7\n"                          // 10 the one used, beyond the logger's levels
      "just text\n"                           // 11 ignored
      "=5\r\n"                                // 12 ignored
      "connect_beta=on\rupdatelua=no\n"       // 13 lone CR
      "max_memuse=" +
      std::string(64, '1') +
      "\n"                                                  // 14 too long
      "velse_waf_port_refresh=x\n"                          // 15 not a number
      "[extra]\n"                                           // 16
      "vm_crash_check=1\n"                                  // 17 known key under a section
      "[broken\n"                                           // 18
      "waf_cfg=x\n"                                         // 19
      + std::string("protectoruhids=1\0sendfile=0\n", 28);  // 20 NUL: sendfile lost
  const CheckResult result = quarn_tools::CheckSettings(
      Given("cli_config.ini", settings), Given("domaincfg.ini", "srv_domain=x||b\nloglevel=3\nsrv_domian=y\n"));
  const std::map<std::string, int> expected = {{"byte_order_mark", 1},
                                               {"unknown_key", 3},
                                               {"duplicate_key", 1},
                                               {"out_of_bounds", 1},
                                               {"trailing_characters", 1},
                                               {"not_a_boolean", 1},
                                               {"empty_value", 1},
                                               {"saturated", 1},
                                               {"empty_defaultinstall", 1},
                                               {"empty_list_item", 2},
                                               {"repeated_list_item", 2},
                                               {"ignored_line", 2},
                                               {"lone_cr", 1},
                                               {"too_long", 1},
                                               {"not_a_number", 1},
                                               {"key_under_section", 3},
                                               {"broken_section_header", 1},
                                               {"nul_byte", 1},
                                               {"useless_value", 1},
                                               {"override_replaces_list", 1}};
  EXPECT_EQ(Codes(result), expected);
  EXPECT_EQ(quarn_tools::FindingsExitStatus(result.findings), 1);

  EXPECT_EQ(FindingOf(result, "duplicate_key")->line, 10);
  EXPECT_NE(FindingOf(result, "duplicate_key")->message.find("lines 2, 10"), std::string::npos);
  EXPECT_NE(FindingOf(result, "unknown_key")->message.find("did you mean \"loglevel\""), std::string::npos);
  EXPECT_EQ(FindingOf(result, "lone_cr")->line, 13);
  EXPECT_EQ(FindingOf(result, "nul_byte")->line, 20);
  EXPECT_NE(FindingOf(result, "nul_byte")->message.find("keys lost: sendfile"), std::string::npos);
  EXPECT_EQ(FindingOf(result, "out_of_bounds")->severity, Severity::kError);
  EXPECT_EQ(FindingOf(result, "override_replaces_list")->severity, Severity::kNote);

  EXPECT_EQ(Key(result, "loglevel").valueText, "7");
  EXPECT_EQ(Key(result, "max_cpuuse").valueText, "10");
  EXPECT_EQ(Key(result, "max_cpuuse").origin, "out_of_bounds");
  EXPECT_EQ(Key(result, "updatelua").valueText, "false");  // after the lone CR: its own line to the reader
  EXPECT_EQ(Key(result, "vm_crash_check").origin, "missing");
  EXPECT_EQ(Key(result, "waf_cfg").origin, "missing");  // under the broken header
  EXPECT_EQ(Key(result, "protectoruhids").valueText, "true");
  EXPECT_EQ(result.reading.record.serviceServers, (std::vector<std::string>{"x", "", "b", "a", "b", "a"}));
}

TEST(SettingsCheck, ACleanFileHasNothingToSay) {
  const CheckResult result = quarn_tools::CheckSettings(
      Given("cli_config.ini", "; the client\ndefaultinstall=full\nloglevel = 3\nsendfile=off\n\nsrv_domain=a|b\n"),
      Given("domaincfg.ini", "# none\n"));
  EXPECT_TRUE(result.findings.empty()) << result.findings.front().message;
  EXPECT_EQ(quarn_tools::FindingsExitStatus(result.findings), 0);
  EXPECT_EQ(Key(result, "sendfile").valueText, "false");
  EXPECT_EQ(Key(result, "sendfile").origin, "file");
  EXPECT_EQ(result.reading.record.serviceServers, (std::vector<std::string>{"a", "b"}));
}

TEST(SettingsCheck, AFileThatCannotBeReadIsOneErrorAndEveryDefault) {
  TempDir dir;
  WriteFile(dir.path() + "/big.ini", std::string(quarn::settings::kMostFileBytes + 1, ';'));
  const struct {
    std::string path;
    const char* status;
  } cases[] = {{dir.path() + "/none.ini", "missing"},
               {dir.path(), "not_a_regular_file"},
               {dir.path() + "/big.ini", "too_large"}};
  for (const auto& c : cases) {
    const CheckedFile file = quarn_tools::ReadCheckedFile(c.path, "cli_config.ini");
    EXPECT_STREQ(quarn_tools::StatusName(file.status), c.status);
    const CheckResult result = quarn_tools::CheckSettings(file, NoOverride());
    EXPECT_EQ(Codes(result), (std::map<std::string, int>{{"settings_not_read", 1}})) << c.path;
    EXPECT_EQ(Key(result, "loglevel").origin, "missing");
    EXPECT_EQ(result.reading.record.serviceServers.size(), 4u);  // the default list
  }
  // An override file that cannot be read is passed over, with a warning.
  CheckedFile overrides = quarn_tools::ReadCheckedFile(dir.path(), "domaincfg.ini");
  const CheckResult result = quarn_tools::CheckSettings(Given("cli_config.ini", "defaultinstall=a\n"), overrides);
  EXPECT_EQ(Codes(result), (std::map<std::string, int>{{"override_not_read", 1}}));
}

TEST(SettingsCheck, SuggestsOnlyKeysThatAreNear) {
  const std::vector<std::string> known = {"loglevel", "logmaxsize", "sendfile", "srv_domain"};
  EXPECT_EQ(quarn_tools::NearestKnownKey("loglevl", known), "loglevel");
  EXPECT_EQ(quarn_tools::NearestKnownKey("LogMaxSise", known), "logmaxsize");
  EXPECT_EQ(quarn_tools::NearestKnownKey("srv_domian", known), "srv_domain");
  EXPECT_EQ(quarn_tools::NearestKnownKey("colour", known), "");
  EXPECT_EQ(quarn_tools::NearestKnownKey("a", {"ab"}), "");  // too short to guess
}

// The line scan places keys where the reader finds them: for every key the
// scan puts in the unnamed section (the last one of its name), the INI
// reader given the whole file holds that value, and it holds no key the
// scan missed.
TEST(SettingsCheck, TheLineScanFindsTheKeysTheReaderFinds) {
  std::mt19937 random(8122026);
  const std::vector<std::string> pieces = {
      "loglevel", "LogLevel", "sendfile", "=",     "=",  " ",  "\t",
      "\n",       "\r\n",     "\r",       "[",     "]",  ";",  "#",
      "x",        "1",        "a b",      "[s]\n", "[]", "[ ", std::string(1, '\0')};
  for (int round = 0; round < 3000; ++round) {
    std::string content;
    const int count = 1 + static_cast<int>(random() % 24);
    for (int i = 0; i < count; ++i) content += pieces[random() % pieces.size()];
    SCOPED_TRACE(::testing::PrintToString(content));
    CSimpleIniA ini(false, false, false);
    ASSERT_GE(ini.LoadData(content.data(), content.size()), 0);
    const quarn_tools::IniScan scan = quarn_tools::ScanIniLines(content);
    for (const char* name : {"loglevel", "sendfile", "x"}) {
      const char* held = ini.GetValue("", name, nullptr);
      const quarn_tools::ScannedKey* last = nullptr;
      for (const quarn_tools::ScannedKey& key : scan.keys)
        if (!key.lost && key.section.empty() && quarn::settings::SameKeyName(scan.Key(key), name)) last = &key;
      ASSERT_EQ(held != nullptr, last != nullptr) << name;
      if (last) {
        EXPECT_STREQ(scan.Value(*last), held) << name;
      }
    }
  }
}

// The values the check shows are the INI library's own readings of the
// file (GetValue, GetLongValue, GetBoolValue), with the bounds of the keys
// that have them: what the installed files were written for.
TEST(SettingsCheck, ShowsTheValuesTheIniLibraryReads) {
  std::mt19937 random(1208);
  const std::vector<std::string> keys = {
      "current_version",        "defaultinstall", "loglevel",     "logmaxsize",
      "protectupdate",          "sendfile",       "velse_enable", "velse_waf_rule_refresh",
      "velse_waf_port_refresh", "waf_cfg",        "LOGLEVEL",     "connect_beta"};
  const std::vector<std::string> values = {"",    "0",  "1",     "-3",          "0x10", "12.5",        "on",
                                           "off", "no", "maybe", "99999999999", "v2",   " spaced out "};
  for (int round = 0; round < 200; ++round) {
    std::string content;
    for (int i = 0; i < 6; ++i) content += keys[random() % keys.size()] + "=" + values[random() % values.size()] + "\n";
    SCOPED_TRACE(content);
    CSimpleIniA ini(false, false, false);
    ASSERT_GE(ini.LoadData(content.data(), content.size()), 0);
    const CheckResult result = quarn_tools::CheckSettings(Given("cli_config.ini", content), NoOverride());
    const auto number = [&](const char* key, long fallback) {
      return std::to_string(std::clamp<long>(ini.GetLongValue("", key, fallback), INT_MIN, INT_MAX));
    };
    const auto flag = [&](const char* key, bool fallback) {
      return std::string(ini.GetBoolValue("", key, fallback) ? "true" : "false");
    };
    const auto period = [&](const char* key, long fallback) {
      const long value = ini.GetLongValue("", key, fallback);
      return std::to_string(value > 0 ? std::min<long>(value, INT_MAX) : fallback);
    };
    EXPECT_EQ(Key(result, "current_version").valueText, ini.GetValue("", "current_version", "quarn_00_90"));
    EXPECT_EQ(Key(result, "defaultinstall").valueText, ini.GetValue("", "defaultinstall", ""));
    EXPECT_EQ(Key(result, "loglevel").valueText, number("loglevel", 4));
    EXPECT_EQ(Key(result, "logmaxsize").valueText, number("logmaxsize", 1048576));
    EXPECT_EQ(Key(result, "protectupdate").valueText, flag("protectupdate", true));
    EXPECT_EQ(Key(result, "sendfile").valueText, flag("sendfile", true));
    EXPECT_EQ(Key(result, "connect_beta").valueText, flag("connect_beta", false));
    EXPECT_EQ(Key(result, "velse_enable").valueText, flag("velse_enable", false));
    EXPECT_EQ(Key(result, "velse_waf_rule_refresh").valueText, period("velse_waf_rule_refresh", 720));
    EXPECT_EQ(Key(result, "velse_waf_port_refresh").valueText, period("velse_waf_port_refresh", 1440));
    EXPECT_EQ(Key(result, "waf_cfg").valueText, ini.GetValue("", "waf_cfg", ""));
  }
}

// A long section name over many keys: every finding is counted, a hundred
// of one code are listed and one more says how many were not, and each
// message quotes the name by its first bytes, so that what the check keeps
// grows with the file and no faster.
TEST(SettingsCheck, ManyFindingsOfOneKindStayReadable) {
  const std::string name(100000, 'S');
  std::string settings = "defaultinstall=x\n[" + name + "]\n";
  const int keys = 30000;
  for (int i = 0; i < keys; ++i) settings += "a=\n";
  const CheckResult result = quarn_tools::CheckSettings(Given("cli_config.ini", settings), NoOverride());
  EXPECT_EQ(quarn_tools::CountFindings(result.findings, Severity::kWarning), keys);
  EXPECT_EQ(Codes(result), (std::map<std::string, int>{{"key_under_section", 101}}));
  // The one that counts for the others is of the whole file: first.
  EXPECT_NE(result.findings.front().message.find("29900 more"), std::string::npos) << result.findings.front().message;
  EXPECT_EQ(result.findings.front().more, 29899);
  for (const quarn_tools::Finding& finding : result.findings) {
    EXPECT_LT(finding.message.size(), 300u);
  }
  EXPECT_NE(result.findings[1].message.find("[SSSS"), std::string::npos);
  EXPECT_EQ(result.findings[1].line, 3);
}

namespace {

// The findings of a settings file alone, as "code line: message" lines.
std::vector<std::string> FindingsOf(const std::string& settings, const std::string& overrides = "") {
  const CheckResult result =
      quarn_tools::CheckSettings(Given("cli_config.ini", "defaultinstall=x\n" + settings),
                                 overrides.empty() ? NoOverride() : Given("domaincfg.ini", overrides));
  std::vector<std::string> lines;
  for (const quarn_tools::Finding& finding : result.findings)
    lines.push_back(finding.code + " " + std::to_string(finding.line) + ": " + finding.message);
  return lines;
}

}  // namespace

// Switches decided by their first character alone: the check says what
// the library takes a form nobody means as.
TEST(SettingsCheck, SwitchesInFormsPeopleDoNotMean) {
  EXPECT_EQ(FindingsOf("protectupdate=ture\nsendfile=nope\nvelse_enable=10\nconnect_beta=Yesterday\n"
                       "vm_crash_check=offline\nupdatelua=Yes\nprotectoruhids=OFF\n"),
            (std::vector<std::string>{
                // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): long messages split over lines
                "loose_boolean 2: \"protectupdate\" = \"ture\": not one of 1/0, true/false, yes/no, on/off; the "
                "library takes it as true, by its first characters",
                "loose_boolean 3: \"sendfile\" = \"nope\": not one of 1/0, true/false, yes/no, on/off; the library "
                "takes it as false, by its first characters",
                "loose_boolean 4: \"velse_enable\" = \"10\": not one of 1/0, true/false, yes/no, on/off; the library "
                "takes it as true, by its first characters",
                "loose_boolean 5: \"connect_beta\" = \"Yesterday\": not one of 1/0, true/false, yes/no, on/off; the "
                "library takes it as true, by its first characters",
                "loose_boolean 6: \"vm_crash_check\" = \"offline\": not one of 1/0, true/false, yes/no, on/off; the "
                "library takes it as false, by its first characters",
            }));
  // A switch the library cannot read at all: the message claims no set that
  // other values also escape.
  EXPECT_EQ(FindingsOf("sendfile=maybe\n"),
            (std::vector<std::string>{"not_a_boolean 2: \"sendfile\" = \"maybe\": by its first characters neither "
                                      "true (1, t, y, on) nor false (0, f, n, of): the default true"}));
}

// Servers the library keeps as written and the resolver cannot find: one
// finding each, with the item as the library keeps it, where it was
// written.
TEST(SettingsCheck, ServersThatCannotBeReached) {
  EXPECT_EQ(
      FindingsOf("update_srv_domain= upd.example.com | upd2.example.com \n"
                 "srv_domain=http://svc.example.com/|svc.example.com:8080|bad host|-x.example.com|256.1.1.1|"
                 "10.0.0.1|ok.example.com|ok.example.com.|1.2.3\n"),
      (std::vector<std::string>{
          // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): long messages split over lines
          "list_item_spaces 2: \"update_srv_domain\" item \"upd.example.com \" has white space around it, which the "
          "library keeps",
          "list_item_spaces 2: \"update_srv_domain\" item \" upd2.example.com\" has white space around it, which "
          "the library keeps",
          "list_item_url 3: \"srv_domain\" item \"http://svc.example.com/\" is a URL; the list holds host names and "
          "addresses",
          "list_item_port 3: \"srv_domain\" item \"svc.example.com:8080\" names a port; the library adds none of its "
          "own and resolves the text as it is",
          "list_item_not_a_host 3: \"srv_domain\" item \"bad host\" has white space inside: no host name has",
          "list_item_not_a_host 3: \"srv_domain\" item \"-x.example.com\" is no host name (letters, digits and "
          "hyphens, in labels of 1 to 63 characters between dots)",
          "list_item_bad_ipv4 3: \"srv_domain\" item \"256.1.1.1\" is no IPv4 address (four parts of 0 to 255)",
          "list_item_ipv4_form 3: \"srv_domain\" item \"1.2.3\" is read by the resolver as the IPv4 address 1.2.0.3 "
          "(with fewer than four parts, the last fills the bytes left): the agent reaches 1.2.0.3",
      }));
  // An IPv6 literal is no port; an underscore is a note, resolvers take it.
  EXPECT_EQ(FindingsOf("srv_domain=2001:db8::1|[2001:db8::2]:443|::ffff:10.0.0.1|svc_b.corp.example.com\n"),
            (std::vector<std::string>{
                "list_item_ipv6 2: \"srv_domain\" item \"2001:db8::1\" is an IPv6 address; the lists take host names "
                "and IPv4 addresses only (an IPv6 server is named by a host name)",
                "list_item_ipv6 2: \"srv_domain\" item \"[2001:db8::2]:443\" is an IPv6 address; the lists take host "
                "names and IPv4 addresses only (an IPv6 server is named by a host name)",
                "list_item_ipv6 2: \"srv_domain\" item \"::ffff:10.0.0.1\" is an IPv6 address; the lists take host "
                "names and IPv4 addresses only (an IPv6 server is named by a host name)",
                "list_item_underscore 2: \"srv_domain\" item \"svc_b.corp.example.com\" has an underscore: resolvers "
                "take it, but it is no host name, and a DNS server or a hosts file may refuse it",
            }));
  const CheckResult underscore = quarn_tools::CheckSettings(
      Given("cli_config.ini", "defaultinstall=x\nsrv_domain=svc_b.example.com\n"), NoOverride());
  ASSERT_EQ(underscore.findings.size(), 1u);
  EXPECT_EQ(underscore.findings[0].severity, Severity::kNote);
  // The override file's items are found in it.
  const CheckResult result = quarn_tools::CheckSettings(Given("cli_config.ini", "defaultinstall=x\n"),
                                                        Given("domaincfg.ini", "\nsrv_domain=a b\n"));
  const quarn_tools::Finding* found = FindingOf(result, "list_item_not_a_host");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->path, "/etc/domaincfg.ini");
  EXPECT_EQ(found->line, 2);
}

TEST(SettingsCheck, QuotesAndCommentsStayInTextValues) {
  EXPECT_EQ(FindingsOf("current_version=\"quarn_01_05\"\nwaf_cfg=mode=detect ; comment\nwaf_cfg=a;b\n"),
            (std::vector<std::string>{
                "quoted_value 2: \"current_version\" = \"\"quarn_01_05\"\": the quotes are part of the value: the "
                "library uses it with them",
                "duplicate_key 4: \"waf_cfg\" is given on lines 3, 4: the last one (\"a;b\") is used",
            }));
  EXPECT_EQ(FindingsOf("waf_cfg=mode=detect # strict\n"),
            (std::vector<std::string>{"comment_in_value 2: \"waf_cfg\" = \"mode=detect # strict\": what follows \";\" "
                                      "or \"#\" is part of the value: comments are whole lines only"}));
  // A comment mark only between white space, or white space and the end.
  const struct {
    const char* value;
    std::size_t findings;
  } marks[] = {{"mode=detect rule #5", 0}, {"a ;b", 0}, {"a#b", 0}, {"mode=detect ;", 1}, {"mode=detect\t#\tx", 1}};
  for (const auto& mark : marks)
    EXPECT_EQ(FindingsOf(std::string("waf_cfg=") + mark.value + "\n").size(), mark.findings) << mark.value;
}

// Numbers the library takes, though maybe not as meant: a note each that
// says what it takes them as.
TEST(SettingsCheck, NumbersTakenOtherwiseThanMeant) {
  EXPECT_EQ(FindingsOf("logmaxsize=0x10\nloglevel=99\nmax_memuse=0x1E000\n"),
            (std::vector<std::string>{
                "hexadecimal_number 2: \"logmaxsize\" = \"0x10\": written in hexadecimal: the library reads it as 16",
                "useless_value 3: \"loglevel\" = \"99\": the library keeps 99, though nothing works with a value "
                "outside 0 to 5: the logger's levels run from 0 (nothing written) to 5 (every message)",
                "hexadecimal_number 4: \"max_memuse\" = \"0x1E000\": written in hexadecimal: the library reads it as "
                "122880",
            }));
  EXPECT_EQ(FindingsOf("logmaxsize=-1\nloglevel=-2\n"),
            (std::vector<std::string>{
                "negative_size 2: \"logmaxsize\" = \"-1\": a size below 0 bytes: the library keeps -1 and hands it on "
                "as it is",
                "useless_value 3: \"loglevel\" = \"-2\": the library keeps -2, though nothing works with a value "
                "outside 0 to 5: the logger's levels run from 0 (nothing written) to 5 (every message)",
            }));
  EXPECT_TRUE(FindingsOf("logmaxsize=0\nloglevel=0\nloglevel=5\n").size() == 1u);  // the duplicate alone
}

// A file with nothing in it, or that is no text at all: one finding that
// says so, and nothing of its bytes.
TEST(SettingsCheck, AnEmptyOrBinaryFileIsOneFinding) {
  const CheckResult empty = quarn_tools::CheckSettings(Given("cli_config.ini", " \r\n\n"), NoOverride());
  ASSERT_EQ(empty.findings.size(), 1u);
  EXPECT_EQ(empty.findings[0].code, "empty_file");
  EXPECT_EQ(empty.findings[0].severity, Severity::kError);
  const CheckResult emptyOverride =
      quarn_tools::CheckSettings(Given("cli_config.ini", "defaultinstall=x\n"), Given("domaincfg.ini", ""));
  ASSERT_EQ(emptyOverride.findings.size(), 1u);
  EXPECT_EQ(emptyOverride.findings[0].path, "/etc/domaincfg.ini");

  static const char kElf[] =
      "\x7f"
      "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0srv_domain=\x1b[2J|a b\n";
  const std::string elf(kElf, sizeof kElf - 1);
  std::string blob;
  for (int i = 0; i < 4000; ++i) blob += static_cast<char>((i * 37) % 256);
  const struct {
    std::string content;
    const char* kind;
  } rows[] = {{elf, "an ELF executable"},
              {std::string("MZ\x90\0\x03\0\0\0", 8) + "This program cannot be run in DOS mode", "a Windows executable"},
              {std::string("PK\x03\x04\x14\0", 6), "a ZIP archive"},
              {blob, "binary data (a NUL byte at offset 0)"}};
  for (const auto& row : rows) {
    const CheckResult result = quarn_tools::CheckSettings(Given("cli_config.ini", row.content), NoOverride());
    ASSERT_EQ(result.findings.size(), 1u) << row.kind;
    EXPECT_EQ(result.findings[0].code, "not_text");
    EXPECT_NE(result.findings[0].message.find(row.kind), std::string::npos) << result.findings[0].message;
    EXPECT_EQ(result.findings[0].message.find('\x1b'), std::string::npos);
  }
  // Text with a stray NUL is still text: what the NUL loses is said.
  const CheckResult stray = quarn_tools::CheckSettings(
      Given("cli_config.ini", std::string("defaultinstall=x\n\0loglevel=3\n", 29)), NoOverride());
  EXPECT_EQ(Codes(stray), (std::map<std::string, int>{{"nul_byte", 1}}));
  // A key that merely begins with "MZ" is text.
  EXPECT_TRUE(quarn_tools::CheckSettings(Given("cli_config.ini", "MZ=1\ndefaultinstall=x\n"), NoOverride())
                  .findings.front()
                  .code == "unknown_key");
}

// A file saved as "Unicode": one finding that says so, and not what its zero
// bytes would make of every line.
TEST(SettingsCheck, AWideFileIsOneFinding) {
  const std::string text = "defaultinstall=x\r\nloglevel=3\r\n";
  const auto widen = [&](std::size_t width, bool bigEndian, const std::string& mark) {
    std::string wide = mark;
    for (char c : text) {
      std::string unit(width, '\0');
      unit[bigEndian ? width - 1 : 0] = c;
      wide += unit;
    }
    return wide;
  };
  const struct {
    std::string content;
    const char* encoding;
  } rows[] = {
      {widen(2, false, "\xFF\xFE"), "UTF-16 little-endian"},
      {widen(2, false, ""), "UTF-16 little-endian"},
      {widen(2, true, "\xFE\xFF"), "UTF-16 big-endian"},
      {widen(2, true, ""), "UTF-16 big-endian"},
      {widen(4, false, std::string("\xFF\xFE\0\0", 4)), "UTF-32 little-endian"},
      {widen(4, true, ""), "UTF-32 big-endian"},
  };
  for (const auto& row : rows) {
    const CheckResult result = quarn_tools::CheckSettings(Given("cli_config.ini", row.content), NoOverride());
    ASSERT_EQ(result.findings.size(), 1u) << row.encoding << ": " << result.findings.back().code;
    EXPECT_EQ(result.findings[0].code, "wide_encoding");
    EXPECT_EQ(result.findings[0].message,
              std::string("is written in ") + row.encoding +
                  ": the reader takes bytes of the system's code page and stops at the first zero byte, so it finds "
                  "no key at all; save the file as ANSI or UTF-8");
  }
  EXPECT_EQ(quarn_tools::WideEncodingOf(text), nullptr);
  EXPECT_EQ(quarn_tools::WideEncodingOf(std::string("a=1\0b", 5)), nullptr);  // one NUL: not wide text
}

// As compilers and shellcheck print them, by file (the settings file
// first) and line; what has been left out is neither shown nor counted.
TEST(SettingsCheck, FindingsAreLinesByFileAndLineAndCanBeLeftOut) {
  CheckResult result = quarn_tools::CheckSettings(Given("cli_config.ini", "sendfile=maybe\nloglevl=3\n"),
                                                  Given("domaincfg.ini", "srv_domain=a||b\n"));
  std::vector<std::string> lines;
  for (const quarn_tools::Finding& finding : result.findings) lines.push_back(quarn_tools::FindingLine(finding));
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): long messages split over lines
                "/etc/cli_config.ini: error: \"defaultinstall\" is not given: the settings read reports false "
                "[missing_defaultinstall]",
                "/etc/cli_config.ini:1:10: error: \"sendfile\" = \"maybe\": by its first characters neither true (1, "
                "t, y, on) nor false (0, f, n, of): the default true [not_a_boolean]",
                "/etc/cli_config.ini:2:1: warning: \"loglevl\" is not a key of cli_config.ini; did you mean "
                "\"loglevel\"? [unknown_key]",
                "/etc/domaincfg.ini:1:12: note: \"srv_domain\" puts its 3 item(s) first; cli_config.ini's items "
                "follow [override_replaces_list]",
                "/etc/domaincfg.ini:1:12: error: \"srv_domain\" has 1 empty item(s): they are kept as servers "
                "without a name [empty_list_item]",
            }));
  EXPECT_EQ(quarn_tools::FindingsExitStatus(result.findings, Severity::kWarning), 1);
  quarn_tools::KeepFindings(result.findings, Severity::kWarning,
                            {"not_a_boolean", "missing_defaultinstall", "empty_list_item"});
  EXPECT_EQ(Codes(result), (std::map<std::string, int>{{"unknown_key", 1}}));
  EXPECT_EQ(quarn_tools::FindingsExitStatus(result.findings, Severity::kError), 0);
  EXPECT_EQ(quarn_tools::FindingsExitStatus(result.findings, Severity::kWarning), 1);
}

// The resolver reads numbers as inet_aton does (and Windows' inet_addr):
// octal after a leading 0, hexadecimal after 0x, and the last of fewer than
// four parts filling the bytes left. Each such item names the address the
// agent reaches; 0.0.0.0 and the texts no resolver reads are said too.
TEST(SettingsCheck, AddressesAsTheResolverReadsThem) {
  struct Case {
    const char* text;
    bool read;
    std::uint32_t address;
  } cases[] = {
      {"10.1.2.3", true, 0x0A010203},
      {"010.001.002.003", true, 0x08010203},
      {"0x0A.1.2.3", true, 0x0A010203},
      {"0X7f.0.0.1", true, 0x7F000001},
      {"1.2.3", true, 0x01020003},
      {"1.65535", true, 0x0100FFFF},
      {"167772161", true, 0x0A000001},
      {"0", true, 0},
      {"4294967295", true, 0xFFFFFFFF},
      {"4294967296", false, 0},
      {"1.2.65536", false, 0},
      {"256.1.1.1", false, 0},
      {"08.1.1.1", false, 0},
      {"1..2", false, 0},
      {"1.2.3.", false, 0},
      {"1.2.3.4.5", false, 0},
      {"0x1g.1.1.1", false, 0},
      {"", false, 0},
  };
  for (const Case& c : cases) {
    std::uint32_t address = 0;
    EXPECT_EQ(quarn_tools::ResolverIpv4(c.text, address), c.read) << c.text;
    if (c.read) {
      EXPECT_EQ(address, c.address) << c.text;
    }
  }
  EXPECT_EQ(FindingsOf("srv_domain=010.001.002.003|0x0A.1.2.3|0.0.0.0|08.1.1.1|10.1.2.3|0x10.example.com\n"),
            (std::vector<std::string>{
                // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): long messages split over lines
                "list_item_ipv4_form 2: \"srv_domain\" item \"010.001.002.003\" is read by the resolver as the IPv4 "
                "address 8.1.2.3 (a part with a leading 0 is octal): the agent reaches 8.1.2.3",
                "list_item_ipv4_form 2: \"srv_domain\" item \"0x0A.1.2.3\" is read by the resolver as the IPv4 "
                "address 10.1.2.3 (a part after 0x is hexadecimal): the agent reaches 10.1.2.3",
                "list_item_no_address 2: \"srv_domain\" item \"0.0.0.0\" is the address of no machine: no server "
                "answers there",
                "list_item_bad_ipv4 2: \"srv_domain\" item \"08.1.1.1\" is no IPv4 address (four parts of 0 to 255)",
            }));
}

// A list the read leaves empty leaves the agent without a server: one
// error, not a warning about the empty value; names repeated in another
// letter case are one server, tried twice.
TEST(SettingsCheck, NoServerAndRepeatsInAnyCase) {
  EXPECT_EQ(FindingsOf("srv_domain=\nupdate_srv_domain=|\n"),
            (std::vector<std::string>{
                "no_server 2: \"srv_domain\" leaves the service server list empty: the agent has no service server at "
                "all (left out, the key gives the default list)",
                "no_server 3: \"update_srv_domain\" leaves the update server list empty: the agent has no update "
                "server at all (left out, the key gives the default list)",
            }));
  // The override file's items keep the list from being empty.
  const CheckResult kept = quarn_tools::CheckSettings(Given("cli_config.ini", "defaultinstall=x\nsrv_domain=\n"),
                                                      Given("domaincfg.ini", "srv_domain=a.example.com\n"));
  EXPECT_EQ(Codes(kept).count("no_server"), 0u);
  EXPECT_EQ(FindingsOf("srv_domain=Svc.Example.com|b.example.com|svc.example.COM\n"),
            (std::vector<std::string>{"repeated_list_item 2: \"Svc.Example.com\" is 2 times in the service server list "
                                      "the read makes: it is tried as often"}));
}

// Where a finding is, to the byte: the value, or each item of a list, in
// the file that gives it.
TEST(SettingsCheck, FindingsHaveColumns) {
  const CheckResult result = quarn_tools::CheckSettings(
      Given("cli_config.ini", "defaultinstall=x\n  srv_domain = a.example.com||b c|1.2.3\nloglevl=1\n"),
      Given("domaincfg.ini", "update_srv_domain=x.example.com||http://y/\n"));
  std::vector<std::string> places;
  for (const quarn_tools::Finding& finding : result.findings)
    places.push_back(finding.code + " " + std::to_string(finding.line) + ":" + std::to_string(finding.column));
  EXPECT_EQ(places,
            (std::vector<std::string>{"empty_list_item 2:16", "list_item_not_a_host 2:31", "list_item_ipv4_form 2:35",
                                      "unknown_key 3:1", "override_replaces_list 1:19", "empty_list_item 1:19",
                                      "list_item_url 1:34"}));
}

// A byte-order mark on a file of ASCII changes nothing the library reads:
// a note; beyond ASCII the texts are read as code-page bytes: a warning.
TEST(SettingsCheck, AByteOrderMarkOnAsciiIsANote) {
  const CheckResult ascii = quarn_tools::CheckSettings(Given("cli_config.ini",
                                                             "\xEF\xBB\xBF"
                                                             "defaultinstall=x\n"),
                                                       NoOverride());
  const quarn_tools::Finding* mark = FindingOf(ascii, "byte_order_mark");
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(mark->severity, Severity::kNote);
  const CheckResult wider = quarn_tools::CheckSettings(Given("cli_config.ini",
                                                             "\xEF\xBB\xBF"
                                                             "defaultinstall=x\nwaf_cfg=caf\xC3\xA9\n"),
                                                       NoOverride());
  mark = FindingOf(wider, "byte_order_mark");
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(mark->severity, Severity::kWarning);
}

// An override file checked alone: its own rules (settings keys belong in
// cli_config.ini), and no finding about a settings file not given.
TEST(SettingsCheck, AnOverrideFileAloneIsCheckedAsOne) {
  CheckedFile none;
  none.label = "cli_config.ini";
  const CheckResult result =
      quarn_tools::CheckSettings(none, Given("domaincfg.ini", "srv_domain=a.example.com\nloglevel=3\n"));
  EXPECT_EQ(Codes(result), (std::map<std::string, int>{{"override_replaces_list", 1}, {"unknown_key", 1}}));
  EXPECT_FALSE(result.unreadable);
  EXPECT_NE(FindingOf(result, "unknown_key")->message.find("it belongs in cli_config.ini"), std::string::npos);
}

// A text quoted in a message is cut between characters, never inside one:
// a character cut short is no UTF-8, and the terminal gets escapes instead.
TEST(SettingsCheck, QuotedTextsAreCutBetweenCharacters) {
  const std::string value = "\"" + std::string(58, 'a') + "\xe8\xa1\xa8" + std::string(10, 'b') + "\"";
  const CheckResult result =
      quarn_tools::CheckSettings(Given("cli_config.ini", "defaultinstall=x\nwaf_cfg=" + value + "\n"), NoOverride());
  const quarn_tools::Finding* quoted = FindingOf(result, "quoted_value");
  ASSERT_NE(quoted, nullptr);
  EXPECT_NE(quoted->message.find("\"\"" + std::string(58, 'a') + "...\" (73 bytes)"), std::string::npos)
      << quoted->message;
}

// The settings check: what it finds in a file, and that the values it shows
// are the ones the library itself takes from the same file.
#include "SettingsCheck.h"

#include <SimpleIni.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <random>

#include "IniLineScan.h"
#include "config/QuarnConfig.h"
#include "config/SettingsRules.h"
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

const quarn_tools::KeyVerdict& Key(const CheckResult& result, const std::string& name) {
  for (const quarn_tools::KeyVerdict& key : result.keys)
    if (key.name == name) return key;
  static quarn_tools::KeyVerdict none;
  ADD_FAILURE() << "no key " << name;
  return none;
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
      "loglevel=7\n"                          // 10 the one used
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
                                               {"override_replaces_list", 1}};
  EXPECT_EQ(Codes(result), expected);
  EXPECT_EQ(result.ExitStatus(), 1);

  EXPECT_EQ(FindingOf(result, "duplicate_key")->line, 10);
  EXPECT_NE(FindingOf(result, "duplicate_key")->message.find("lines 2, 10"), std::string::npos);
  EXPECT_NE(FindingOf(result, "unknown_key")->message.find("did you mean \"loglevel\""), std::string::npos);
  EXPECT_EQ(FindingOf(result, "lone_cr")->line, 13);
  EXPECT_EQ(FindingOf(result, "nul_byte")->line, 20);
  EXPECT_NE(FindingOf(result, "nul_byte")->message.find("keys lost: sendfile"), std::string::npos);
  EXPECT_EQ(FindingOf(result, "out_of_bounds")->severity, Severity::kError);
  EXPECT_EQ(FindingOf(result, "override_replaces_list")->severity, Severity::kNote);

  EXPECT_EQ(Key(result, "loglevel").value, "7");
  EXPECT_EQ(Key(result, "max_cpuuse").value, "10");
  EXPECT_EQ(Key(result, "max_cpuuse").origin, "out_of_bounds");
  EXPECT_EQ(Key(result, "updatelua").value, "false");  // after the lone CR: its own line to the reader
  EXPECT_EQ(Key(result, "vm_crash_check").origin, "missing");
  EXPECT_EQ(Key(result, "waf_cfg").origin, "missing");  // under the broken header
  EXPECT_EQ(Key(result, "protectoruhids").value, "true");
  EXPECT_EQ(result.serviceServers, (std::vector<std::string>{"x", "", "b", "a", "b", "a"}));
}

TEST(SettingsCheck, ACleanFileHasNothingToSay) {
  const CheckResult result = quarn_tools::CheckSettings(
      Given("cli_config.ini", "; the client\ndefaultinstall=full\nloglevel = 3\nsendfile=off\n\nsrv_domain=a|b\n"),
      Given("domaincfg.ini", "# none\n"));
  EXPECT_TRUE(result.findings.empty()) << result.findings.front().message;
  EXPECT_EQ(result.ExitStatus(), 0);
  EXPECT_EQ(Key(result, "sendfile").value, "false");
  EXPECT_EQ(Key(result, "sendfile").origin, "file");
  EXPECT_EQ(result.serviceServers, (std::vector<std::string>{"a", "b"}));
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
    EXPECT_EQ(result.serviceServers.size(), 4u);  // the default list
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
    EXPECT_EQ(Key(result, "current_version").value, ini.GetValue("", "current_version", "quarn_00_90"));
    EXPECT_EQ(Key(result, "defaultinstall").value, ini.GetValue("", "defaultinstall", ""));
    EXPECT_EQ(Key(result, "loglevel").value, number("loglevel", 4));
    EXPECT_EQ(Key(result, "logmaxsize").value, number("logmaxsize", 1048576));
    EXPECT_EQ(Key(result, "protectupdate").value, flag("protectupdate", true));
    EXPECT_EQ(Key(result, "sendfile").value, flag("sendfile", true));
    EXPECT_EQ(Key(result, "connect_beta").value, flag("connect_beta", false));
    EXPECT_EQ(Key(result, "velse_enable").value, flag("velse_enable", false));
    EXPECT_EQ(Key(result, "velse_waf_rule_refresh").value, period("velse_waf_rule_refresh", 720));
    EXPECT_EQ(Key(result, "velse_waf_port_refresh").value, period("velse_waf_port_refresh", 1440));
    EXPECT_EQ(Key(result, "waf_cfg").value, ini.GetValue("", "waf_cfg", ""));
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
  EXPECT_EQ(result.Count(Severity::kWarning), keys);
  EXPECT_EQ(Codes(result), (std::map<std::string, int>{{"key_under_section", 101}}));
  EXPECT_NE(result.findings.back().message.find("29900 more"), std::string::npos) << result.findings.back().message;
  for (const quarn_tools::Finding& finding : result.findings) {
    EXPECT_LT(finding.message.size(), 300u);
  }
  EXPECT_NE(result.findings.front().message.find("[SSSS"), std::string::npos);
  EXPECT_EQ(result.findings.front().line, 3);
}

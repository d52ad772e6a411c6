// The settings rules against the INI library's own conversions: the
// reader's values must stay those of GetLongValue and GetBoolValue, which
// the installed settings files were written for, and the reason given for a
// default must match what happened to the value.
#include "config/SettingsRules.h"

#include <SimpleIni.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

namespace S = quarn::settings;
using S::Origin;

namespace {

// What the INI library makes of `value` as the one key of a file.
struct LibraryView {
  long number;
  bool flag;
};
LibraryView LibraryRead(const std::string& value, long numberDefault, bool flagDefault) {
  CSimpleIniA ini(false, false, false);
  const std::string file = "key=" + value + "\n";
  ini.LoadData(file.data(), file.size());
  return {ini.GetLongValue("", "key", numberDefault), ini.GetBoolValue("", "key", flagDefault)};
}

std::string RawAsLoaded(const std::string& value) {
  S::SettingsIni ini;
  EXPECT_TRUE(ini.Load("key=" + value + "\n"));
  const char* raw = ini.Raw("key");
  return raw ? raw : "(missing)";
}

void ExpectSameAsLibrary(const std::string& value) {
  SCOPED_TRACE("value \"" + value + "\"");
  const std::string raw = RawAsLoaded(value);
  const LibraryView library = LibraryRead(value, 4, true);
  const S::IntegerReading number = S::InterpretInteger(raw.c_str(), 4);
  EXPECT_EQ(number.value, std::clamp<long>(library.number, INT_MIN, INT_MAX));
  // A reason for a default goes with the default, and a value other than
  // the default is the file's.
  if (number.origin != Origin::kFile) {
    EXPECT_EQ(number.value, 4);
  }
  if (library.number != 4) {
    EXPECT_EQ(number.origin, Origin::kFile);
  }
  EXPECT_EQ(S::InterpretBoolean(raw.c_str(), true).value, library.flag);
  EXPECT_EQ(S::InterpretBoolean(raw.c_str(), false).value, LibraryRead(value, 4, false).flag);
}

}  // namespace

TEST(SettingsRules, IntegersAndSwitchesAreReadAsTheIniLibraryReadsThem) {
  const std::vector<std::string> values = {"",
                                           "0",
                                           "7",
                                           "-7",
                                           "+7",
                                           "007",
                                           "0x1E000",
                                           "0X1e000",
                                           "0x",
                                           "0xg",
                                           "0x-5",
                                           "0x+5",
                                           "12.5",
                                           "10%",
                                           "5 MB",
                                           "-",
                                           "+",
                                           "--5",
                                           "2147483647",
                                           "2147483648",
                                           "-2147483648",
                                           "-2147483649",
                                           "4294967297",
                                           "99999999999999999999999",
                                           "0xFFFFFFFF",
                                           "0x7FFFFFFF",
                                           "0x80000000",
                                           std::string(63, '1'),
                                           std::string(64, '1'),
                                           std::string(62, '0') + "5",
                                           "t",
                                           "True",
                                           "yes",
                                           "Y",
                                           "f",
                                           "No",
                                           "on",
                                           "On",
                                           "ofF",
                                           "o",
                                           "ok",
                                           "maybe",
                                           "1x",
                                           "0x1",
                                           "\xe9",
                                           "1\t2",
                                           "t rue"};
  for (const std::string& value : values) ExpectSameAsLibrary(value);

  // And texts made of the characters that matter to either conversion.
  std::mt19937 random(20261208);
  const std::string alphabet = "0123456789xXabcdefABCDEF+-. \toOnNtTfFyY%";
  for (int round = 0; round < 4000; ++round) {
    std::string value(1 + random() % 12, ' ');
    for (char& c : value) c = alphabet[random() % alphabet.size()];
    ExpectSameAsLibrary(value);
  }
}

TEST(SettingsRules, EachDefaultTellsWhyTheValueWasNotUsed) {
  EXPECT_EQ(S::InterpretInteger(nullptr, 4).origin, Origin::kMissing);
  EXPECT_EQ(S::InterpretInteger("", 4).origin, Origin::kEmpty);
  EXPECT_EQ(S::InterpretInteger("abc", 4).origin, Origin::kNotANumber);
  EXPECT_EQ(S::InterpretInteger("0x", 4).origin, Origin::kNotANumber);
  EXPECT_EQ(S::InterpretInteger("-", 4).origin, Origin::kNotANumber);
  EXPECT_EQ(S::InterpretInteger("12.5", 4).origin, Origin::kTrailingCharacters);
  EXPECT_EQ(S::InterpretInteger("0x1Eg", 4).origin, Origin::kTrailingCharacters);
  EXPECT_EQ(S::InterpretInteger(std::string(64, '1').c_str(), 4).origin, Origin::kTooLong);
  const S::IntegerReading big = S::InterpretInteger("4294967297", 4);
  EXPECT_EQ(big.value, INT_MAX);
  EXPECT_EQ(big.origin, Origin::kFile);
  EXPECT_TRUE(big.saturated);
  EXPECT_FALSE(S::InterpretInteger("2147483647", 4).saturated);
  EXPECT_TRUE(S::InterpretInteger("-2147483649", 4).saturated);

  EXPECT_EQ(S::InterpretBoolean(nullptr, true).origin, Origin::kMissing);
  EXPECT_EQ(S::InterpretBoolean("", true).origin, Origin::kEmpty);
  EXPECT_EQ(S::InterpretBoolean("maybe", true).origin, Origin::kNotABoolean);
  EXPECT_EQ(S::InterpretBoolean("o", true).origin, Origin::kNotABoolean);
  EXPECT_EQ(S::InterpretBoolean("off", true).origin, Origin::kFile);
}

TEST(SettingsRules, KeysAreFoundAsTheReaderFindsThem) {
  const std::string text = "LogLevel = 3 \nsrv_domain=a||b\ncurrent_version=\n[section]\nsendfile=no\n";
  const S::SettingsReading reading = S::ReadSettings(&text, nullptr, S::DefaultSettings(), true);
  ASSERT_TRUE(reading.settingsLoaded);
  const std::size_t level = S::RowIndex(*S::FindSetting("loglevel"));
  EXPECT_TRUE(reading.keys[level].present);
  EXPECT_EQ(reading.keys[level].raw, "3");
  EXPECT_EQ(reading.record.logLevel, 3);
  EXPECT_TRUE(reading.keys[S::RowIndex(*S::FindSetting("current_version"))].present);
  EXPECT_EQ(reading.record.currentVersion, "");  // given empty: the empty text, not the default
  EXPECT_EQ(reading.record.serviceServers, (std::vector<std::string>{"a", "b"}));  // the empty one counted, not kept
  EXPECT_EQ(reading.keys[S::RowIndex(*S::FindSetting("srv_domain"))].emptyItems, 1u);
  const std::size_t send = S::RowIndex(*S::FindSetting("sendfile"));
  EXPECT_FALSE(reading.keys[send].present);  // under a section header
  EXPECT_EQ(reading.record.origin[send], Origin::kMissing);
  EXPECT_TRUE(reading.record.sendFile);

  EXPECT_EQ(S::FindSetting("LOGLEVEL"), S::FindSetting("loglevel"));
  EXPECT_EQ(S::FindSetting("loglevl"), nullptr);
  EXPECT_TRUE(S::FindSetting("Update_Srv_Domain")->Has(S::kOverridable));
  EXPECT_FALSE(S::FindSetting("loglevel")->Has(S::kOverridable));
}

// The read as the object makes it, over what the object held before.
TEST(SettingsRules, ALaterReadKeepsTheFirstReadOnlyLimitsAndAppendsToTheLists) {
  const std::string first = "max_cpuuse=25\nmax_memuse=4096\nsrv_domain=a\ndefaultinstall=full\n";
  const std::string overrides = "srv_domain=x||y\n";
  S::SettingsReading reading = S::ReadSettings(&first, nullptr, S::DefaultSettings(), true);
  EXPECT_TRUE(reading.complete);
  EXPECT_DOUBLE_EQ(reading.record.maxCpuUse, 25.0);
  EXPECT_EQ(reading.record.maxMemUse, 4096);
  const std::string second = "max_cpuuse=50\nmax_memuse=8192\nsrv_domain=b\n";
  reading = S::ReadSettings(&second, &overrides, std::move(reading.record), false);
  EXPECT_FALSE(reading.complete);  // no install module this time
  EXPECT_DOUBLE_EQ(reading.record.maxCpuUse, 25.0);
  EXPECT_EQ(reading.record.maxMemUse, 4096);
  EXPECT_EQ(reading.record.serviceServers, (std::vector<std::string>{"x", "", "y", "b"}));
  EXPECT_EQ(reading.keys[S::RowIndex(*S::FindSetting("srv_domain"))].fromOverride, 3u);
  reading = S::ReadSettings(&second, nullptr, std::move(reading.record), false);
  EXPECT_EQ(reading.record.serviceServers, (std::vector<std::string>{"x", "", "y", "b", "b"}));
  // Nothing read: every default, the lists the defaults' items, not complete.
  const S::SettingsReading none = S::ReadSettings(nullptr, nullptr, S::DefaultSettings(), true);
  EXPECT_FALSE(none.settingsLoaded);
  EXPECT_FALSE(none.complete);
  EXPECT_EQ(none.record.updateServers.size(), 5u);
  EXPECT_EQ(none.record.logMaxSize, 0x100000);
}

TEST(SettingsRules, SwitchesTakeTheirFirstCharacter) {
  const struct {
    const char* value;
    int expected;  // -1: the default
  } rows[] = {{"1", 1},    {"t", 1},  {"True", 1},   {"y", 1}, {"Y", 1},  {"On", 1},  {"oN", 1},  {"yes please", 1},
              {"0", 0},    {"f", 0},  {"F", 0},      {"n", 0}, {"No", 0}, {"off", 0}, {"OFF", 0}, {"ture", 1},
              {"nope", 0}, {"10", 1}, {"maybe", -1}, {"", -1}, {"o", -1}, {"ok", -1}, {"2", -1},  {" ", -1}};
  for (const auto& row : rows)
    for (const bool fallback : {true, false})
      EXPECT_EQ(S::InterpretBoolean(row.value, fallback).value, row.expected == -1 ? fallback : row.expected == 1)
          << "'" << row.value << "', default " << fallback;
  EXPECT_EQ(S::InterpretBoolean(nullptr, true).value, true);
}

TEST(SettingsRules, IntegersAreDecimalOrHexSigned32BitWithNothingLeftOver) {
  const struct {
    std::string value;
    int expected;
  } rows[] = {
      {"3", 3},
      {"0x10", 16},
      {"0X1f", 31},
      {"0x", 4},
      {"-3", -3},
      {"+7", 7},
      {" 5", 5},  // leading white space (the reader trims it anyway)
      {"12%", 4},
      {"1.5", 4},
      {"10k", 4},
      {"abc", 4},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"4294967297", INT_MAX},  // not 1: saturates on every system
      {"-4294967297", INT_MIN},
      {"0xFFFFFFFF", INT_MAX},
      {"0x100000001", INT_MAX},
      {std::string(61, '0') + "42", 42},  // 63 characters
      {std::string(62, '0') + "42", 4},   // 64 characters: too long
  };
  for (const auto& row : rows) EXPECT_EQ(S::InterpretInteger(row.value.c_str(), 4).value, row.expected) << row.value;
}

TEST(SettingsRules, EachBoundHoldsAtItsEdges) {
  const struct {
    const char* key;
    const char* value;
    int expected;
  } rows[] = {
      {"max_cpuuse", "90", 90},
      {"max_cpuuse", "91", 10},
      {"max_cpuuse", "1", 1},
      {"max_cpuuse", "0", 10},
      {"max_cpuuse", "-5", 10},
      {"max_cpuuse", "12.5", 10},
      {"max_memuse", "122880", 122880},
      {"max_memuse", "122881", 51200},
      {"max_memuse", "0", 51200},
      {"max_memuse", "0x1E000", 122880},
      {"max_memuse", "4294967297", 51200},  // saturated, then out of bounds
      {"velse_waf_rule_refresh", "0", 720},
      {"velse_waf_rule_refresh", "1", 1},
      {"velse_waf_port_refresh", "-1", 1440},
      {"velse_waf_port_refresh", "2", 2},
  };
  for (const auto& row : rows)
    EXPECT_EQ(S::InterpretBoundedInteger(row.value, *S::FindSetting(row.key)).value, row.expected)
        << row.key << "=" << row.value;
  // The reason goes with it: a number outside, or what was wrong with it.
  const S::SettingRow& cpu = *S::FindSetting("max_cpuuse");
  EXPECT_EQ(S::InterpretBoundedInteger("91", cpu).origin, Origin::kOutOfBounds);
  EXPECT_EQ(S::InterpretBoundedInteger("12.5", cpu).origin, Origin::kTrailingCharacters);
  EXPECT_EQ(S::InterpretBoundedInteger("90", cpu).origin, Origin::kFile);
  // Keys without bounds take any 32-bit value.
  EXPECT_EQ(S::InterpretBoundedInteger("-2147483648", *S::FindSetting("loglevel")).value, INT_MIN);
}

TEST(SettingsRules, ServerListsArePutTogetherAsTheReadDoes) {
  using Hosts = std::vector<std::string>;
  const struct {
    Hosts before;
    const char* overrideValue;  // null: the override file gives no value
    Hosts settingsItems;
    Hosts after;
  } rows[] = {
      {{}, nullptr, {"a", "b", "", "c", ""}, {"a", "b", "c"}},  // empty items dropped
      {{}, nullptr, {""}, {}},                                  // an empty value: nothing at all
      {{}, "x||y", {"s"}, {"x", "", "y", "s"}},                 // the override's items first, as split
      {{}, "", {"s"}, {"s"}},                                   // an empty override value: no effect
      {{"a", "b"}, nullptr, {"a", "b"}, {"a", "b", "a", "b"}},  // a second read appends again
      {{"a", "b"}, "x", {"a", "b"}, {"x", "a", "b"}},           // unless the override replaces first
      {{}, "|", {}, {"", ""}},                                  // separators alone: servers without names
  };
  for (const auto& row : rows) {
    Hosts list = row.before;
    S::MergeServerList(list, row.overrideValue, row.settingsItems);
    EXPECT_EQ(list, row.after) << (row.overrideValue ? row.overrideValue : "(no override)");
  }
}

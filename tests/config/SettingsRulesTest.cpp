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
  S::SettingsIni ini;
  ASSERT_TRUE(ini.Load("LogLevel = 3 \nsrv_domain=a||b\ncurrent_version=\n[section]\nsendfile=no\n"));
  const S::Reading level = ini.Read(S::KeyId::kLogLevel);
  EXPECT_TRUE(level.present);
  EXPECT_EQ(level.raw, "3");
  EXPECT_EQ(level.number, 3);
  const S::Reading version = ini.Read(S::KeyId::kCurrentVersion);
  EXPECT_TRUE(version.present);
  EXPECT_EQ(version.text, "");  // given empty: the empty text, not the default
  const S::Reading servers = ini.Read(S::KeyId::kServiceServers);
  EXPECT_EQ(servers.items, (std::vector<std::string>{"a", "b"}));  // the empty one counted, not kept
  EXPECT_EQ(servers.emptyItems, 1u);
  const S::Reading send = ini.Read(S::KeyId::kSendFile);
  EXPECT_FALSE(send.present);  // under a section header
  EXPECT_TRUE(send.flag);

  EXPECT_EQ(S::FindSettingsKey("LOGLEVEL"), &S::SettingsKey(S::KeyId::kLogLevel));
  EXPECT_EQ(S::FindSettingsKey("loglevl"), nullptr);
  EXPECT_TRUE(S::IsOverrideKey("Update_Srv_Domain"));
  EXPECT_FALSE(S::IsOverrideKey("loglevel"));
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
    S::KeyId id;
    const char* value;
    int expected;
  } rows[] = {
      {S::KeyId::kMaxCpuUse, "90", 90},
      {S::KeyId::kMaxCpuUse, "91", 10},
      {S::KeyId::kMaxCpuUse, "1", 1},
      {S::KeyId::kMaxCpuUse, "0", 10},
      {S::KeyId::kMaxCpuUse, "-5", 10},
      {S::KeyId::kMaxCpuUse, "12.5", 10},
      {S::KeyId::kMaxMemUse, "122880", 122880},
      {S::KeyId::kMaxMemUse, "122881", 51200},
      {S::KeyId::kMaxMemUse, "0", 51200},
      {S::KeyId::kMaxMemUse, "0x1E000", 122880},
      {S::KeyId::kMaxMemUse, "4294967297", 51200},  // saturated, then out of bounds
      {S::KeyId::kWafRuleRefresh, "0", 720},
      {S::KeyId::kWafRuleRefresh, "1", 1},
      {S::KeyId::kWafPortRefresh, "-1", 1440},
      {S::KeyId::kWafPortRefresh, "2", 2},
  };
  for (const auto& row : rows)
    EXPECT_EQ(S::InterpretBoundedInteger(row.value, S::SettingsKey(row.id)).value, row.expected)
        << S::SettingsKey(row.id).name << "=" << row.value;
  // The reason goes with it: a number outside, or what was wrong with it.
  const S::Key& cpu = S::SettingsKey(S::KeyId::kMaxCpuUse);
  EXPECT_EQ(S::InterpretBoundedInteger("91", cpu).origin, Origin::kOutOfBounds);
  EXPECT_EQ(S::InterpretBoundedInteger("12.5", cpu).origin, Origin::kTrailingCharacters);
  EXPECT_EQ(S::InterpretBoundedInteger("90", cpu).origin, Origin::kFile);
  // Keys without bounds take any 32-bit value.
  EXPECT_EQ(S::InterpretBoundedInteger("-2147483648", S::SettingsKey(S::KeyId::kLogLevel)).value, INT_MIN);
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
